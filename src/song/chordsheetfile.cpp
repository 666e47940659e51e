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

QString unwritable(const QIODevice &device)
{
    return QStringLiteral("コード譜を書けません: %1").arg(device.errorString());
}

// The file is made whole in memory first: a sheet that cannot be made puts
// nothing on the device.
QString written(QIODevice &device, const QByteArray &bytes)
{
    if (!device.isOpen() && !device.open(QIODevice::WriteOnly))
        return unwritable(device);
    if (device.write(bytes) != bytes.size())
        return unwritable(device);
    return {};
}

QByteArray inMemory(const Song &song, QString (*write)(const Song &, QIODevice &))
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    return write(song, buffer).isEmpty() ? bytes : QByteArray();
}
} // namespace

QString writeSheetPdf(const Song &song, QIODevice &device)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return unwritable(buffer);
    QPdfWriter writer(&buffer);
    // No margins of the writer's own: the sheet keeps its own.
    writer.setPageLayout(QPageLayout(sheetPage(), QPageLayout::Portrait, QMarginsF()));
    writer.setTitle(song.title);
    writer.setCreator(QStringLiteral("ソラミナ"));
    QPainter painter;
    if (!painter.begin(&writer))
        return QStringLiteral("PDF のコード譜を描けません");
    const QRect page = writer.pageLayout().fullRectPixels(writer.resolution());
    const int pages = drawChordSheet(painter, page, song);
    for (int k = 1; k < pages; ++k) {
        if (!writer.newPage())
            return QStringLiteral("PDF のコード譜を描けません");
        drawChordSheet(painter, page, song, k);
    }
    if (!painter.end())
        return QStringLiteral("PDF のコード譜を描けません");
    return written(device, bytes);
}

// The pages from the first, one under the other; null when there was no
// memory for them.
QImage sheetImage(const Song &song, int pages, int &drawn)
{
    const QSize page = sheetPage().sizePixels(SheetPngDpi);
    QImage image(page.width(), page.height() * pages, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const int dotsPerMetre = qRound(SheetPngDpi / MetresPerInch);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(sheetColours().paper);
    QPainter painter;
    if (!painter.begin(&image))
        return {};
    for (int k = 0; k < pages; ++k)
        drawn
            = drawChordSheet(painter, QRectF(QPointF(0, page.height() * k), QSizeF(page)), song, k);
    painter.end();
    return image;
}

QString writeSheetPng(const Song &song, QIODevice &device)
{
    // A sheet of more than one page is one tall picture of them all.
    int pages = 1;
    QImage image = sheetImage(song, 1, pages);
    if (!image.isNull() && pages > 1)
        image = sheetImage(song, pages, pages);
    // A null image is one there was no memory for.
    if (image.isNull())
        return QStringLiteral("コード譜の画像を作れません: メモリーが足りません");
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return unwritable(buffer);
    if (!image.convertToFormat(QImage::Format_Indexed8, sheetPalette(), Qt::ThresholdDither)
             .save(&buffer, "PNG", PngQuality))
        return QStringLiteral("コード譜を PNG にできません");
    return written(device, bytes);
}

QByteArray sheetPdf(const Song &song)
{
    return inMemory(song, writeSheetPdf);
}

QByteArray sheetPng(const Song &song)
{
    return inMemory(song, writeSheetPng);
}

} // namespace song
