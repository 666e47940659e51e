#pragma once

#include "chordtables.h"

#include <optional>
#include <string>
#include <string_view>

// The key of a song: a tonic and a mode. Its signature decides how the
// black keys are spelled in it.
namespace chord
{

struct Key {
    int tonic = 0; // pitch class, 0 = C ... 11 = B
    bool minor = false;
    friend bool operator==(const Key &, const Key &) = default;
};

// A chord as the memo holds it: a root text and a kind text of the tables.
struct NamedChord {
    std::string_view root;
    std::string_view kind;
};

inline constexpr int PitchClassCount = 12;
inline constexpr int MinorThird = 3;
// A capo sits on fret 0 (none) to 11; on fret 12 it would sound the same keys.
inline constexpr int MaxCapo = 11;

// The pitch class, 0 to 11, of a number of semitones above C, either way.
constexpr int pitchClassOf(int semitones) noexcept
{
    return (semitones % PitchClassCount + PitchClassCount) % PitchClassCount;
}

// The key moved by a number of semitones, either way, as 移調 moves its chords.
constexpr Key movedKey(Key key, int semitones) noexcept
{
    key.tonic = pitchClassOf(key.tonic + semitones);
    return key;
}

// True when the key's signature has flats: F, Bb, Eb, Ab, Db and Gb major
// and their relative minors. Six accidentals are taken as flats (Gb, Ebm).
// C and A minor have none, and spell a black key as the root buttons do,
// with a sharp.
constexpr bool spellsWithFlats(Key key) noexcept
{
    const int major = (key.tonic + (key.minor ? MinorThird : 0)) % PitchClassCount;
    return major == 1 || major == 3 || major == 5 || major == 6 || major == 8 || major == 10;
}

// The root text of a pitch class (0 to 11) as written in the key: in F and
// D minor, 10 is "Bb". The tables have no Cb, E#, B# or Fb, so a note the
// signature would spell so keeps its natural name ("B" in Gb).
constexpr std::string_view rootInKey(int pitchClass, Key key) noexcept
{
    return rootText(pitchClass, spellsWithFlats(key));
}

// The key as a key signature names it: "F", "Bb", "Gb", "F#m", "Ebm".
std::string keyName(Key key);

// A key as written on the command line or in a song file: a root of the
// chord tables ("G", "Bb", "F#", "Db"), then "m" for minor; blanks around it
// are allowed. Nothing for any other text, "auto" included.
std::optional<Key> parseKey(std::string_view text) noexcept;

} // namespace chord
