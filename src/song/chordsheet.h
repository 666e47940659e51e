#pragma once

#include "song.h"

class QPainter;
class QRectF;

namespace song
{

// The sheet is laid out in twips, the window's unit, on A4 portrait paper.
inline constexpr double TwipsPerMillimetre = 1440 / 25.4;
inline constexpr double SheetWidth = 210 * TwipsPerMillimetre;
inline constexpr double SheetHeight = 297 * TwipsPerMillimetre;
inline constexpr int SheetBarsPerLine = 4;

// Draws the song's chord sheet: its title, tempo and meter; the bars four to a
// line between bar lines, each chord name one run of text as written; below,
// a two-octave keyboard with its markers for each distinct known chord, as the
// window draws it, labelled with the name. Up to 30 bars fit: the keyboards
// shrink to fit what room the bars leave.
//
// The sheet is scaled to fit the page rectangle (in the painter's units),
// stands at its top and is centred across. Drawing text needs a QGuiApplication.
void drawChordSheet(QPainter &painter, const QRectF &page, const Song &song);

} // namespace song
