#pragma once

#include "song.h"

#include <QColor>

#include <memory>

class QPainter;
class QRectF;

namespace song
{

// The colours the sheet is drawn in: the paper's white (the keys' too), the
// black of text, lines and black keys, the markers' green. Smoothed edges
// blend them and make no other.
struct SheetColours {
    QColor paper;
    QColor ink;
    QColor marker;
};
SheetColours sheetColours();

// Draws a page of the song's chord sheet and returns how many pages it has.
// The first page begins with its title, tempo, meter, key (keyInEffect) and
// capo; then come the bars, four to a line between bar lines, a line for
// each section that begins on a bar line, its name over it; each chord name
// is one run of text in the standard spelling (Bar::standardName), where its
// beat falls in the bar, and a bar where the chord before holds on shows %;
// under each known name, its degree in the key, and with a capo the shape to
// play ("Ⅳ (C)"). After the last bar (on a page of their own when the room
// left would make them too small), a two-octave keyboard with its markers
// for each distinct known chord, as the window draws it, labelled with the
// name; the keyboards shrink to fit the room they have. A memo's 30 bars and
// their keyboards fit one page.
//
// The sheet is scaled to fit the page rectangle (in the painter's units),
// stands at its top and is centred across. Drawing text needs a QGuiApplication.
int drawChordSheet(QPainter &painter, const QRectF &page, const Song &song, int pageIndex = 0);

struct SheetLayout;

// The same sheet laid out once, for drawing its pages one after another: a
// long song's pages cost no more each than a short song's. The song must
// outlive it.
class ChordSheet
{
public:
    explicit ChordSheet(const Song &song);
    ~ChordSheet();

    // Draws a page as drawChordSheet() does; the first page drawn lays the
    // sheet out with the painter's fonts.
    int draw(QPainter &painter, const QRectF &page, int pageIndex);

private:
    const Song &m_song;
    std::unique_ptr<SheetLayout> m_layout;
};

} // namespace song
