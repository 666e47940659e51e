#pragma once

#include "song.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace song
{

// What happens at one sample of playback. At one sample, events come in this
// order: the chord ending lets go before the next one strikes.
enum class EventType {
    NoteOff,
    BarStart, // a chord (or the count-in) begins: the window marks its box
    Click, // a count-in beat
    NoteOn,
};

inline constexpr int CountInBar = -1; // the bar of an event of the count-in
inline constexpr int ClickVelocity = 80;
inline constexpr int AccentVelocity = 127; // the count-in's first click

struct Event {
    std::int64_t sample;
    EventType type;
    int bar; // the song's chord, which is its box, or CountInBar
    int note = 0; // NoteOn and NoteOff: the MIDI note
    int velocity = 0; // NoteOn and Click
    friend bool operator==(const Event &, const Event &) = default;
};

struct PlayOptions {
    int sampleRate = 0;
    int firstBar = 0; // where playback starts
    bool countIn = false; // one bar of clicks before the first bar
    bool loop = false; // after the last bar, firstBar again, without end
};

// When a song's events sound, in samples from the start of playback, which
// the offline render and live playback share. Playback is a row of slots:
// the count-in (one bar) when asked, then the chords from the first on, each
// as long as it lasts. Each slot starts at a sample worked out from the beat
// it starts on alone, so bar lines never drift however long a loop plays.
class Schedule
{
public:
    // Takes the song's tempo, meter and lengths, not its chords: those are
    // read chord by chord when each comes.
    Schedule(const Song &song, const PlayOptions &options);
    // Chords of a whole bar each, as a memo's are.
    Schedule(int tempo, int beatsPerBar, int barCount, const PlayOptions &options);
    // Chords of the lengths given, in beats (0: a whole bar).
    Schedule(
        int tempo, int beatsPerBar, const std::vector<int> &lengths, const PlayOptions &options);

    // The chord a slot plays, CountInBar, or nothing once playback has ended.
    std::optional<int> barAt(std::int64_t slot) const;
    std::int64_t slotStart(std::int64_t slot) const;
    // Slots from the start to the last chord (the first time round when looping).
    std::int64_t slotCount() const;
    std::int64_t endSample() const { return slotStart(slotCount()); }

    // One slot's events, the chord being what its box holds when the slot
    // comes: its start, and a known chord struck when it begins and let go
    // when the next does (or the count-in's clicks). Nothing for a slot past
    // the end.
    std::vector<Event> slotEvents(std::int64_t slot, const Bar &bar) const;
    // Every slot's events in order, up to slotCount().
    std::vector<Event> events(const Song &song) const;

private:
    std::int64_t beatStart(std::int64_t beat) const;
    // The beat a chord starts on, from the song's start; barCount: its end.
    std::int64_t chordBeat(std::int64_t chord) const;
    std::int64_t slotBeat(std::int64_t slot) const;

    int m_tempo;
    int m_beatsPerBar;
    int m_barCount;
    PlayOptions m_options;
    std::vector<std::int64_t> m_starts; // chordBeat() of each and the end; empty: whole bars
};

} // namespace song
