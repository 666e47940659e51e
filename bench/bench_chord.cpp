#include "chordtables.h"
#include "placement.h"

#include <benchmark/benchmark.h>

#include <string_view>
#include <vector>

namespace
{

struct ChordName {
    std::string_view root;
    std::string_view kind;
};

// Every root with every kind: 17 x 14 = 238 chords.
std::vector<ChordName> recognisedChords()
{
    std::vector<ChordName> chords;
    for (const chord::RootRow &root : chord::ChordRoot)
        for (const chord::KindRow &kind : chord::ChordKind)
            chords.push_back({root.text, kind.text});
    return chords;
}

// What a user may type that names nothing: wrong case, a stray space,
// full-width signs, spellings from other books. Each miss scans a whole table.
std::vector<ChordName> unrecognisedChords()
{
    return {
        {"c", ""},
        {"H", "m"},
        {" G", "7"},
        {"C", "maj7"},
        {"Bb", "min"},
        {"Cb", ""},
        {"E#", "m7"},
        {"Ｃ", ""},
        {"C＃", "m"},
        {"", ""},
        {"A", "M"},
        {"D", "m7b5"},
        {"F", "sus2"},
        {"G", "13"},
        {"Bbb", "dim7"},
        {"C#m", ""},
    };
}

// Looks up and places each chord of the list once per iteration; the
// per_chord counter is the time of one chord.
void BM_PlaceChord(benchmark::State &state, const std::vector<ChordName> &chords, bool recognised)
{
    for (const ChordName &c : chords) {
        const chord::ChordPlacement p = chord::placeChord(c.root, c.kind);
        if ((p.rootRecognised && p.kindRecognised) != recognised) {
            state.SkipWithError("a chord of the list is not what its list says");
            return;
        }
    }
    for (auto _ : state) {
        for (const ChordName &c : chords) {
            chord::ChordPlacement p = chord::placeChord(c.root, c.kind);
            benchmark::DoNotOptimize(p);
        }
    }
    const auto count = double(chords.size());
    state.SetItemsProcessed(state.iterations() * int64_t(chords.size()));
    state.counters["chords"] = count;
    state.counters["per_chord"] = benchmark::Counter(
        count, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK_CAPTURE(BM_PlaceChord, recognised, recognisedChords(), true);
BENCHMARK_CAPTURE(BM_PlaceChord, unrecognised, unrecognisedChords(), false);

} // namespace
