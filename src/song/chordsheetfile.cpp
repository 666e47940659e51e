#include "chordsheetfile.h"

#include "chordsheet.h"

#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include <cstring>

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
    ChordSheet sheet(song);
    const int pages = sheet.draw(painter, page, 0);
    for (int k = 1; k < pages; ++k) {
        if (!writer.newPage())
            return QStringLiteral("PDF のコード譜を描けません");
        sheet.draw(painter, page, k);
    }
    if (!painter.end())
        return QStringLiteral("PDF のコード譜を描けません");
    return written(device, bytes);
}

// One page of the sheet in the palette's colours; null when there was no
// memory for it.
QImage sheetImage(ChordSheet &sheet, int pageIndex, int &pages)
{
    QImage image(sheetPage().sizePixels(SheetPngDpi), QImage::Format_RGB32);
    image.fill(sheetColours().paper);
    QPainter painter;
    if (image.isNull() || !painter.begin(&image))
        return {};
    pages = sheet.draw(painter, QRectF(image.rect()), pageIndex);
    painter.end();
    return image.convertToFormat(QImage::Format_Indexed8, sheetPalette(), Qt::ThresholdDither);
}

QString writeSheetPng(const Song &song, QIODevice &device)
{
    const QString noMemory = QStringLiteral("コード譜の画像を作れません: メモリーが足りません");
    ChordSheet sheet(song);
    int pages = 1;
    QImage first = sheetImage(sheet, 0, pages);
    if (first.isNull())
        return noMemory;
    if (pages > MaxPngPages)
        return QStringLiteral("コード譜が %1 ページあります: 画像は %2 ページまでです。PDF "
                              "に書き出してください")
            .arg(pages)
            .arg(MaxPngPages);
    // A sheet of more than one page is one tall picture of them all, put
    // together a page at a time in the palette's one byte a pixel.
    QImage image = first;
    if (pages > 1) {
        image = QImage(first.width(), first.height() * pages, QImage::Format_Indexed8);
        if (image.isNull())
            return noMemory;
        image.setColorTable(first.colorTable());
        for (int k = 0; k < pages; ++k) {
            int all = pages;
            const QImage page = k == 0 ? first : sheetImage(sheet, k, all);
            if (page.isNull())
                return noMemory;
            for (int y = 0; y < page.height(); ++y)
                std::memcpy(image.scanLine(k * page.height() + y), page.constScanLine(y),
                    std::size_t(page.width()));
        }
    }
    const int dotsPerMetre = qRound(SheetPngDpi / MetresPerInch);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return unwritable(buffer);
    if (!image.save(&buffer, "PNG", PngQuality))
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
