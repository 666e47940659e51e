#pragma once

#include <string>
#include <string_view>

namespace chord
{

// A chord name as the two lines of a memo box.
struct ChordName {
    std::string root;
    std::string kind;
    friend bool operator==(const ChordName &, const ChordName &) = default;
};

// Splits a chord name written as one text ("Bbm7", "C#", "Am") into its root
// line, the longest root name that begins it ("Bb", not "B"), and its kind
// line, the rest. A text that begins with no root name ("H", "N.C.") is kept
// whole as the root line. Line breaks are dropped, since each line of a box
// is a line of the memo file.
ChordName splitChordName(std::string_view text);

} // namespace chord
