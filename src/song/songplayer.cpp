#include "songplayer.h"

#include "midinotes.h"
#include "soundoutput.h"

#include <vector>

namespace song
{

namespace
{
std::int64_t framesOf(int ms, int sampleRate)
{
    return std::int64_t(ms) * sampleRate / 1000;
}

sound::TimedNote timedNote(const Event &event, std::int64_t origin)
{
    const std::int64_t frame = origin + event.sample;
    switch (event.type) {
    case EventType::NoteOn:
        return {frame, chord::ChordChannel, event.note, event.velocity};
    case EventType::NoteOff:
        return {frame, chord::ChordChannel, event.note, 0};
    case EventType::Click:
    case EventType::BarStart:
        break;
    }
    const bool accent = event.velocity == AccentVelocity;
    return {frame, chord::PercussionChannel, accent ? chord::AccentClickNote : chord::ClickNote,
        event.velocity};
}
} // namespace

SongPlayer::SongPlayer(QObject *parent)
    : QObject(parent)
{
    m_follow.setTimerType(Qt::PreciseTimer);
    m_follow.setInterval(FollowMs);
    connect(&m_follow, &QTimer::timeout, this, &SongPlayer::advance);
}

SongPlayer::~SongPlayer()
{
    if (m_output)
        m_output->cancelScheduled();
}

void SongPlayer::start(sound::SoundOutput &output, SongSource source, PlayOptions options)
{
    stop();
    const Song song = source();
    m_source = std::move(source);
    m_tempo = song.tempo;
    m_beatsPerBar = song.beatsPerBar;
    m_options = options;
    m_options.sampleRate = output.sampleRate();
    m_output = &output;
    m_origin = output.framesPlayed() + framesOf(StartDelayMs, m_options.sampleRate);
    m_handedOver = 0;
    m_announced = 0;
    m_follow.start();
    advance();
}

void SongPlayer::stop()
{
    if (!m_output)
        return;
    m_output->cancelScheduled();
    finish();
}

void SongPlayer::finish()
{
    m_follow.stop();
    m_output = nullptr;
    emit stopped();
}

// Each slot is worked out from the song as it is now, at the tempo and meter
// it started with, so that the bar lines stay where they were.
void SongPlayer::advance()
{
    Song song = m_source();
    song.tempo = m_tempo;
    song.beatsPerBar = m_beatsPerBar;
    const Schedule schedule(song, m_options);
    const std::int64_t now = m_output->framesPlayed() - m_origin;
    const std::int64_t ahead = now + framesOf(LookaheadMs, m_options.sampleRate);

    for (std::optional<int> bar; (bar = schedule.barAt(m_handedOver))
         && schedule.slotStart(m_handedOver) <= ahead;
         ++m_handedOver) {
        const Bar none;
        const Bar &played = *bar == CountInBar ? none : song.bars[std::size_t(*bar)];
        std::vector<sound::TimedNote> notes;
        for (const Event &event : schedule.slotEvents(m_handedOver, played)) {
            if (event.type != EventType::BarStart)
                notes.push_back(timedNote(event, m_origin));
        }
        m_output->schedule(notes);
    }

    for (; m_announced < m_handedOver && schedule.slotStart(m_announced) <= now; ++m_announced) {
        const std::optional<int> bar = schedule.barAt(m_announced);
        if (!bar)
            break;
        emit barStarted(*bar);
        if (!m_output)
            return; // stopped by whoever heard it
    }

    // Past the last bar: its notes have been let go on its end line.
    if (!schedule.barAt(m_handedOver) && now >= schedule.slotStart(m_handedOver))
        finish();
}

} // namespace song
