#include "schedule.h"

#include "midinotes.h"

#include <algorithm>

namespace song
{

namespace
{
constexpr std::int64_t SecondsPerMinute = 60;
}

namespace
{
std::vector<int> lengthsOf(const Song &song)
{
    std::vector<int> lengths;
    for (const Bar &bar : song.bars)
        lengths.push_back(bar.beats);
    return lengths;
}
} // namespace

Schedule::Schedule(const Song &song, const PlayOptions &options)
    : Schedule(song.tempo, song.beatsPerBar, lengthsOf(song), options)
{
}

Schedule::Schedule(int tempo, int beatsPerBar, int barCount, const PlayOptions &options)
    : m_tempo(tempo)
    , m_beatsPerBar(beatsPerBar)
    , m_barCount(barCount)
    , m_options(options)
{
    m_options.firstBar = std::clamp(m_options.firstBar, 0, std::max(0, m_barCount - 1));
}

Schedule::Schedule(
    int tempo, int beatsPerBar, const std::vector<int> &lengths, const PlayOptions &options)
    : Schedule(tempo, beatsPerBar, int(lengths.size()), options)
{
    // Songs of whole bars, every memo's among them, need no table.
    if (std::ranges::all_of(lengths, [beatsPerBar](int l) { return l == 0 || l == beatsPerBar; }))
        return;
    m_starts.push_back(0);
    for (const int length : lengths)
        m_starts.push_back(m_starts.back() + (length > 0 ? length : beatsPerBar));
}

std::int64_t Schedule::beatStart(std::int64_t beat) const
{
    // beat × rate × 60 / tempo, rounded to the nearest sample in whole numbers
    const std::int64_t twice = 2 * beat * m_options.sampleRate * SecondsPerMinute;
    return (twice + m_tempo) / (2 * m_tempo);
}

std::int64_t Schedule::chordBeat(std::int64_t chord) const
{
    return m_starts.empty() ? chord * m_beatsPerBar : m_starts[std::size_t(chord)];
}

std::int64_t Schedule::slotBeat(std::int64_t slot) const
{
    const std::int64_t counted = m_options.countIn ? 1 : 0;
    if (slot < counted || m_barCount == 0)
        return slot * m_beatsPerBar;
    const std::int64_t countIn = counted * m_beatsPerBar;
    const std::int64_t played = slot - counted; // slots since the first chord
    const std::int64_t from = m_options.firstBar;
    const std::int64_t chords = m_barCount - from;
    // Past the end when not looping: where the song ends, and on in bars.
    const std::int64_t rounds
        = m_options.loop ? played / chords : std::min<std::int64_t>(played / chords, 1);
    const std::int64_t within = m_options.loop ? played % chords : played - rounds * chords;
    const std::int64_t round = chordBeat(m_barCount) - chordBeat(from);
    if (!m_options.loop && rounds > 0)
        return countIn + round + within * m_beatsPerBar;
    return countIn + rounds * round + chordBeat(from + within) - chordBeat(from);
}

std::int64_t Schedule::slotStart(std::int64_t slot) const
{
    return beatStart(slotBeat(slot));
}

std::int64_t Schedule::slotCount() const
{
    if (m_barCount == 0)
        return 0;
    return (m_options.countIn ? 1 : 0) + m_barCount - m_options.firstBar;
}

std::optional<int> Schedule::barAt(std::int64_t slot) const
{
    if (m_barCount == 0 || slot < 0)
        return std::nullopt;
    const std::int64_t counted = m_options.countIn ? 1 : 0;
    if (slot < counted)
        return CountInBar;
    const std::int64_t bar = m_options.firstBar + slot - counted;
    // Round again from where playing started, not from the song's start.
    if (m_options.loop)
        return m_options.firstBar + int((slot - counted) % (m_barCount - m_options.firstBar));
    if (bar >= m_barCount)
        return std::nullopt;
    return int(bar);
}

std::vector<Event> Schedule::slotEvents(std::int64_t slot, const Bar &bar) const
{
    const std::optional<int> index = barAt(slot);
    if (!index)
        return {};
    const std::int64_t start = slotStart(slot);
    std::vector<Event> events {{start, EventType::BarStart, *index}};
    if (*index == CountInBar) {
        for (int beat = 0; beat < m_beatsPerBar; ++beat)
            events.push_back({beatStart(slot * m_beatsPerBar + beat), EventType::Click, CountInBar,
                0, beat == 0 ? AccentVelocity : ClickVelocity});
        return events;
    }
    const std::int64_t end = slotStart(slot + 1);
    for (const int note : bar.notes)
        events.push_back({start, EventType::NoteOn, *index, note, chord::NoteVelocity});
    for (const int note : bar.notes)
        events.push_back({end, EventType::NoteOff, *index, note});
    return events;
}

std::vector<Event> Schedule::events(const Song &song) const
{
    std::vector<Event> all;
    const Bar none;
    for (std::int64_t slot = 0; slot < slotCount(); ++slot) {
        const int index = *barAt(slot);
        const std::vector<Event> events
            = slotEvents(slot, index == CountInBar ? none : song.bars[std::size_t(index)]);
        all.insert(all.end(), events.begin(), events.end());
    }
    std::ranges::stable_sort(all, [](const Event &a, const Event &b) {
        return a.sample < b.sample || (a.sample == b.sample && a.type < b.type);
    });
    return all;
}

} // namespace song
