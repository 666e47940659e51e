#pragma once

#include "soundoutput.h"
#include "timednotes.h"

#include <fluidsynth.h>

#include <atomic>
#include <memory>

// A FluidSynth synthesiser playing chords on channel 0 and timed clicks on
// the percussion channel, to the desktop's audio server (PulseAudio, else
// ALSA) or into buffers. Either way the rendering is its own: it counts the
// frames and starts each timed note at its frame.
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
    void play(const sound::TimedNote &note);

    template<typename T, void (*Delete)(T *)> struct Deleter {
        void operator()(T *p) const { Delete(p); }
    };
    // Declared in the order they are made; they go in the reverse order, the
    // audio driver first, so that nothing renders into what is gone.
    std::unique_ptr<fluid_settings_t, Deleter<fluid_settings_t, delete_fluid_settings>> m_settings;
    std::unique_ptr<fluid_synth_t, Deleter<fluid_synth_t, delete_fluid_synth>> m_synth;
    std::unique_ptr<TimedNotes> m_timed;
    std::atomic<std::int64_t> m_played {0};
    std::unique_ptr<fluid_audio_driver_t, Deleter<fluid_audio_driver_t, delete_fluid_audio_driver>>
        m_driver;
};
