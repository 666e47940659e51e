#include "fluidsynthoutput.h"

#include "midinotes.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cstdio>

namespace
{
// Chords clicked, keys and a MIDI keyboard: not the song's channel, so that
// letting go of a chord clicked during a song leaves the song's notes alone.
constexpr int LiveChannel = 1;
static_assert(LiveChannel != chord::ChordChannel && LiveChannel != chord::PercussionChannel);
// FluidSynth's own gain, 0.2, leaves a chord near -24 dBFS: this one puts a
// four-note piano chord near -7, and every chord of the tables, on any
// instrument of the menu, under full scale.
constexpr float SynthGain = 1.6f;
// MIDI's channel volume, 100 unless set: the level changes by
// 40 log10(value / 100) dB.
constexpr int VolumeController = 7;
constexpr int DefaultVolume = 100;
// The count-in under a four-note piano chord: its accented first click
// about 4 dB, the plain ones (struck softer) about 12.
constexpr int ClickVolume = 58;
// The menu's instruments are far from even in the General MIDI fonts (the
// strings some 18 dB over the piano): each is set back so that chords
// clicked one after another, tails and all, stay under full scale.
struct Trim {
    int program;
    int volume;
};
constexpr Trim Trims[] {{4, 85}, {16, 60}, {24, 88}, {48, 27}};

int volumeOf(int program)
{
    for (const Trim &trim : Trims) {
        if (trim.program == program)
            return trim.volume;
    }
    return DefaultVolume;
}
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

// A renderer waiting for something to play is let go before the driver ends it.
FluidSynthOutput::~FluidSynthOutput()
{
    m_state.store(Closing);
    m_state.notify_one();
    m_driver.reset();
}

QString FluidSynthOutput::open(sound::Target target, const QString &soundfont)
{
    m_settings.reset(new_fluid_settings());
    fluid_settings_setint(m_settings.get(), "synth.dynamic-sample-loading", 1);
    fluid_settings_setint(m_settings.get(), "audio.period-size", PeriodSize);
    fluid_settings_setint(m_settings.get(), "audio.periods", Periods);
    double rate = 0;
    fluid_settings_getnum(m_settings.get(), "synth.sample-rate", &rate);
    m_rate = int(rate);
    m_synth.reset(new_fluid_synth(m_settings.get()));
    if (!m_synth)
        return QStringLiteral("シンセサイザーを作れません");
    fluid_synth_set_gain(m_synth.get(), SynthGain);
    // The synth renders blocks of this size and reads its events between them.
    m_grid = fluid_synth_get_internal_bufsize(m_synth.get());
    m_timed = std::make_unique<TimedNotes>(m_grid);
    if (fluid_synth_sfload(m_synth.get(), QFile::encodeName(soundfont).constData(), 1)
        == FLUID_FAILED)
        return QStringLiteral("音色ファイル %1 を読めません").arg(soundfont);
    centreClicks();
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
    return m_rate;
}

// The count-in's wood blocks come panned to one side in the General MIDI
// fonts; the percussion channel's own pan takes their average back to the
// middle, and its volume sets them under the chords. Made here, before any
// rendering, where the synthesiser is still the opening thread's alone.
void FluidSynthOutput::centreClicks()
{
    constexpr int Percussion = chord::PercussionChannel;
    constexpr int MaxVoices = 8;
    float pan = 0;
    int voices = 0;
    for (int note : {chord::AccentClickNote, chord::ClickNote}) {
        fluid_synth_noteon(m_synth.get(), Percussion, note, chord::NoteVelocity);
        std::array<fluid_voice_t *, MaxVoices> list {};
        fluid_synth_get_voicelist(m_synth.get(), list.data(), MaxVoices, -1);
        for (fluid_voice_t *voice : list) {
            if (voice && fluid_voice_get_channel(voice) == Percussion
                && fluid_voice_get_key(voice) == note) {
                pan += fluid_voice_gen_get(voice, GEN_PAN);
                ++voices;
            }
        }
        fluid_synth_all_sounds_off(m_synth.get(), Percussion);
    }
    if (voices > 0)
        fluid_synth_set_gen(m_synth.get(), Percussion, GEN_PAN, -pan / float(voices));
    fluid_synth_cc(m_synth.get(), Percussion, VolumeController, ClickVolume);
}

void FluidSynthOutput::selectProgram(int program)
{
    hand(m_timed->setProgram(chord::ChordChannel, program)
        && m_timed->setProgram(LiveChannel, program));
}

void FluidSynthOutput::noteOn(int note, int velocity)
{
    hand(m_timed->addNow(LiveChannel, note, velocity));
}

void FluidSynthOutput::noteOff(int note)
{
    hand(m_timed->addNow(LiveChannel, note, 0));
}

void FluidSynthOutput::render(std::span<float> left, std::span<float> right)
{
    renderTimed(int(std::min(left.size(), right.size())), left.data(), right.data());
}

int FluidSynthOutput::frameGrid() const
{
    return m_grid;
}

// Whoever follows the clock wants it running: a song playing reads it every
// few milliseconds, and so keeps the output awake between its notes.
std::int64_t FluidSynthOutput::framesPlayed() const
{
    hand(true);
    return m_played.load(std::memory_order_acquire);
}

void FluidSynthOutput::schedule(std::span<const sound::TimedNote> notes)
{
    hand(m_timed->add(notes));
}

void FluidSynthOutput::cancelScheduled()
{
    hand(m_timed->cancel());
}

// Wakes a renderer waiting for something to play. The queue has room for
// far more than a song hands over at once; should it fill all the same, the
// note is left out and said so, rather than the caller waiting.
void FluidSynthOutput::hand(bool handed) const
{
    if (!handed) {
        std::fputs("ソラミナ: 音の受け渡しが追いつかず、音符を落としました\n", stderr);
        std::fflush(stderr);
    }
    m_woken.store(true);
    int idle = Idle;
    if (m_state.compare_exchange_strong(idle, Running))
        m_state.notify_one();
}

// The owner's side stores m_woken before it reads m_state, and this side
// stores m_state before it reads m_woken: one of the two sees the other.
void FluidSynthOutput::idle(int frames)
{
    const bool quiet = !m_woken.exchange(false) && m_timed->isEmpty()
        && fluid_synth_get_active_voice_count(m_synth.get()) == 0;
    m_quietFrames = quiet ? m_quietFrames + frames : 0;
    if (m_quietFrames < std::int64_t(sound::IdleSeconds) * m_rate)
        return;
    m_quietFrames = 0;
    int running = Running;
    if (!m_state.compare_exchange_strong(running, Idle))
        return;
    if (m_woken.load()) {
        int idle = Idle;
        m_state.compare_exchange_strong(idle, Running);
        return;
    }
    m_state.wait(Idle);
}

// On the audio driver's thread. A driver may hand more outputs than the
// two it plays: those stay silent.
int FluidSynthOutput::renderDevice(void *self, int frames, int, float **, int outputs, float **out)
{
    if (outputs < 2)
        return FLUID_FAILED;
    for (int i = 2; i < outputs; ++i)
        std::fill_n(out[i], frames, 0.0f);
    auto *output = static_cast<FluidSynthOutput *>(self);
    output->renderTimed(frames, out[0], out[1]);
    output->idle(frames);
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
        const std::int64_t next = m_timed->playDue(
            frame, [this](const TimedNotes::Command &command) { apply(command); });
        const auto count = int(std::min(end, next) - frame);
        fluid_synth_write_float(m_synth.get(), count, left, 0, 1, right, 0, 1);
        left += count;
        right += count;
        frame += count;
    }
    m_played.store(end, std::memory_order_release);
}

// The notes played at once are left alone by a cancel: it ends the song.
void FluidSynthOutput::apply(const TimedNotes::Command &command)
{
    const sound::TimedNote &note = command.note;
    switch (command.kind) {
    case TimedNotes::Kind::Note:
        if (note.velocity > 0)
            fluid_synth_noteon(m_synth.get(), note.channel, note.note, note.velocity);
        else
            fluid_synth_noteoff(m_synth.get(), note.channel, note.note);
        break;
    case TimedNotes::Kind::Program:
        fluid_synth_program_change(m_synth.get(), note.channel, note.note);
        fluid_synth_cc(m_synth.get(), note.channel, VolumeController, volumeOf(note.note));
        break;
    case TimedNotes::Kind::Cancel:
        for (int channel : {chord::ChordChannel, chord::PercussionChannel})
            fluid_synth_all_notes_off(m_synth.get(), channel);
        break;
    }
}
