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
    BarStart, // a bar (or the count-in) begins: the window marks its box
    Click, // a count-in beat
    NoteOn,
};

inline constexpr int CountInBar = -1; // the bar of an event of the count-in
inline constexpr int ClickVelocity = 80;
inline constexpr int AccentVelocity = 127; // the count-in's first click

struct Event {
    std::int64_t sample;
    EventType type;
    int bar; // the song's bar, which is its memo box, or CountInBar
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
// the offline render and live playback share. Playback is a row of slots of
// one bar each: the count-in when asked, then the bars from the first on.
// Each slot starts at a sample worked out from its index alone, so bar lines
// never drift however long a loop plays.
class Schedule
{
public:
    // Takes the song's tempo, meter and length, not its chords: those are
    // read bar by bar when each comes.
    Schedule(const Song &song, const PlayOptions &options);
    Schedule(int tempo, int beatsPerBar, int barCount, const PlayOptions &options);

    // The bar a slot plays, CountInBar, or nothing once playback has ended.
    std::optional<int> barAt(std::int64_t slot) const;
    std::int64_t slotStart(std::int64_t slot) const;
    // Slots from the start to the last bar (the first time round when looping).
    std::int64_t slotCount() const;
    std::int64_t endSample() const { return slotStart(slotCount()); }

    // One slot's events, the bar being what its box holds when the slot
    // comes: its start, and a known chord struck on the bar line and let go
    // at the next (or the count-in's clicks). Nothing for a slot past the end.
    std::vector<Event> slotEvents(std::int64_t slot, const Bar &bar) const;
    // Every slot's events in order, up to slotCount().
    std::vector<Event> events(const Song &song) const;

private:
    std::int64_t beatStart(std::int64_t beat) const;

    int m_tempo;
    int m_beatsPerBar;
    int m_barCount;
    PlayOptions m_options;
};

} // namespace song
