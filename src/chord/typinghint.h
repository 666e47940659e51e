#pragma once

#include "chordname.h"

#include <optional>
#include <string>
#include <string_view>

// What the window says about a typed chord its tables do not know: the
// chord-symbol reader's reading of the two text boxes, as one line.
namespace chord
{

struct TypingHint {
    std::string text; // the line under the error; empty when both halves are known
    std::optional<SplitName> fix; // what accepting the hint puts into the boxes
    friend bool operator==(const TypingHint &, const TypingHint &) = default;
};

// The hint for the root and kind boxes as typed (UTF-8). A spelling the
// reader knows, whole or split over the boxes ("Cmaj7" and "", "C" and
// "maj7"), gets its texts in our tables; a chord beyond them its nearest;
// anything else which half is wrong and how names are written here.
TypingHint typingHint(std::string_view root, std::string_view kind);

// Why a memo box's chord is not one of our tables, for its tooltip: the
// unknown text, full-width characters, how our tables write it. Empty for a
// known chord and for an empty box.
std::string unknownChordNote(std::string_view root, std::string_view kind);

// Whether the text holds characters of the full-width forms or the
// ideographic space, as a Japanese input method types them.
bool holdsFullWidth(std::string_view text);

} // namespace chord
