#include "transpose.h"

#include "chordtables.h"

#include <algorithm>
#include <array>

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

constexpr int Fifth = 7; // semitones: one more sharp in the key signature
constexpr int MostAccidentals = 7;
constexpr int MinorToRelativeMajor = 3;
constexpr int Ambiguous = 99; // F#/Gb: six sharps or six flats

// Sharps (positive) or flats of the major key on each pitch class.
constexpr std::array<int, PitchClasses> MajorKeySignature {
    0, -5, 2, -3, 4, -1, Ambiguous, 1, -4, 3, -2, 5};

int pitchOf(int value)
{
    return (value % PitchClasses + PitchClasses) % PitchClasses;
}

// Whether a pitch class is one of the seven of a key signature's scale.
bool inSignature(int pitchClass, int fifths)
{
    // The scale's notes are the signature's seven fifths, from its IV up.
    for (int step = -1; step < 6; ++step) {
        if (pitchOf((fifths + step) * Fifth) == pitchClass)
            return true;
    }
    return false;
}

// The major tonic of the key signature that spells most of the roots without
// accidentals, of those the one with the fewest; nothing when no root is
// known.
std::optional<int> majorTonicOf(const std::vector<std::string> &roots)
{
    std::vector<int> pitches;
    for (const std::string &root : roots) {
        if (const auto pitch = lookupRoot(root))
            pitches.push_back(*pitch);
    }
    if (pitches.empty())
        return std::nullopt;
    const auto fits = [&](int fifths) {
        return std::ranges::count_if(pitches, [&](int p) { return inSignature(p, fifths); });
    };
    int best = 0;
    for (int fifths = -MostAccidentals; fifths <= MostAccidentals; ++fifths) {
        if (fits(fifths) > fits(best)
            || (fits(fifths) == fits(best) && std::abs(fifths) < std::abs(best)))
            best = fifths;
    }
    return pitchOf(best * Fifth);
}
} // namespace

Spelling keySpelling(
    const std::vector<std::string> &roots, int semitones, Spelling spelling, std::optional<Key> key)
{
    if (spelling != Spelling::Auto)
        return spelling;
    const Spelling byDirection = semitones < 0 ? Spelling::Flat : Spelling::Sharp;
    const std::optional<int> tonic
        = key ? pitchOf(key->tonic + (key->minor ? MinorToRelativeMajor : 0)) : majorTonicOf(roots);
    if (!tonic)
        return byDirection;
    const int landing = MajorKeySignature[std::size_t(pitchOf(*tonic + semitones))];
    if (landing == 0 || landing == Ambiguous)
        return byDirection;
    return landing < 0 ? Spelling::Flat : Spelling::Sharp;
}

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
