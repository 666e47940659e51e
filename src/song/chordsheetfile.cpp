#include "chordsheetfile.h"

#include "chordsheet.h"

#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

namespace song
{

namespace
{
// Made when asked for: a global one would be built at every start.
QPageSize sheetPage()
{
    return QPageSize(QPageSize::A4);
}
constexpr double MetresPerInch = 0.0254;
// zlib's fastest level: half the time of its default for a third more bytes.
constexpr int PngQuality = 80;

// Every blend of the sheet's three colours in steps of a 21st: 253 colours,
// which hold its smoothed edges to the eye. A PNG of one byte a pixel takes
// the writer a third of the time that one of three takes.
constexpr int BlendSteps = 21;

QRgb blend(const SheetColours &c, int paper, int marker)
{
    const int ink = BlendSteps - paper - marker;
    const auto channel = [&](int (QColor::*of)() const) {
        return (paper * (c.paper.*of)() + marker * (c.marker.*of)() + ink * (c.ink.*of)()
                   + BlendSteps / 2)
            / BlendSteps;
    };
    return qRgb(channel(&QColor::red), channel(&QColor::green), channel(&QColor::blue));
}

QList<QRgb> sheetPalette()
{
    const SheetColours colours = sheetColours();
    QList<QRgb> palette;
    for (int marker = 0; marker <= BlendSteps; ++marker) {
        for (int paper = 0; marker + paper <= BlendSteps; ++paper)
            palette << blend(colours, paper, marker);
    }
    return palette;
}
} // namespace

QByteArray sheetPdf(const Song &song)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    // No margins of the writer's own: the sheet keeps its own.
    writer.setPageLayout(QPageLayout(sheetPage(), QPageLayout::Portrait, QMarginsF()));
    writer.setTitle(song.title);
    writer.setCreator(QStringLiteral("ソラミナ"));
    QPainter painter(&writer);
    drawChordSheet(painter, writer.pageLayout().fullRectPixels(writer.resolution()), song);
    painter.end();
    return bytes;
}

QByteArray sheetPng(const Song &song)
{
    QImage image(sheetPage().sizePixels(SheetPngDpi), QImage::Format_RGB32);
    const int dotsPerMetre = qRound(SheetPngDpi / MetresPerInch);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(sheetColours().paper);
    QPainter painter(&image);
    drawChordSheet(painter, QRectF(image.rect()), song);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_Indexed8, sheetPalette(), Qt::ThresholdDither)
        .save(&buffer, "PNG", PngQuality);
    return bytes;
}

} // namespace song
