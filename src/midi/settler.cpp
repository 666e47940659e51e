#include "settler.h"

#include <algorithm>
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

std::optional<std::int64_t> Settler::dueIn(std::int64_t nowMs) const
{
    if (!m_waiting)
        return std::nullopt;
    return std::max<std::int64_t>(SettleMs - (nowMs - m_changedAt), 0);
}

} // namespace midi
