#include "fluidsynthoutput.h"

#include "midinotes.h"

#include <QFile>

namespace
{
constexpr int Channel = chord::ChordChannel;
// Debian's default period is short enough to drop out on PulseAudio.
constexpr int PeriodSize = 512;
constexpr int Periods = 4;
constexpr const char *Drivers[] {"pulseaudio", "alsa"};
} // namespace

FluidSynthOutput::FluidSynthOutput() = default;
FluidSynthOutput::~FluidSynthOutput() = default;

QString FluidSynthOutput::open(sound::Target target, const QString &soundfont)
{
    m_settings.reset(new_fluid_settings());
    fluid_settings_setint(m_settings.get(), "synth.dynamic-sample-loading", 1);
    fluid_settings_setint(m_settings.get(), "audio.period-size", PeriodSize);
    fluid_settings_setint(m_settings.get(), "audio.periods", Periods);
    m_synth.reset(new_fluid_synth(m_settings.get()));
    if (!m_synth)
        return QStringLiteral("シンセサイザーを作れません");
    if (fluid_synth_sfload(m_synth.get(), QFile::encodeName(soundfont).constData(), 1)
        == FLUID_FAILED)
        return QStringLiteral("音色ファイル %1 を読めません").arg(soundfont);
    if (target == sound::Target::Buffer)
        return {};
    for (const char *driver : Drivers) {
        fluid_settings_setstr(m_settings.get(), "audio.driver", driver);
        m_driver.reset(new_fluid_audio_driver(m_settings.get(), m_synth.get()));
        if (m_driver)
            return {};
    }
    return QStringLiteral("音声サーバー（PulseAudio）も音声装置（ALSA）も応答しません");
}

int FluidSynthOutput::sampleRate() const
{
    double rate = 0;
    fluid_settings_getnum(m_settings.get(), "synth.sample-rate", &rate);
    return int(rate);
}

void FluidSynthOutput::selectProgram(int program)
{
    fluid_synth_program_change(m_synth.get(), Channel, program);
}

void FluidSynthOutput::noteOn(int note, int velocity)
{
    fluid_synth_noteon(m_synth.get(), Channel, note, velocity);
}

void FluidSynthOutput::noteOff(int note)
{
    fluid_synth_noteoff(m_synth.get(), Channel, note);
}

void FluidSynthOutput::render(std::span<float> left, std::span<float> right)
{
    fluid_synth_write_float(m_synth.get(), int(left.size()), left.data(), 0, 1, right.data(), 0, 1);
}

int FluidSynthOutput::frameGrid() const
{
    // The synth renders blocks of this size and reads its events between them.
    return fluid_synth_get_internal_bufsize(m_synth.get());
}
