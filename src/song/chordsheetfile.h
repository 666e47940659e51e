#pragma once

#include "song.h"

#include <QByteArray>

// The chord sheet as files to hand out. Both need a QGuiApplication (the
// offscreen platform will do), no display and no widget.
namespace song
{

inline constexpr int SheetPngDpi = 150;

// One A4 portrait page, its fonts embedded.
QByteArray sheetPdf(const Song &song);

// The same sheet as a picture of the A4 page at 150 dots per inch (1240 by
// 1754 pixels), on white.
QByteArray sheetPng(const Song &song);

} // namespace song
