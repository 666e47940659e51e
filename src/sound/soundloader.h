#pragma once

#include "soundoutput.h"

#include <QStringList>

#include <functional>
#include <memory>

namespace sound
{

// The General MIDI soundfont to play with: TimGM6mb, which loads in tens of
// milliseconds, else FluidR3_GM; empty when neither is installed. Compressed
// .sf3 fonts are never taken: they take seconds to decode.
QString findSoundfont();

// How much sound PulseAudio keeps ahead of the speaker for the output: as
// little as does not drop out on a busy machine.
inline constexpr int PulseBufferedMs = 10;
// FluidSynth's PulseAudio driver asks the server for one period only, so the
// amount goes through libpulse's own override, PULSE_LATENCY_MSEC, unless the
// user set it. It changes the process's environment, which no other thread
// may be reading: call it first in main, before any thread starts.
void askPulseBuffer();

// Cheap enough for start-up (it loads nothing): why no output can exist
// here, or an empty text when one may. The module is looked for in folders.
QString missingPiece(const QStringList &folders);

struct Opened {
    std::unique_ptr<SoundOutput> output; // null on failure
    QString reason; // why there is no output
};

// How an output comes up, in steps that each run on the thread they belong
// to: the slow ones off the GUI thread, the module's objects on the thread
// that is to own them.
struct Opener {
    // Slow: loads the module. Empty, or why it cannot.
    std::function<QString()> load;
    // Cheap, after load: the module's root object makes an output.
    std::function<Opened()> create;
    // Slow: the soundfont and, for a device, the audio output. Empty, or why not.
    std::function<QString(SoundOutput &)> open;
};

// An output on the target, through the module in the first of the folders
// that holds it.
Opener outputOpener(const QStringList &folders, Target target);

// All of the opener's steps on the calling thread, for the tests and tools
// that render into buffers.
Opened openOutput(const QStringList &folders, Target target);

} // namespace sound
