#pragma once

#include "soundoutput.h"

#include <cstdint>
#include <limits>
#include <mutex>
#include <span>
#include <vector>

// The timed notes not yet played, in the order they fall due, each moved to
// the nearest line of the synthesiser's frame grid. Filled from any thread,
// emptied by the one that renders.
class TimedNotes
{
public:
    static constexpr std::int64_t Never = std::numeric_limits<std::int64_t>::max();

    explicit TimedNotes(int grid);

    // Notes due at one frame keep the order they were given in, so that a
    // chord let go and struck again on the same line ends before it starts.
    void add(std::span<const sound::TimedNote> notes);

    // Plays every note due by the frame and returns the frame of the next
    // one, or Never. Played under the lock: a cancel() cannot slip in between
    // a note being taken and it sounding.
    template<typename Play> std::int64_t playDue(std::int64_t frame, Play play)
    {
        const std::lock_guard lock(m_mutex);
        auto due = m_notes.begin();
        for (; due != m_notes.end() && due->frame <= frame; ++due)
            play(*due);
        m_notes.erase(m_notes.begin(), due);
        return m_notes.empty() ? Never : m_notes.front().frame;
    }

    // Drops every note and then, under the same lock, lets go of what sounds.
    template<typename LetGo> void cancel(LetGo letGo)
    {
        const std::lock_guard lock(m_mutex);
        m_notes.clear();
        letGo();
    }

private:
    const std::int64_t m_grid;
    std::mutex m_mutex;
    std::vector<sound::TimedNote> m_notes; // sorted by frame
};
