#include "notespelling.h"

#include "placement.h"

#include <array>

namespace chord
{

namespace
{
constexpr int PitchClasses = 12;
constexpr std::array<std::string_view, PitchClasses> SharpNames {
    "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
constexpr std::array<std::string_view, PitchClasses> FlatNames {
    "C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab", "A", "Bb", "B"};
constexpr std::string_view Separator = ", ";
} // namespace

std::string spellChordNotes(std::string_view rootText, std::string_view kindText)
{
    // Among the recognised roots only the flat spellings end in "b".
    const auto &names = rootText.ends_with('b') ? FlatNames : SharpNames;
    std::string out;
    for (const int semitone : soundingNotes(placeChord(rootText, kindText))) {
        if (!out.empty())
            out += Separator;
        out += names[semitone % PitchClasses];
    }
    return out;
}

} // namespace chord
