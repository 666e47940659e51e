#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// Waits for the held notes to stand still before they are named, so a rolled
// chord or a hand landing a little unevenly is named once, not through each
// of its parts. Time comes from the caller, in milliseconds.
namespace midi
{

inline constexpr int SettleMs = 50;

class Settler
{
public:
    void change(std::vector<int> notes, std::int64_t nowMs);

    // The notes, once they have stood still for SettleMs; each change is
    // given at most once.
    std::optional<std::vector<int>> take(std::int64_t nowMs);
    // While notes wait to be given, how long until they are due (0 once
    // they are); nothing when none wait.
    std::optional<std::int64_t> dueIn(std::int64_t nowMs) const;

private:
    std::vector<int> m_notes;
    std::int64_t m_changedAt = 0;
    bool m_waiting = false;
};

} // namespace midi
