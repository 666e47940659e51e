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
inline constexpr int BlackKeyWidth = 375;
inline constexpr int BlackKeyHeight = 1695; // down from the top edge

inline constexpr int MarkerSize = 255; // the markers' circles across

// Colours as the window writes them: "&h" and the blue, green and red bytes.
inline constexpr std::string_view KeyWhiteColour = "&hffffff";
inline constexpr std::string_view MarkerColour = "&h80ff80"; // light green

} // namespace chord
