#pragma once

#include "soundoutput.h"

#include <fluidsynth.h>

#include <memory>

// A FluidSynth synthesiser playing on channel 0, to the desktop's audio
// server (PulseAudio, else ALSA) or into buffers.
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

private:
    template<typename T, void (*Delete)(T *)> struct Deleter {
        void operator()(T *p) const { Delete(p); }
    };
    // Declared in the order they are made; they go in the reverse order.
    std::unique_ptr<fluid_settings_t, Deleter<fluid_settings_t, delete_fluid_settings>> m_settings;
    std::unique_ptr<fluid_synth_t, Deleter<fluid_synth_t, delete_fluid_synth>> m_synth;
    std::unique_ptr<fluid_audio_driver_t, Deleter<fluid_audio_driver_t, delete_fluid_audio_driver>>
        m_driver;
};
