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
    image.fill(Qt::white);
    QPainter painter(&image);
    drawChordSheet(painter, QRectF(image.rect()), song);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace song
