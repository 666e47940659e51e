#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

// Names the chord a set of held MIDI notes makes, in the program's own
// vocabulary: a root as the root buttons spell it and a kind from the kind
// table. Plain C++, so it can be tested by tables like the chord tables.
namespace chord
{

struct ChordName {
    std::string_view root; // one of the twelve root-button captions
    std::string_view kind; // one of the kind-button captions ("" is major)
    friend bool operator==(const ChordName &, const ChordName &) = default;
};

struct NamingOptions {
    // Also accept a chord played without its perfect fifth, as pianists voice
    // a seventh chord with root, third and seventh.
    bool acceptMissingFifth = false;
};

// Any voicing, inversion and octave of a known chord names it; doubled notes
// do not matter. Where several names fit, the one whose root is the lowest
// note wins, otherwise the first kind in the kind table (then the first root).
// A full chord beats one missing its fifth. Nothing when no name fits.
std::optional<ChordName> nameChord(std::span<const int> midiNotes, NamingOptions options = {});

// Every name that fits the notes, by the same rule, best first: the first is
// nameChord's. Empty when no name fits.
std::vector<ChordName> chordNames(std::span<const int> midiNotes, NamingOptions options = {});

} // namespace chord
