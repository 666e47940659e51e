#pragma once

#include "song.h"

#include <QColor>

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

// Draws the song's chord sheet: its title, tempo and meter; the bars four to a
// line between bar lines, each chord name one run of text in the standard
// spelling (Bar::standardName); below,
// a two-octave keyboard with its markers for each distinct known chord, as the
// window draws it, labelled with the name. Up to 30 bars fit: the keyboards
// shrink to fit what room the bars leave.
//
// The sheet is scaled to fit the page rectangle (in the painter's units),
// stands at its top and is centred across. Drawing text needs a QGuiApplication.
void drawChordSheet(QPainter &painter, const QRectF &page, const Song &song);

} // namespace song
