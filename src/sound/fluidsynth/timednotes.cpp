#include "timednotes.h"

#include <algorithm>

namespace
{
// Room for several bars of chords and clicks: the renderer then never waits
// on an allocation made under the lock it takes.
constexpr std::size_t ReservedNotes = 1024;
} // namespace

TimedNotes::TimedNotes(int grid)
    : m_grid(std::max(1, grid))
{
    m_notes.reserve(ReservedNotes);
}

void TimedNotes::add(std::span<const sound::TimedNote> notes)
{
    const std::lock_guard lock(m_mutex);
    for (sound::TimedNote note : notes) {
        note.frame = std::max<std::int64_t>(0, (note.frame + m_grid / 2) / m_grid * m_grid);
        const auto later = std::upper_bound(m_notes.begin(), m_notes.end(), note.frame,
            [](std::int64_t frame, const sound::TimedNote &n) { return frame < n.frame; });
        m_notes.insert(later, note);
    }
}
