#pragma once

#include "soundoutput.h"
#include "timednotes.h"

#include <fluidsynth.h>

#include <atomic>
#include <memory>

// A FluidSynth synthesiser playing timed chords on channel 0, timed clicks on
// the percussion channel and the notes played at once (chords clicked, keys,
// a MIDI keyboard) on a channel of their own, to the desktop's audio server
// (PulseAudio, else ALSA) or into buffers. Either way the rendering is its
// own: it counts the frames and starts each timed note at its frame. Only
// the rendering thread touches the synthesiser; the owner's calls reach it
// through TimedNotes. A device output that has had nothing to play for
// sound::IdleSeconds stops rendering until it is handed something or its clock is
// read.
class FluidSynthOutput final : public sound::SoundOutput
{
public:
    FluidSynthOutput();
    ~FluidSynthOutput() override;

    QString open(sound::Target target, const QString &soundfont) override;
    int sampleRate() const override;
    void selectProgram(int program) override;
    void noteOn(int note, int velocity) override;
    void noteOff(int note) override;
    void render(std::span<float> left, std::span<float> right) override;
    int frameGrid() const override;

    std::int64_t framesPlayed() const override;
    void schedule(std::span<const sound::TimedNote> notes) override;
    void cancelScheduled() override;

private:
    static int renderDevice(void *self, int frames, int, float **, int outputs, float **out);
    // The next frames, cut where timed notes fall due so that each starts
    // at its own frame.
    void renderTimed(int frames, float *left, float *right);
    void apply(const TimedNotes::Command &command);
    void hand(bool handed) const;
    // On the audio driver's thread: counts the frames with nothing to play
    // and, past sound::IdleSeconds of them, waits there until woken.
    void idle(int frames);
    void centreClicks();

    template<typename T, void (*Delete)(T *)> struct Deleter {
        void operator()(T *p) const { Delete(p); }
    };
    // Declared in the order they are made; they go in the reverse order, the
    // audio driver first, so that nothing renders into what is gone.
    std::unique_ptr<fluid_settings_t, Deleter<fluid_settings_t, delete_fluid_settings>> m_settings;
    std::unique_ptr<fluid_synth_t, Deleter<fluid_synth_t, delete_fluid_synth>> m_synth;
    std::unique_ptr<TimedNotes> m_timed;
    int m_grid = 1;
    int m_rate = 0;
    std::atomic<std::int64_t> m_played {0};
    enum State { Running, Idle, Closing };
    mutable std::atomic<int> m_state {Running};
    mutable std::atomic<bool> m_woken {false}; // since the renderer last looked
    std::int64_t m_quietFrames = 0; // the renderer's own
    std::unique_ptr<fluid_audio_driver_t, Deleter<fluid_audio_driver_t, delete_fluid_audio_driver>>
        m_driver;
};
