#pragma once

#include "song.h"

#include <QByteArray>
#include <QString>

class QIODevice;

// The chord sheet as files to hand out. Both need a QGuiApplication (the
// offscreen platform will do), no display and no widget.
namespace song
{

inline constexpr int SheetPngDpi = 150;
// The most pages one picture holds, 2.2 MB of it a page: a song of
// 4000 chords of a bar each fits; a longer sheet is for a PDF.
inline constexpr int MaxPngPages = 60;

// A4 portrait pages, as many as the song needs, its fonts embedded.
QByteArray sheetPdf(const Song &song);

// The same sheet as a picture of the A4 page at 150 dots per inch (1240 by
// 1754 pixels), on white; the pages one under the other when there are
// more, up to MaxPngPages.
QByteArray sheetPng(const Song &song);

// The same, written to a device (opened for writing when it is not open
// yet): empty when written, else why not, for the user. The sheet is made
// whole before any of it goes to the device: one that cannot be made writes
// nothing. sheetPdf() and sheetPng() give no bytes for one that fails.
QString writeSheetPdf(const Song &song, QIODevice &device);
QString writeSheetPng(const Song &song, QIODevice &device);

} // namespace song
