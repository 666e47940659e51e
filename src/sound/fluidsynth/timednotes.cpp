#include "timednotes.h"

#include <algorithm>

TimedNotes::TimedNotes(int grid)
    : m_grid(std::max(1, grid))
{
    m_waiting.reserve(WaitingSize);
}

bool TimedNotes::add(std::span<const sound::TimedNote> notes)
{
    bool all = true;
    for (sound::TimedNote note : notes) {
        note.frame = std::max<std::int64_t>(0, (note.frame + m_grid / 2) / m_grid * m_grid);
        all = push({Kind::Note, note}) && all;
    }
    return all;
}

// Frame 0 has always passed: the note plays as the next render begins.
bool TimedNotes::addNow(int channel, int note, int velocity)
{
    return push({Kind::Note, {0, channel, note, velocity}});
}

bool TimedNotes::setProgram(int channel, int program)
{
    return push({Kind::Program, {0, channel, program, 0}});
}

bool TimedNotes::cancel()
{
    return push({Kind::Cancel, {}});
}

bool TimedNotes::push(const Command &command)
{
    const std::size_t written = m_written.load(std::memory_order_relaxed);
    if (written - m_read.load(std::memory_order_acquire) == QueueSize)
        return false;
    m_queue[written % QueueSize] = command;
    m_written.store(written + 1, std::memory_order_release);
    return true;
}

// Within the reserved room the insertion never allocates; past it the note
// is dropped rather than the renderer waiting on the heap.
void TimedNotes::wait(const sound::TimedNote &note)
{
    if (m_waiting.size() == WaitingSize)
        return;
    const auto later = std::upper_bound(m_waiting.begin(), m_waiting.end(), note.frame,
        [](std::int64_t frame, const sound::TimedNote &n) { return frame < n.frame; });
    m_waiting.insert(later, note);
}
