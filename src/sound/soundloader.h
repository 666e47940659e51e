#pragma once

#include "soundoutput.h"

#include <QStringList>

#include <memory>

namespace sound
{

// Folders the sound module is looked for in: beside the executable (as in
// the build tree), then the program's own library folder when installed.
QStringList moduleFolders();

// The General MIDI soundfont to play with: TimGM6mb, which loads in tens of
// milliseconds, else FluidR3_GM; empty when neither is installed. Compressed
// .sf3 fonts are never taken: they take seconds to decode.
QString findSoundfont();

// Cheap enough for start-up (it loads nothing): why no output can exist
// here, or an empty text when one may.
QString missingPiece(const QStringList &folders);

struct Opened {
    std::unique_ptr<SoundOutput> output; // null on failure
    QString reason; // why there is no output
};

// Loads the module from the first of the folders that holds it and opens an
// output on the target. Slow: call it off the GUI thread.
Opened openOutput(const QStringList &folders, Target target);

} // namespace sound
