#pragma once

#include <QString>
#include <QtPlugin>

#include <memory>
#include <span>

namespace sound
{

// Where a sound output sends what it plays.
enum class Target {
    Device, // the desktop's audio server or sound card
    Buffer, // nowhere: render() hands the samples to the caller
};

// A General MIDI synthesiser on one channel. Notes are MIDI note numbers.
// Everything but open() is cheap and may be called from the GUI thread.
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
};

// The root object of a sound module: makes outputs.
class SoundModule
{
public:
    virtual ~SoundModule() = default;
    virtual std::unique_ptr<SoundOutput> createOutput() = 0;
};

} // namespace sound

#define SoraminaSoundModule_iid "org.soramina.Soramina.SoundModule/1.1"
Q_DECLARE_INTERFACE(sound::SoundModule, SoraminaSoundModule_iid)
