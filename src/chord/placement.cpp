#include "placement.h"

#include "chordtables.h"

#include <algorithm>

namespace chord
{

ChordPlacement placeChord(std::string_view rootText, std::string_view kindText) noexcept
{
    ChordPlacement result;
    const auto root = lookupRoot(rootText);
    const auto kind = lookupKind(kindText);
    result.rootRecognised = root.has_value();
    result.kindRecognised = kind.has_value();

    const int rootValue = root.value_or(0);
    const std::array<int, 3> offsets = kind.value_or(std::array<int, 3> {});
    for (int i = 0; i < MarkerCount; ++i) {
        const int offset = i == 0 ? 0 : offsets[i - 1];
        result.notes[i] = rootValue + offset;
        result.keyPositions[i] = keyPosition(result.notes[i]);
        result.markers[i] = markerPlace(result.keyPositions[i]);
    }
    if (result.keyPositions[3] == result.keyPositions[0])
        result.markers[3].left = HiddenMarkerLeft;
    return result;
}

std::vector<int> soundingNotes(const ChordPlacement &placement)
{
    if (!placement.rootRecognised || !placement.kindRecognised)
        return {};
    std::vector<int> notes(placement.notes.begin(), placement.notes.end());
    std::ranges::sort(notes);
    // Not ranges::unique: clang 14, which builds the fuzz targets, cannot
    // take the subrange it returns from libstdc++ 12.
    notes.erase(std::unique(notes.begin(), notes.end()), notes.end());
    return notes;
}

} // namespace chord
