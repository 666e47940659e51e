#pragma once

#include "keyboardgeometry.h"

#include <array>
#include <string_view>
#include <vector>

// Where the four chord markers go on the two-octave keyboard, in twips.
namespace chord
{

inline constexpr int MarkerCount = 4;

// Lengths in twips, as the keyboard drawing lays its keys out.
inline constexpr int TwipsPerKeyPosition = WhiteKeyWidth / 2;
inline constexpr int KeyboardLeftMargin = 240;
inline constexpr int WhiteKeyMarkerTop = 5760; // below the ends of the black keys
inline constexpr int BlackKeyMarkerTop = 5040; // inside a black key
inline constexpr int BlackKeyShift = 60; // to the middle of C#, D#, F# and A#
inline constexpr int HiddenMarkerLeft = -1000; // beyond the window's left edge

struct MarkerPlace {
    int left;
    int top;
    friend bool operator==(const MarkerPlace &, const MarkerPlace &) = default;
};

struct ChordPlacement {
    std::array<int, MarkerCount> notes {}; // semitones above the lowest C
    std::array<int, MarkerCount> keyPositions {}; // in half white keys from the left end
    std::array<MarkerPlace, MarkerCount> markers {};
    bool rootRecognised = false;
    bool kindRecognised = false;
};

// Key position of a semitone: white keys even, black keys odd, with the
// gaps between E-F and B-C skipped.
constexpr int keyPosition(int semitone) noexcept
{
    int p = semitone;
    if (p > 4)
        ++p;
    if (p > 12)
        ++p;
    if (p > 18)
        ++p;
    return p;
}

// Marker place on the key at a key position, centred across black keys.
constexpr MarkerPlace markerPlace(int position) noexcept
{
    const bool black = position % 2 != 0;
    int left = TwipsPerKeyPosition * position + KeyboardLeftMargin;
    switch (position) {
    case 1:
    case 7:
    case 15:
    case 21: // C# and F#
        left -= BlackKeyShift;
        break;
    case 3:
    case 11:
    case 17:
    case 25: // D# and A#
        left += BlackKeyShift;
        break;
    default: break;
    }
    return {left, black ? BlackKeyMarkerTop : WhiteKeyMarkerTop};
}

// The whole display of a chord named by two texts (UTF-8 from the window).
// An unknown root counts as C, an unknown kind as three offsets of 0; the
// fourth marker is hidden when it stands on the root's key.
ChordPlacement placeChord(std::string_view rootText, std::string_view kindText) noexcept;

// The chord's different notes, low to high, in semitones above the lowest C:
// what is played when it is heard. Nothing for a chord whose root or kind is
// not recognised.
std::vector<int> soundingNotes(const ChordPlacement &placement);

} // namespace chord
