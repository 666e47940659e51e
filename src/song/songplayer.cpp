#include "songplayer.h"

#include "midinotes.h"
#include "soundoutput.h"

#include <memory>
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
    case EventType::NoteOn: return {frame, chord::ChordChannel, event.note, event.velocity};
    case EventType::NoteOff: return {frame, chord::ChordChannel, event.note, 0};
    case EventType::Click:
    case EventType::BarStart: break;
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

SongPlayer::SongSource SongPlayer::sourceOf(Song song)
{
    const auto kept = std::make_shared<const Song>(std::move(song));
    return {kept->tempo, kept->beatsPerBar, [kept] { return int(kept->bars.size()); },
        [kept](int bar) { return kept->bars[std::size_t(bar)]; },
        [kept](int bar) { return kept->bars[std::size_t(bar)].beats; }};
}

SongPlayer::SongSource SongPlayer::memoSource(
    const memo::ChordMemo &memo, int tempo, int beatsPerBar)
{
    return {tempo, beatsPerBar, [&memo] { return songLength(memo); },
        [&memo](int bar) { return memoBar(memo, bar); }, {}};
}

SongPlayer::~SongPlayer()
{
    if (m_output)
        m_output->cancelScheduled();
}

void SongPlayer::start(sound::SoundOutput &output, SongSource source, PlayOptions options)
{
    stop();
    m_source = std::move(source);
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

Schedule SongPlayer::currentSchedule() const
{
    const int count = m_source.barCount();
    if (!m_source.beats)
        return Schedule(m_source.tempo, m_source.beatsPerBar, count, m_options);
    std::vector<int> lengths(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k)
        lengths[std::size_t(k)] = m_source.beats(k);
    return Schedule(m_source.tempo, m_source.beatsPerBar, lengths, m_options);
}

// Each slot is worked out from the song's length as it is now, at the tempo
// and meter it started with, so that the bar lines stay where they were; a
// bar is read only when its notes are handed over.
void SongPlayer::advance()
{
    const Schedule schedule = currentSchedule();
    const std::int64_t now = m_output->framesPlayed() - m_origin;
    const std::int64_t ahead = now + framesOf(LookaheadMs, m_options.sampleRate);

    for (std::optional<int> bar;
         (bar = schedule.barAt(m_handedOver)) && schedule.slotStart(m_handedOver) <= ahead;
         ++m_handedOver) {
        const Bar played = *bar == CountInBar ? Bar {} : m_source.bar(*bar);
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
