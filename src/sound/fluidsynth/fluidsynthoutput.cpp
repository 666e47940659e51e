#include "fluidsynthoutput.h"

#include "midinotes.h"

#include <QFile>

#include <algorithm>

namespace
{
constexpr int Channel = chord::ChordChannel;
// A note waits up to a period for the next one to be rendered, then plays
// after the sound buffered ahead of it: on PulseAudio sound::PulseBufferedMs,
// which the program asks for as it starts (FluidSynth's driver would ask for
// one period only). On a PulseAudio null sink of a two-core machine, 8 ms
// buffered drops out every few seconds and 10 ms with 64-frame periods now
// and then; 10 ms with 128 (2.9 ms) did not.
constexpr int PeriodSize = 128;
// ALSA without a server buffers whole periods: about as many as make 10 ms.
constexpr int Periods = 3;
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
    m_timed = std::make_unique<TimedNotes>(frameGrid());
    if (fluid_synth_sfload(m_synth.get(), QFile::encodeName(soundfont).constData(), 1)
        == FLUID_FAILED)
        return QStringLiteral("音色ファイル %1 を読めません").arg(soundfont);
    if (target == sound::Target::Buffer)
        return {};
    for (const char *driver : Drivers) {
        fluid_settings_setstr(m_settings.get(), "audio.driver", driver);
        m_driver.reset(new_fluid_audio_driver2(m_settings.get(), renderDevice, this));
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
    renderTimed(int(std::min(left.size(), right.size())), left.data(), right.data());
}

int FluidSynthOutput::frameGrid() const
{
    // The synth renders blocks of this size and reads its events between them.
    return fluid_synth_get_internal_bufsize(m_synth.get());
}

std::int64_t FluidSynthOutput::framesPlayed() const
{
    return m_played.load(std::memory_order_acquire);
}

void FluidSynthOutput::schedule(std::span<const sound::TimedNote> notes)
{
    m_timed->add(notes);
}

void FluidSynthOutput::cancelScheduled()
{
    m_timed->cancel([this] {
        for (int channel : {chord::ChordChannel, chord::PercussionChannel})
            fluid_synth_all_notes_off(m_synth.get(), channel);
    });
}

// On the audio driver's thread. A driver may hand more outputs than the
// two it plays: those stay silent.
int FluidSynthOutput::renderDevice(void *self, int frames, int, float **, int outputs, float **out)
{
    if (outputs < 2)
        return FLUID_FAILED;
    for (int i = 2; i < outputs; ++i)
        std::fill_n(out[i], frames, 0.0f);
    static_cast<FluidSynthOutput *>(self)->renderTimed(frames, out[0], out[1]);
    return FLUID_OK;
}

// The synthesiser takes a note at the start of the block after the frames it
// has rendered: rendering up to a grid line and playing the note there puts
// it on that line. The samples are written, not mixed in, so the driver's
// buffers need no clearing.
void FluidSynthOutput::renderTimed(int frames, float *left, float *right)
{
    std::int64_t frame = m_played.load(std::memory_order_relaxed);
    const std::int64_t end = frame + frames;
    while (frame < end) {
        const std::int64_t next
            = m_timed->playDue(frame, [this](const sound::TimedNote &note) { play(note); });
        const auto count = int(std::min(end, next) - frame);
        fluid_synth_write_float(m_synth.get(), count, left, 0, 1, right, 0, 1);
        left += count;
        right += count;
        frame += count;
    }
    m_played.store(end, std::memory_order_release);
}

void FluidSynthOutput::play(const sound::TimedNote &note)
{
    if (note.velocity > 0)
        fluid_synth_noteon(m_synth.get(), note.channel, note.note, note.velocity);
    else
        fluid_synth_noteoff(m_synth.get(), note.channel, note.note);
}
