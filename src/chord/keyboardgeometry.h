#pragma once

#include <array>
#include <string_view>

// The two-octave keyboard, lower C to upper B, in twips, as the window draws
// it and the chord sheet draws it again: one drawing, named once.
namespace chord
{

// The outline; the key lines stand on these edges.
inline constexpr int KeyboardLeft = 120;
inline constexpr int KeyboardTop = 3840;
inline constexpr int KeyboardRight = 6840;
inline constexpr int KeyboardBottom = 6120;
inline constexpr int WhiteKeyWidth = 480;
inline constexpr int WhiteKeys = 14;
static_assert(KeyboardLeft + WhiteKeyWidth * WhiteKeys == KeyboardRight);

// In the window's order of its black keys, not in key order: 5 is the upper G#.
inline constexpr std::array<int, 10> BlackKeyLefts {
    360, 960, 1800, 2340, 2880, 5700, 3720, 4320, 5160, 6240};
// Their notes, in semitones above the lowest C, in the same order.
inline constexpr std::array<int, 10> BlackKeySemitones {1, 3, 6, 8, 10, 20, 13, 15, 18, 22};
inline constexpr int BlackKeyWidth = 375;
inline constexpr int BlackKeyHeight = 1695; // down from the top edge

// The semitones of the white keys of one octave, C to B.
inline constexpr std::array<int, 7> WhiteKeySteps {0, 2, 4, 5, 7, 9, 11};
inline constexpr int OctaveSemitones = 12;

struct KeyOutline {
    int left;
    int top;
    int width;
    int height;
    friend constexpr bool operator==(const KeyOutline &, const KeyOutline &) = default;
};

// The key a point of the drawing lies on, in semitones above the lowest C:
// a black key where it lies over the white ones, the outline's lines
// counting to the keys beside them; -1 off the keyboard.
constexpr int keyAt(int x, int y) noexcept
{
    if (x < KeyboardLeft || x > KeyboardRight || y < KeyboardTop || y > KeyboardBottom)
        return -1;
    for (std::size_t i = 0; i < BlackKeyLefts.size(); ++i) {
        if (y < KeyboardTop + BlackKeyHeight && x >= BlackKeyLefts[i]
            && x < BlackKeyLefts[i] + BlackKeyWidth)
            return BlackKeySemitones[i];
    }
    int white = (x - KeyboardLeft) / WhiteKeyWidth;
    if (white >= WhiteKeys)
        white = WhiteKeys - 1;
    const int octaveKeys = int(WhiteKeySteps.size());
    return OctaveSemitones * (white / octaveKeys) + WhiteKeySteps[std::size_t(white % octaveKeys)];
}

// Index into BlackKeyLefts of the black key of a semitone; -1 for a white key.
constexpr int blackKeyIndex(int semitone) noexcept
{
    for (std::size_t i = 0; i < BlackKeySemitones.size(); ++i) {
        if (BlackKeySemitones[i] == semitone)
            return int(i);
    }
    return -1;
}

// A key as drawn, between its edges: a white key from the top edge to the
// bottom, the black keys in front of it included.
constexpr KeyOutline keyOutline(int semitone) noexcept
{
    if (const int black = blackKeyIndex(semitone); black >= 0)
        return {BlackKeyLefts[std::size_t(black)], KeyboardTop, BlackKeyWidth, BlackKeyHeight};
    const int octave = semitone / OctaveSemitones;
    int white = 0;
    while (WhiteKeySteps[std::size_t(white)] != semitone % OctaveSemitones)
        ++white;
    const int index = octave * int(WhiteKeySteps.size()) + white;
    return {KeyboardLeft + WhiteKeyWidth * index, KeyboardTop, WhiteKeyWidth,
        KeyboardBottom - KeyboardTop};
}

inline constexpr int MarkerSize = 255; // the markers' circles across

// Colours as the window writes them: "&h" and the blue, green and red bytes.
inline constexpr std::string_view KeyWhiteColour = "&hffffff";
inline constexpr std::string_view MarkerColour = "&h80ff80"; // light green

} // namespace chord
