#include "chordtables.h"

#include <algorithm>

namespace chord
{

std::optional<int> lookupRoot(std::string_view text) noexcept
{
    const auto row = std::ranges::find(ChordRoot, text, &RootRow::text);
    if (row == ChordRoot.end())
        return std::nullopt;
    return row->pitchClass;
}

std::optional<int> kindIndex(std::string_view text) noexcept
{
    const auto row = std::ranges::find(ChordKind, text, &KindRow::text);
    if (row == ChordKind.end())
        return std::nullopt;
    return int(row - ChordKind.begin());
}

std::optional<std::array<int, 3>> lookupKind(std::string_view text) noexcept
{
    const auto row = kindIndex(text);
    if (!row)
        return std::nullopt;
    return ChordKind[*row].offsets;
}

} // namespace chord
