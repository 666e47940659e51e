#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace chord
{

// A chord name as the two lines of a memo box.
struct SplitName {
    std::string root;
    std::string kind;
    friend bool operator==(const SplitName &, const SplitName &) = default;
};

// Splits a chord name written as one text ("Bbm7", "C#", "Am") into its root
// line, the longest root name that begins it ("Bb", not "B"), and its kind
// line, the rest. A text that begins with no root name ("H", "N.C.") is kept
// whole as the root line. Line breaks are dropped, since each line of a box
// is a line of the memo file.
SplitName splitChordName(std::string_view text);

// What becomes of a name the chord-symbol reader understands but our tables
// do not hold (C9, G/B): kept as written, an unknown chord and a rest in
// playback, or the nearest chord of our tables (C7, G).
enum class BeyondTables { KeepAsWritten, Nearest };

struct StoredName {
    SplitName lines;
    bool beyondTables = false; // the reader knows the chord, our tables do not
    bool replaced = false; // lines are the nearest chord's
    std::vector<std::string> leftOut; // what the nearest leaves out: "9th", "bass E"
};

// The lines a name from outside the window is stored as: our own texts for a
// spelling the chord-symbol reader knows ("Bbmaj7" as Bb and M7), for a chord
// beyond our tables as beyond says, and any other text split as written.
StoredName storedName(std::string_view written, BeyondTables beyond);

} // namespace chord
