#include "chordsheet.h"

#include "colour.h"
#include "programfont.h"

#include "keyboardgeometry.h"
#include "placement.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <string_view>

namespace song
{

namespace
{

// The window's face, so that Japanese titles and typed names show; Debian's
// fonts-ipafont-gothic.

// The sheet is laid out in twips, the window's unit (20 to a point), on A4
// portrait paper.
constexpr double TwipsPerMillimetre = 1440 / 25.4;
constexpr double SheetWidth = 210 * TwipsPerMillimetre;
constexpr double SheetHeight = 297 * TwipsPerMillimetre;
constexpr int SheetBarsPerLine = 4;
constexpr double Margin = 1134; // 2 cm
constexpr double ContentWidth = SheetWidth - 2 * Margin;
constexpr double ContentBottom = SheetHeight - Margin;
constexpr int TitleSize = 480;
constexpr int MeterSize = 240;
constexpr int ChordSize = 320;
constexpr int LabelSize = 200;
constexpr double MeterGap = 200; // between the title and the meter line
constexpr double HeaderGap = 480; // between the meter line and the bars
constexpr double BarLineHeight = 600;
constexpr double LineOfBars = 840; // from one line of bars to the next
constexpr double NameInset = 160; // from a bar line to its chord's name
constexpr double BarLineWidth = 15;
constexpr double FinalLineWidth = 60; // the thick stroke of the closing double bar
constexpr double FinalLineGap = 75;
constexpr double SectionGap = 360; // between the bars and the keyboards
constexpr double KeyboardGap = 300;
constexpr double LabelHeight = 300; // room for a keyboard's name above it
constexpr double MaxKeyboardWidth = 3000;
constexpr double KeyLineWidth = 10;

constexpr double KeyboardWidth = chord::KeyboardRight - chord::KeyboardLeft;
constexpr double KeyboardHeight = chord::KeyboardBottom - chord::KeyboardTop;

QColor windowColour(std::string_view hex)
{
    return widgets::hexColour(QString::fromLatin1(hex.data(), qsizetype(hex.size())));
}

QFont sheetFont(int size)
{
    QFont font(
        QString::fromLatin1(widgets::FontFamily.data(), qsizetype(widgets::FontFamily.size())));
    font.setPixelSize(size);
    // Unhinted, so that the PDF and the picture lay out their texts alike.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// One run of text from its baseline, squeezed across when it would pass the
// room it has, so that a long typed name stays whole and in its bar.
void drawName(QPainter &painter, const QPointF &baseline, double room, const QString &text)
{
    const double width = painter.fontMetrics().horizontalAdvance(text);
    painter.save();
    painter.translate(baseline);
    if (width > room)
        painter.scale(room / width, 1);
    painter.drawText(QPointF(0, 0), text);
    painter.restore();
}

// Baseline of a line of text centred down in a band.
double centredBaseline(const QPainter &painter, double top, double height)
{
    const QFontMetricsF metrics = painter.fontMetrics();
    return top + (height + metrics.ascent() - metrics.descent()) / 2;
}

double drawHeader(QPainter &painter, const Song &song)
{
    double y = Margin;
    painter.setFont(sheetFont(TitleSize));
    drawName(painter, {Margin, y + painter.fontMetrics().ascent()}, ContentWidth, song.title);
    y += painter.fontMetrics().height() + MeterGap;
    painter.setFont(sheetFont(MeterSize));
    const QString meter = QStringLiteral("♩ = %1　%2/4").arg(song.tempo).arg(song.beatsPerBar);
    painter.drawText(QPointF(Margin, y + painter.fontMetrics().ascent()), meter);
    return y + painter.fontMetrics().height() + HeaderGap;
}

// The bars from the top given; returns where the last line of bars ends.
double drawBars(QPainter &painter, const Song &song, double top)
{
    const int count = int(song.bars.size());
    if (count == 0)
        return top;
    constexpr double BarWidth = ContentWidth / SheetBarsPerLine;
    painter.setFont(sheetFont(ChordSize));
    const QColor ink = sheetColours().ink;
    painter.setPen(QPen(ink, BarLineWidth));
    for (int i = 0; i < count; ++i) {
        const double x = Margin + BarWidth * (i % SheetBarsPerLine);
        const double y = top + LineOfBars * (i / SheetBarsPerLine);
        if (i % SheetBarsPerLine == 0)
            painter.drawLine(QPointF(x, y), QPointF(x, y + BarLineHeight));
        const double right = x + BarWidth;
        if (i + 1 < count) {
            painter.drawLine(QPointF(right, y), QPointF(right, y + BarLineHeight));
        } else { // the closing double bar
            const double thin = right - FinalLineWidth / 2 - FinalLineGap;
            painter.drawLine(QPointF(thin, y), QPointF(thin, y + BarLineHeight));
            painter.fillRect(QRectF(right - FinalLineWidth, y - BarLineWidth / 2, FinalLineWidth,
                                 BarLineHeight + BarLineWidth),
                ink);
        }
        const QString name = song.bars[std::size_t(i)].standardName();
        if (!name.isEmpty())
            drawName(painter, {x + NameInset, centredBaseline(painter, y, BarLineHeight)},
                BarWidth - 2 * NameInset, name);
    }
    const int lines = (count + SheetBarsPerLine - 1) / SheetBarsPerLine;
    return top + LineOfBars * (lines - 1) + BarLineHeight;
}

// The window's keyboard and the chord's markers, drawn in its own twips and
// scaled to the width given.
void drawKeyboard(QPainter &painter, const QPointF &topLeft, double width, const Bar &bar)
{
    using namespace chord;
    const double scale = width / KeyboardWidth;
    painter.save();
    painter.translate(topLeft);
    painter.scale(scale, scale);
    painter.translate(-KeyboardLeft, -KeyboardTop);
    const SheetColours colours = sheetColours();
    painter.setPen(QPen(colours.ink, KeyLineWidth / scale));
    painter.setBrush(colours.paper);
    painter.drawRect(QRectF(KeyboardLeft, KeyboardTop, KeyboardWidth, KeyboardHeight));
    for (int k = 1; k < WhiteKeys; ++k) {
        const double x = KeyboardLeft + WhiteKeyWidth * k;
        painter.drawLine(QPointF(x, KeyboardTop), QPointF(x, KeyboardBottom));
    }
    painter.setBrush(colours.ink);
    for (const int left : BlackKeyLefts)
        painter.drawRect(QRectF(left, KeyboardTop, BlackKeyWidth, BlackKeyHeight));
    painter.setBrush(colours.marker);
    const ChordPlacement placement = placeChord(bar.root.toStdString(), bar.kind.toStdString());
    for (const MarkerPlace &marker : placement.markers) {
        if (marker.left != HiddenMarkerLeft)
            painter.drawEllipse(QRectF(marker.left, marker.top, MarkerSize, MarkerSize));
    }
    painter.restore();
}

struct KeyboardGrid {
    int columns = 1;
    double width = 0; // of each keyboard
};

// The column count that gives the widest keyboards in the room left; of
// equally wide ones, the most columns, which keeps the sheet compact.
KeyboardGrid fitKeyboards(int count, double height)
{
    KeyboardGrid best;
    for (int columns = 1; columns <= count; ++columns) {
        const int rows = (count + columns - 1) / columns;
        const double across = (ContentWidth - KeyboardGap * (columns - 1)) / columns;
        const double down = ((height - KeyboardGap * (rows - 1)) / rows - LabelHeight)
            * KeyboardWidth / KeyboardHeight;
        const double width = std::min({across, down, MaxKeyboardWidth});
        if (width >= best.width)
            best = {columns, width};
    }
    return best;
}

void drawKeyboards(QPainter &painter, const Song &song, double top)
{
    std::vector<const Bar *> chords; // the first bar of each known name
    for (const Bar &bar : song.bars) {
        const auto sameName = [&bar](const Bar *seen) { return seen->name() == bar.name(); };
        if (!bar.isRest() && std::ranges::none_of(chords, sameName))
            chords.push_back(&bar);
    }
    const KeyboardGrid grid = fitKeyboards(int(chords.size()), ContentBottom - top);
    if (grid.width <= 0)
        return;
    const double cellHeight = LabelHeight + grid.width * KeyboardHeight / KeyboardWidth;
    painter.setFont(sheetFont(LabelSize));
    for (int i = 0; i < int(chords.size()); ++i) {
        const double x = Margin + (grid.width + KeyboardGap) * (i % grid.columns);
        const double y = top + (cellHeight + KeyboardGap) * (i / grid.columns);
        drawName(painter, {x, centredBaseline(painter, y, LabelHeight)}, grid.width,
            chords[std::size_t(i)]->standardName());
        drawKeyboard(painter, {x, y + LabelHeight}, grid.width, *chords[std::size_t(i)]);
    }
}

} // namespace

SheetColours sheetColours()
{
    return {windowColour(chord::KeyWhiteColour), Qt::black, windowColour(chord::MarkerColour)};
}

void drawChordSheet(QPainter &painter, const QRectF &page, const Song &song)
{
    const double scale = std::min(page.width() / SheetWidth, page.height() / SheetHeight);
    painter.save();
    painter.translate(page.left() + (page.width() - SheetWidth * scale) / 2, page.top());
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(sheetColours().ink);
    const double barsTop = drawHeader(painter, song);
    const double barsBottom = drawBars(painter, song, barsTop);
    drawKeyboards(painter, song, barsBottom + SectionGap);
    painter.restore();
}

} // namespace song
