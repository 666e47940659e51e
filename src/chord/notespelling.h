#pragma once

#include <string>
#include <string_view>

namespace chord
{

// The notes of the chord named by two texts, low to high, as the root
// buttons spell them ("C, E, G"); flats instead of sharps when the root was
// written flat ("Bb, D, F, Ab"). Empty when the root or the kind is not one
// the program knows: there are no notes to tell.
std::string spellChordNotes(std::string_view rootText, std::string_view kindText);

} // namespace chord
