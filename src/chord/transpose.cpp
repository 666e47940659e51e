#include "transpose.h"

#include "chordtables.h"

#include <algorithm>

namespace chord
{

namespace
{
constexpr int PitchClasses = 12;
constexpr int LargestTransposition = 11;
constexpr std::size_t MostDigits = 2;
constexpr int Decimal = 10;
constexpr char SharpSuffix = 's';
constexpr char FlatSuffix = 'f';
} // namespace

std::string transposeRoot(std::string_view root, int semitones, Spelling spelling)
{
    const int move = semitones % PitchClasses;
    const auto from = lookupRoot(root);
    if (move == 0 || !from)
        return std::string(root);
    const int to = (*from + move + PitchClasses) % PitchClasses;
    const bool flat = spelling == Spelling::Flat || (spelling == Spelling::Auto && move < 0);
    return std::string(rootText(to, flat));
}

std::optional<Transposition> parseTransposition(std::string_view text) noexcept
{
    Transposition result;
    if (text.ends_with(SharpSuffix) || text.ends_with(FlatSuffix)) {
        result.spelling = text.back() == SharpSuffix ? Spelling::Sharp : Spelling::Flat;
        text.remove_suffix(1);
    }
    bool negative = false;
    if (text.starts_with('+') || text.starts_with('-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (text.empty() || text.size() > MostDigits || !std::ranges::all_of(text, isDigit))
        return std::nullopt;
    int value = 0;
    for (const char digit : text)
        value = value * Decimal + (digit - '0');
    if (value > LargestTransposition)
        return std::nullopt;
    result.semitones = negative ? -value : value;
    return result;
}

} // namespace chord
