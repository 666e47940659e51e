#pragma once

#include "song.h"

#include <QByteArray>

namespace song
{

// What an empty box is written as, and read back as: the usual "no chord".
inline constexpr char NoChord[] = "N.C.";

// The song as a ChordPro file (UTF-8): its title, tempo and meter as
// directives, then the chords in brackets in box order, one line per row of
// the memo grid; an empty box is [N.C.], so that every bar keeps its place.
// Known chords are in the standard spelling (Bar::standardName), which
// chord-sheet programs read.
//
// Every file is well formed whatever the boxes and the title hold: brackets
// and braces, which would open or close a chord or a directive, are written
// as parentheses, and line breaks as spaces. An empty title writes no
// {title} directive.
QByteArray chordProBytes(const Song &song);

} // namespace song
