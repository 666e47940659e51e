#include "degree.h"

namespace chord
{

namespace
{

enum class Sign { None, Flat, Sharp };

struct DegreeOfInterval {
    int numeral; // 0 = Ⅰ ... 6 = Ⅶ
    Sign sign;
};

// Semitones above the tonic to degrees: the major scale's own, the usual
// flat ones, and the tritone as ♯Ⅳ.
constexpr std::array<DegreeOfInterval, PitchClassCount> Degrees {{
    {0, Sign::None},
    {1, Sign::Flat},
    {1, Sign::None},
    {2, Sign::Flat},
    {2, Sign::None},
    {3, Sign::None},
    {3, Sign::Sharp},
    {4, Sign::None},
    {5, Sign::Flat},
    {5, Sign::None},
    {6, Sign::Flat},
    {6, Sign::None},
}};

constexpr std::array<std::string_view, DegreeCount> RomanNumerals {
    "Ⅰ", "Ⅱ", "Ⅲ", "Ⅳ", "Ⅴ", "Ⅵ", "Ⅶ"};
constexpr std::array<std::string_view, DegreeCount> AsciiNumerals {
    "I", "II", "III", "IV", "V", "VI", "VII"};

struct Scale {
    std::array<int, DegreeCount> intervals;
    std::array<std::string_view, DegreeCount> triads;
    std::array<std::string_view, DegreeCount> sevenths;
};

constexpr Scale MajorChords {
    {0, 2, 4, 5, 7, 9, 11},
    {"", "m", "m", "", "", "m", "m7-5"},
    {"M7", "m7", "m7", "M7", "7", "m7", "m7-5"},
};
constexpr Scale MinorChords {
    {0, 2, 3, 5, 7, 8, 10},
    {"m", "m7-5", "", "m", "", "", ""},
    {"m7", "m7-5", "M7", "m7", "7", "M7", "7"},
};

KeyChords chordsOfKey(Key key, const std::array<std::string_view, DegreeCount> Scale::*kinds)
{
    const Scale &scale = key.minor ? MinorChords : MajorChords;
    KeyChords chords;
    for (int i = 0; i < DegreeCount; ++i) {
        const int root = (key.tonic + scale.intervals[i]) % PitchClassCount;
        chords[i] = {rootInKey(root, key), (scale.*kinds)[i]};
    }
    return chords;
}

} // namespace

std::string degreeName(NamedChord chord, Key key, DegreeStyle style)
{
    const auto root = lookupRoot(chord.root);
    if (!root || !kindIndex(chord.kind))
        return {};
    const DegreeOfInterval degree
        = Degrees[(*root - key.tonic + PitchClassCount) % PitchClassCount];
    const bool roman = style == DegreeStyle::Roman;
    std::string name;
    if (degree.sign == Sign::Flat)
        name = roman ? "♭" : "b";
    else if (degree.sign == Sign::Sharp)
        name = roman ? "♯" : "#";
    name += (roman ? RomanNumerals : AsciiNumerals)[degree.numeral];
    name += chord.kind;
    return name;
}

std::string_view shapeRoot(std::string_view soundingRoot, int capo, Key key)
{
    const auto root = lookupRoot(soundingRoot);
    if (!root)
        return {};
    const int tonic = pitchClassOf(key.tonic - capo);
    const int shape = pitchClassOf(*root - capo);
    const Sign sign = Degrees[pitchClassOf(shape - tonic)].sign;
    const bool flats
        = sign == Sign::None ? spellsWithFlats(Key {tonic, false}) : sign == Sign::Flat;
    return rootText(shape, flats);
}

KeyChords keyTriads(Key key)
{
    return chordsOfKey(key, &Scale::triads);
}

KeyChords keySevenths(Key key)
{
    return chordsOfKey(key, &Scale::sevenths);
}

} // namespace chord
