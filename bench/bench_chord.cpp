#include "chordtables.h"
#include "keyfinding.h"
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

// A song of many colours, so that every rule of the key finding is tried:
// a ii-V-I, secondary dominants, a borrowed chord, blues sevenths, kinds of
// every sort and a name the tables do not know.
std::vector<chord::NamedChord> songOf(std::size_t count)
{
    const std::vector<chord::NamedChord> phrase {{"C", "M7"}, {"A", "7"}, {"D", "m7"}, {"G", "7"},
        {"E", "m7"}, {"A", "m"}, {"F", "6"}, {"F", "m"}, {"C", "7"}, {"F", "7"}, {"B", "m7-5"},
        {"E", "7"}, {"Ab", ""}, {"Bb", "add9"}, {"G", "sus4"}, {"H", "7"}};
    std::vector<chord::NamedChord> song;
    for (std::size_t i = 0; i < count; ++i)
        song.push_back(phrase[i % phrase.size()]);
    song.back() = {"C", ""};
    return song;
}

// The key of a whole song, found again from nothing each time, as the window
// does on every change of the memo.
void BM_FindKey(benchmark::State &state, std::size_t count)
{
    const std::vector<chord::NamedChord> song = songOf(count);
    const auto found = chord::findKey(song);
    if (!found || found->key != chord::Key {0, false}) {
        state.SkipWithError("the song is not found in C major");
        return;
    }
    for (auto _ : state) {
        auto key = chord::findKey(song);
        benchmark::DoNotOptimize(key);
    }
    state.counters["chords"] = double(count);
    state.counters["per_chord"] = benchmark::Counter(
        double(count), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK_CAPTURE(BM_FindKey, full_memo, std::size_t(30))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FindKey, long_song, std::size_t(500))->Unit(benchmark::kMicrosecond);

} // namespace
