#pragma once

#include "song.h"

#include <QByteArray>

namespace song
{

// What an empty box is written as, and read back as: the usual "no chord".
inline constexpr char NoChord[] = "N.C.";

// The song as a ChordPro file (UTF-8): its title, tempo, meter, key and capo
// as directives, then the chords in brackets in box order; an empty box is
// [N.C.], so that every bar keeps its place. A section is a verse, chorus or
// bridge (by its name) labelled with its name, and starts a new line.
//
// Where every chord is a whole bar, they are written as they always were,
// ten to a line: [C] [Am] [F]. Elsewhere lines carry bar lines, ten bars to
// a line, and a bar that holds more than one chord has a cell for each beat,
// a dot where the chord before goes on: | [C] | [G] . [D] . | |. An empty bar
// holds the chord before. A section that begins inside a bar, and a song
// that ends inside one, leave the bar open at the end of the line, cells
// and all, to be closed on the next. readChordPro() reads every such file
// back as the song that wrote it.
//
// Known chords are in the standard spelling (Bar::standardName), which
// chord-sheet programs read.
//
// Every file is well formed whatever the boxes and the title hold: brackets
// and braces, which would open or close a chord or a directive, are written
// as parentheses, and line breaks as spaces. An empty title writes no
// {title} directive.
QByteArray chordProBytes(const Song &song);

} // namespace song
