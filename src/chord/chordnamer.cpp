#include "chordnamer.h"

#include "chordtables.h"

#include <algorithm>
#include <bitset>

namespace chord
{

namespace
{
constexpr int PitchClasses = 12;
constexpr int RootButtons = 12; // the root rows that are button captions: sharps only
constexpr int PerfectFifth = 7;
// Without its fifth a chord must still have this many notes: a bare third
// or fourth names nothing.
constexpr int FewestNotesWithoutFifth = 3;

using PitchSet = std::bitset<PitchClasses>;

int pitchClass(int note)
{
    return ((note % PitchClasses) + PitchClasses) % PitchClasses;
}

PitchSet chordSet(int root, const KindRow &kind)
{
    PitchSet set;
    set.set(std::size_t(root));
    for (const int offset : kind.offsets)
        set.set(std::size_t(pitchClass(root + offset)));
    return set;
}

bool hasPerfectFifth(const KindRow &kind)
{
    return std::ranges::find(kind.offsets, PerfectFifth) != kind.offsets.end();
}

struct Candidate {
    ChordName name;
    bool full = false;
    bool rootIsLowest = false;
};

// Better first: full before fifthless, then lowest-note root; a stable sort
// keeps table order among equals.
bool better(const Candidate &a, const Candidate &b)
{
    if (a.full != b.full)
        return a.full;
    return a.rootIsLowest && !b.rootIsLowest;
}
} // namespace

std::vector<ChordName> chordNames(std::span<const int> midiNotes, NamingOptions options)
{
    if (midiNotes.empty())
        return {};
    PitchSet held;
    for (const int note : midiNotes)
        held.set(std::size_t(pitchClass(note)));
    const int lowest = pitchClass(std::ranges::min(midiNotes));

    std::vector<Candidate> candidates;
    for (const KindRow &kind : ChordKind) {
        for (int r = 0; r < RootButtons; ++r) {
            const RootRow &root = ChordRoot[std::size_t(r)];
            const PitchSet full = chordSet(root.pitchClass, kind);
            Candidate candidate {{root.text, kind.text}, true, root.pitchClass == lowest};
            if (held != full) {
                if (!options.acceptMissingFifth || !hasPerfectFifth(kind))
                    continue;
                PitchSet withoutFifth = full;
                withoutFifth.reset(std::size_t(pitchClass(root.pitchClass + PerfectFifth)));
                if (held != withoutFifth || int(held.count()) < FewestNotesWithoutFifth)
                    continue;
                candidate.full = false;
            }
            candidates.push_back(candidate);
        }
    }
    std::ranges::stable_sort(candidates, better);
    std::vector<ChordName> names;
    names.reserve(candidates.size());
    for (const Candidate &c : candidates)
        names.push_back(c.name);
    return names;
}

std::optional<ChordName> nameChord(std::span<const int> midiNotes, NamingOptions options)
{
    const std::vector<ChordName> names = chordNames(midiNotes, options);
    if (names.empty())
        return std::nullopt;
    return names.front();
}

} // namespace chord
