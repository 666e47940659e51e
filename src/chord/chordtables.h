#pragma once

#include <array>
#include <optional>
#include <string_view>

// The chord names the program knows. Both tables are matched against the
// whole text, exactly and case-sensitively: "bb", " G" or "＃" name nothing.
namespace chord
{

struct RootRow {
    std::string_view text;
    int pitchClass; // 0 = C ... 11 = B
};

// The first twelve rows are the captions of the root buttons, in order;
// the five flat spellings arrive only by typing or from the memo.
inline constexpr std::array<RootRow, 17> ChordRoot {{
    {"C", 0},
    {"C#", 1},
    {"D", 2},
    {"D#", 3},
    {"E", 4},
    {"F", 5},
    {"F#", 6},
    {"G", 7},
    {"G#", 8},
    {"A", 9},
    {"A#", 10},
    {"B", 11},
    {"Db", 1},
    {"Eb", 3},
    {"Gb", 6},
    {"Ab", 8},
    {"Bb", 10},
}};

// The root buttons stand in pitch-class order, so a root's pitch class is
// also the index of its button; a flat has its sharp's button.
inline constexpr int RootButtonCount = 12;
static_assert([] {
    for (int i = 0; i < RootButtonCount; ++i) {
        if (ChordRoot[i].pitchClass != i)
            return false;
    }
    return true;
}());

// Root text of a pitch class (0 to 11): the root button's caption, which
// spells a black key with a sharp, or with flat the table's flat spelling.
// A white key has one spelling either way.
constexpr std::string_view rootText(int pitchClass, bool flat = false) noexcept
{
    if (flat) {
        for (std::size_t i = RootButtonCount; i < ChordRoot.size(); ++i) {
            if (ChordRoot[i].pitchClass == pitchClass)
                return ChordRoot[i].text;
        }
    }
    return ChordRoot[std::size_t(pitchClass)].text;
}

struct KindRow {
    std::string_view text;
    std::array<int, 3> offsets; // semitones above the root for notes 1, 2 and 3
};

// The rows are the captions of the kind buttons, in order. A three-note kind
// puts its fourth note on the root again (offset 0); the display hides it.
// add9 keeps its third: without it the chord would be a sus2.
inline constexpr std::array<KindRow, 14> ChordKind {{
    {"", {4, 7, 0}},
    {"m", {3, 7, 0}},
    {"7", {4, 7, 10}},
    {"m7", {3, 7, 10}},
    {"M7", {4, 7, 11}},
    {"dim", {3, 6, 9}},
    {"m7-5", {3, 6, 10}},
    {"aug", {4, 8, 0}},
    {"sus4", {5, 7, 0}},
    {"7sus4", {5, 7, 10}},
    {"6", {4, 7, 9}},
    {"add9", {4, 7, 2}}, // the ninth folded into the root's octave, under the third
    {"m6", {3, 7, 9}},
    {"mM7", {3, 7, 11}},
}};

// Pitch class of a root text, or nothing when the text names no root.
// The empty text is not a root.
std::optional<int> lookupRoot(std::string_view text) noexcept;

// Offsets of a kind text, or nothing when the text names no kind.
// The empty text is the major chord.
std::optional<std::array<int, 3>> lookupKind(std::string_view text) noexcept;

// Row of a kind text in ChordKind, which is the index of the kind button with
// that caption; nothing when the text names no kind.
std::optional<int> kindIndex(std::string_view text) noexcept;

} // namespace chord
