#include "chordsheet.h"

#include "colour.h"
#include "programfont.h"

#include "chordsymbol.h"
#include "degree.h"
#include "keyboardgeometry.h"
#include "placement.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <string_view>

namespace song
{

// A bar of the sheet: the chords that begin in it, by the beat they begin on.
struct SheetBar {
    std::vector<std::pair<int, const Bar *>> chords;
};

// A line of bars where it stands: four bars at most; a section that begins
// on a bar line begins a line.
struct SheetLine {
    std::size_t first = 0;
    std::size_t count = 0;
    int page = 0;
    double top = 0;
};

struct SheetLayout {
    std::vector<SheetBar> bars;
    std::vector<SheetLine> lines;
    int keyboardPage = 0;
    double keyboardTop = 0;
    int pages = 1;
    std::optional<chord::Key> key; // the key the degrees are in: keyInEffect
};

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
constexpr int SectionSize = 220;
constexpr double SectionLift = 70; // from a section's name to the top of its bar line
constexpr double NameGap = 60; // between two chords' names in a bar
// With degrees, the name stands in the top of its bar and its degree (and
// with a capo the shape played) under it, at the bottom.
constexpr double NameBand = 372;
constexpr double DegreeDrop = 40; // from the degree's baseline to the bar's bottom
// About 1.8 cm across: narrower, a keyboard's markers are hard to make out.
constexpr double MinKeyboardWidth = 1000;

constexpr double KeyboardWidth = chord::KeyboardRight - chord::KeyboardLeft;
constexpr double KeyboardHeight = chord::KeyboardBottom - chord::KeyboardTop;

QColor windowColour(std::string_view hex)
{
    return widgets::hexColour(hex);
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

// Draws the title and the meter line, or only measures them; returns where
// the bars begin.
double header(QPainter &painter, const Song &song, bool draw)
{
    double y = Margin;
    painter.setFont(sheetFont(TitleSize));
    if (draw)
        drawName(painter, {Margin, y + painter.fontMetrics().ascent()}, ContentWidth, song.title);
    y += painter.fontMetrics().height() + MeterGap;
    painter.setFont(sheetFont(MeterSize));
    QString meter = QStringLiteral("♩ = %1　%2/4").arg(song.tempo).arg(song.beatsPerBar);
    if (const std::optional<chord::Key> key = keyInEffect(song))
        meter += QStringLiteral("　キー: %1").arg(QString::fromStdString(chord::keyName(*key)));
    if (song.capo > 0)
        meter += QStringLiteral("　カポ %1").arg(song.capo);
    if (draw)
        painter.drawText(QPointF(Margin, y + painter.fontMetrics().ascent()), meter);
    return y + painter.fontMetrics().height() + HeaderGap;
}

double drawHeader(QPainter &painter, const Song &song)
{
    return header(painter, song, true);
}

double headerHeight(QPainter &painter, const Song &song)
{
    return header(painter, song, false);
}

std::vector<SheetBar> sheetBars(const Song &song)
{
    const std::vector<qint64> starts = chordStarts(song);
    const int meter = song.beatsPerBar;
    std::vector<SheetBar> bars(std::size_t((starts.back() + meter - 1) / meter));
    for (std::size_t k = 0; k < song.bars.size(); ++k)
        bars[std::size_t(starts[k] / meter)].chords.push_back(
            {int(starts[k] % meter), &song.bars[k]});
    return bars;
}

bool beginsSection(const SheetBar &bar)
{
    return !bar.chords.empty() && bar.chords.front().first == 0
        && !bar.chords.front().second->section.isEmpty();
}

void drawSection(QPainter &painter, const QPointF &at, const QString &name)
{
    painter.save();
    QFont font = sheetFont(SectionSize);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(at, name);
    painter.restore();
}

// The degree of a chord in the key, and with a capo the shape that plays it:
// "Ⅳ", "Ⅳ (C)"; empty for a chord the tables do not know.
QString degreeLine(const Bar &chord, chord::Key key, int capo)
{
    const std::string root = chord.root.toStdString(), kind = chord.kind.toStdString();
    QString line = QString::fromStdString(chord::degreeName({root, kind}, key));
    if (!line.isEmpty() && capo > 0) {
        const std::string shape(chord::shapeRoot(root, capo, key));
        line += QStringLiteral(" (%1)").arg(
            QString::fromStdString(chord::standardChordName(shape, kind)));
    }
    return line;
}

void drawBarNames(QPainter &painter, const SheetBar &bar, double x, double y, int meter,
    std::optional<chord::Key> key, int capo)
{
    constexpr double BarWidth = ContentWidth / SheetBarsPerLine;
    constexpr double Room = BarWidth - 2 * NameInset;
    const double baseline = centredBaseline(painter, y, key ? NameBand : BarLineHeight);
    if (bar.chords.empty()) { // the chord before holds on
        drawName(painter, {x + NameInset, baseline}, Room, QStringLiteral("%"));
        return;
    }
    for (std::size_t i = 0; i < bar.chords.size(); ++i) {
        const auto &[beat, chord] = bar.chords[i];
        const double left = x + NameInset + Room * beat / meter;
        const double right = i + 1 < bar.chords.size()
            ? x + NameInset + Room * bar.chords[i + 1].first / meter - NameGap
            : x + BarWidth - NameInset;
        const double room = std::max(right - left, 1.0);
        if (!chord->section.isEmpty())
            drawSection(painter, {left, y - SectionLift}, chord->section);
        if (const QString name = chord->standardName(); !name.isEmpty())
            drawName(painter, {left, baseline}, room, name);
        if (const QString degree = key ? degreeLine(*chord, *key, capo) : QString();
            !degree.isEmpty()) {
            painter.save();
            painter.setFont(sheetFont(LabelSize));
            drawName(painter, {left, y + BarLineHeight - DegreeDrop}, room, degree);
            painter.restore();
        }
    }
}

void drawLine(QPainter &painter, const SheetLayout &layout, const SheetLine &line, const Song &song)
{
    constexpr double BarWidth = ContentWidth / SheetBarsPerLine;
    painter.setFont(sheetFont(ChordSize));
    const QColor ink = sheetColours().ink;
    painter.setPen(QPen(ink, BarLineWidth));
    const double y = line.top;
    painter.drawLine(QPointF(Margin, y), QPointF(Margin, y + BarLineHeight));
    for (std::size_t i = 0; i < line.count; ++i) {
        const double x = Margin + BarWidth * double(i);
        const double right = x + BarWidth;
        if (line.first + i + 1 < layout.bars.size()) {
            painter.drawLine(QPointF(right, y), QPointF(right, y + BarLineHeight));
        } else { // the closing double bar
            const double thin = right - FinalLineWidth / 2 - FinalLineGap;
            painter.drawLine(QPointF(thin, y), QPointF(thin, y + BarLineHeight));
            painter.fillRect(QRectF(right - FinalLineWidth, y - BarLineWidth / 2, FinalLineWidth,
                                 BarLineHeight + BarLineWidth),
                ink);
        }
        drawBarNames(
            painter, layout.bars[line.first + i], x, y, song.beatsPerBar, layout.key, song.capo);
    }
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

std::vector<const Bar *> distinctChords(const Song &song)
{
    std::vector<const Bar *> chords; // the first bar of each known name
    for (const Bar &bar : song.bars) {
        const auto sameName = [&bar](const Bar *seen) { return seen->name() == bar.name(); };
        if (!bar.isRest() && std::ranges::none_of(chords, sameName))
            chords.push_back(&bar);
    }
    return chords;
}

void drawKeyboards(QPainter &painter, const Song &song, double top)
{
    const std::vector<const Bar *> chords = distinctChords(song);
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

// Where every line of bars and the keyboards stand, from the top of the
// first line of bars on the first page.
SheetLayout layoutOf(const Song &song, double barsTop)
{
    SheetLayout layout;
    layout.bars = sheetBars(song);
    for (std::size_t b = 0; b < layout.bars.size(); ++b) {
        if (layout.lines.empty() || layout.lines.back().count == SheetBarsPerLine
            || (beginsSection(layout.bars[b]) && layout.lines.back().count > 0))
            layout.lines.push_back({b, 0, 0, 0});
        ++layout.lines.back().count;
    }
    int page = 0;
    double y = barsTop;
    for (SheetLine &line : layout.lines) {
        if (y + BarLineHeight > ContentBottom && &line != &layout.lines.front()) {
            ++page;
            y = Margin;
        }
        line.page = page;
        line.top = y;
        y += LineOfBars;
    }
    layout.keyboardPage = page;
    layout.keyboardTop
        = (layout.lines.empty() ? barsTop : y - LineOfBars + BarLineHeight) + SectionGap;
    // Keyboards too small to read go on a page of their own.
    const auto count = int(distinctChords(song).size());
    if (count > 0
        && fitKeyboards(count, ContentBottom - layout.keyboardTop).width < MinKeyboardWidth) {
        ++layout.keyboardPage;
        layout.keyboardTop = Margin;
    }
    layout.pages = layout.keyboardPage + 1;
    return layout;
}

} // namespace

SheetColours sheetColours()
{
    return {windowColour(chord::KeyWhiteColour), Qt::black, windowColour(chord::MarkerColour)};
}

ChordSheet::ChordSheet(const Song &song)
    : m_song(song)
{
}

ChordSheet::~ChordSheet() = default;

int ChordSheet::draw(QPainter &painter, const QRectF &page, int pageIndex)
{
    const double scale = std::min(page.width() / SheetWidth, page.height() / SheetHeight);
    painter.save();
    painter.translate(page.left() + (page.width() - SheetWidth * scale) / 2, page.top());
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(sheetColours().ink);
    if (!m_layout) {
        m_layout = std::make_unique<SheetLayout>(layoutOf(m_song, headerHeight(painter, m_song)));
        m_layout->key = keyInEffect(m_song);
    }
    if (pageIndex == 0)
        drawHeader(painter, m_song);
    const std::vector<SheetLine> &lines = m_layout->lines; // in page order
    const auto first = std::partition_point(lines.begin(), lines.end(),
        [pageIndex](const SheetLine &line) { return line.page < pageIndex; });
    for (auto line = first; line != lines.end() && line->page == pageIndex; ++line)
        drawLine(painter, *m_layout, *line, m_song);
    if (m_layout->keyboardPage == pageIndex)
        drawKeyboards(painter, m_song, m_layout->keyboardTop);
    painter.restore();
    return m_layout->pages;
}

int drawChordSheet(QPainter &painter, const QRectF &page, const Song &song, int pageIndex)
{
    return ChordSheet(song).draw(painter, page, pageIndex);
}

} // namespace song
