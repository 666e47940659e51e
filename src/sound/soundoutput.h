#pragma once

#include <QString>
#include <QtPlugin>

#include <cstdint>
#include <memory>
#include <span>

namespace sound
{

// Where a sound output sends what it plays.
enum class Target {
    Device, // the desktop's audio server or sound card
    Buffer, // nowhere: render() hands the samples to the caller
};

// A device output with nothing sounding, nothing scheduled and nobody reading
// its clock for this long stops rendering; the next note, schedule or read of
// the clock starts it again.
inline constexpr int IdleSeconds = 10;

// A note to start or stop when the output's own sample clock reaches a frame.
struct TimedNote {
    std::int64_t frame; // on the count of framesPlayed()
    int channel; // 0 for a song's chords, chord::PercussionChannel for clicks
    int note;
    int velocity; // 0 lets the note go
    friend bool operator==(const TimedNote &, const TimedNote &) = default;
};

// A General MIDI synthesiser: notes played at once on a channel of their
// own, timed notes on the channel they name. Notes are MIDI note numbers.
// Everything but open() is cheap and is called from the thread that owns the
// output, one thread at a time; framesPlayed() from any thread.
class SoundOutput
{
public:
    virtual ~SoundOutput() = default;

    // Loads the soundfont and, for Target::Device, opens the audio output.
    // Slow (tens of milliseconds, more when no server answers): call it off
    // the GUI thread. Returns an empty text on success, otherwise the reason
    // in a phrase a user understands.
    virtual QString open(Target target, const QString &soundfont) = 0;

    virtual int sampleRate() const = 0;
    // A General MIDI program number, 0 to 127.
    virtual void selectProgram(int program) = 0;
    virtual void noteOn(int note, int velocity) = 0;
    virtual void noteOff(int note) = 0;

    // Target::Buffer only: the next left.size() frames of stereo sound.
    virtual void render(std::span<float> left, std::span<float> right) = 0;
    // A note starts or stops only where a grid of this many frames, counted
    // from the first render, meets the sound: at the first grid line after
    // the frames rendered so far. An offline render that wants a note at a
    // frame places it at the nearest grid line.
    virtual int frameGrid() const { return 1; }

    // Timed playback runs on the sample clock, never on the caller's timers.
    // Frames rendered since open(): to the device, or by render(). Any thread.
    virtual std::int64_t framesPlayed() const = 0;
    // Notes that sound when the rendering reaches their frames, at the grid
    // line nearest each; one whose frame has passed sounds at once. Any order.
    virtual void schedule(std::span<const TimedNote> notes) = 0;
    // Drops the timed notes not yet due and lets go of every note sounding.
    virtual void cancelScheduled() = 0;
};

// The root object of a sound module: makes outputs.
class SoundModule
{
public:
    virtual ~SoundModule() = default;
    virtual std::unique_ptr<SoundOutput> createOutput() = 0;
};

} // namespace sound

#define SoraminaSoundModule_iid "org.soramina.Soramina.SoundModule/1.2"
Q_DECLARE_INTERFACE(sound::SoundModule, SoraminaSoundModule_iid)
