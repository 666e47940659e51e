#include "settler.h"

#include <utility>

namespace midi
{

void Settler::change(std::vector<int> notes, std::int64_t nowMs)
{
    m_notes = std::move(notes);
    m_changedAt = nowMs;
    m_waiting = true;
}

std::optional<std::vector<int>> Settler::take(std::int64_t nowMs)
{
    if (!m_waiting || nowMs - m_changedAt < SettleMs)
        return std::nullopt;
    m_waiting = false;
    return m_notes;
}

} // namespace midi
