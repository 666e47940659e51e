#pragma once

#include "commandline.h"

// soramina --export OUT [--transpose N] [--tempo BPM] [--beats N] [FILE]:
// the song in FILE (the usual memo when none is given; a ChordPro song by
// its extension) written to OUT in the format OUT's extension names, with no
// window and no display. FILE is never created or changed.
namespace app
{

// The exit status: 0 written; 1 FILE or OUT unusable, or no sound for audio;
// 2 a format nobody knows. A failure says why in one line on stderr.
int runExport(const CommandLine &command, const QString &program, int argc, char **argv);

} // namespace app
