#include "keyfinding.h"

#include <array>
#include <cmath>
#include <vector>

namespace chord
{

namespace
{

constexpr int KeyCount = 2 * PitchClassCount;

// Pitch classes as bits, relative to a tonic or to a chord's root.
using Tones = unsigned;

constexpr Tones tones(std::initializer_list<int> intervals)
{
    Tones set = 0;
    for (const int i : intervals)
        set |= 1U << i;
    return set;
}

constexpr Tones rotate(Tones set, int down)
{
    constexpr Tones All = (1U << PitchClassCount) - 1;
    return ((set >> down) | (set << (PitchClassCount - down))) & All;
}

constexpr bool has(Tones set, int interval)
{
    return (set >> interval) & 1U;
}

constexpr Tones MajorScale = tones({0, 2, 4, 5, 7, 9, 11});
constexpr Tones NaturalMinorScale = tones({0, 2, 3, 5, 7, 8, 10});
constexpr Tones HarmonicMinorScale = tones({0, 2, 3, 5, 7, 8, 11});

// How strongly a chord built in a scale speaks for the key, by its root's
// interval above the tonic: the primary chords most, Ⅲ and Ⅶ least. In
// minor the harmonic minor's chords are those with the leading note, and
// its major Ⅴ is the strongest sign of a minor key.
struct ScaleWeights {
    Tones scale;
    std::array<double, PitchClassCount> byRoot;
};
constexpr ScaleWeights MajorWeights {
    MajorScale, {1.0, 0, 0.8, 0, 0.6, 0.9, 0, 1.0, 0, 0.8, 0, 0.5}};
constexpr ScaleWeights NaturalMinorWeights {
    NaturalMinorScale, {1.0, 0, 0.7, 0.6, 0, 0.9, 0, 0.6, 0.7, 0, 0.7, 0}};
constexpr ScaleWeights HarmonicMinorWeights {
    HarmonicMinorScale, {1.0, 0, 0.7, 0.4, 0, 0.9, 0, 1.0, 0.7, 0, 0, 0.5}};

constexpr double BluesSeventh = 0.7;
constexpr double SecondaryDominant = 0.4;
constexpr double Borrowed = 0.35;
// Songs begin and end at home, in a long song as in a short one: each end
// counts as a tonic chord several times over, and more in a longer song.
constexpr double TonicAtAnEnd = 1.5;
constexpr double TonicAtAnEndPerChord = 0.1;

constexpr Tones MajorTriad = tones({0, 4, 7});
constexpr Tones DominantSeventh = tones({0, 4, 7, 10});
constexpr Tones MinorTriad = tones({0, 3, 7});
constexpr int Fifth = 7;
constexpr int Fourth = 5;

// A known chord: its root and its notes as pitch classes.
struct Chord {
    int root;
    Tones shape; // intervals above the root
    Tones notes; // absolute pitch classes
};

std::optional<Chord> readChord(NamedChord named)
{
    const auto root = lookupRoot(named.root);
    const auto offsets = lookupKind(named.kind);
    if (!root || !offsets)
        return std::nullopt;
    const Tones shape = tones({0, (*offsets)[0], (*offsets)[1], (*offsets)[2]});
    return Chord {*root, shape, rotate(shape, (PitchClassCount - *root) % PitchClassCount)};
}

bool within(Tones notes, Tones scale)
{
    return (notes & ~scale) == 0;
}

// A degree of the scale whose chord is a major or minor triad, something a
// secondary dominant can lead to.
bool isTarget(int interval, Tones scale)
{
    if (!has(scale, interval))
        return false;
    const Tones triad = rotate(scale, interval) & tones({0, 3, 4, 7});
    return triad == MajorTriad || triad == MinorTriad;
}

double fitInScale(int interval, Tones notes, const ScaleWeights &weights)
{
    return within(notes, weights.scale) ? weights.byRoot[interval] : 0.0;
}

// What one chord is worth to a key; interval is its root above the tonic
// and notes its pitch classes above the tonic. Sevenths on Ⅰ and Ⅳ are a
// blues only together: a lone seventh on the tonic of a key is more likely
// the dominant of the key a fifth below.
double fit(const Chord &chord, int interval, Tones notes, bool minor, bool blues)
{
    const Tones home = minor ? NaturalMinorScale : MajorScale;
    double best = fitInScale(interval, notes, minor ? NaturalMinorWeights : MajorWeights);
    if (minor)
        best = std::max(best, fitInScale(interval, notes, HarmonicMinorWeights));
    if (blues && chord.shape == DominantSeventh && (interval == 0 || interval == Fourth))
        best = std::max(best, BluesSeventh);
    if ((chord.shape == MajorTriad || chord.shape == DominantSeventh) && interval != Fifth
        && isTarget((interval + Fourth) % PitchClassCount, home))
        best = std::max(best, SecondaryDominant);
    const Tones parallel = minor ? MajorScale : NaturalMinorScale;
    if (within(notes, parallel))
        best = std::max(best, Borrowed);
    return best;
}

bool isTonicChord(const Chord &chord, int interval, bool minor)
{
    if (interval != 0)
        return false;
    const Tones third = minor ? MinorTriad : MajorTriad;
    return (chord.shape & third) == third;
}

} // namespace

std::optional<FoundKey> findKey(std::span<const NamedChord> named)
{
    std::vector<Chord> chords;
    chords.reserve(named.size());
    for (const NamedChord &n : named) {
        if (const auto chord = readChord(n))
            chords.push_back(*chord);
    }
    if (chords.empty())
        return std::nullopt;

    Tones sevenths = 0; // roots of dominant seventh chords
    for (const Chord &c : chords) {
        if (c.shape == DominantSeventh)
            sevenths |= 1U << c.root;
    }

    std::array<double, KeyCount> scores {};
    for (int k = 0; k < KeyCount; ++k) {
        const Key key {k % PitchClassCount, k >= PitchClassCount};
        const auto interval = [&](const Chord &c) {
            return (c.root - key.tonic + PitchClassCount) % PitchClassCount;
        };
        const bool blues = !key.minor && has(rotate(sevenths, key.tonic), 0)
            && has(rotate(sevenths, key.tonic), Fourth);
        double score = 0;
        for (const Chord &c : chords)
            score += fit(c, interval(c), rotate(c.notes, key.tonic), key.minor, blues);
        for (const Chord *end : {&chords.front(), &chords.back()}) {
            if (isTonicChord(*end, interval(*end), key.minor))
                score += TonicAtAnEnd + TonicAtAnEndPerChord * double(chords.size());
        }
        scores[k] = score;
    }

    int best = 0;
    for (int k = 1; k < KeyCount; ++k) {
        if (scores[k] > scores[best])
            best = k;
    }
    // The best key's share when each key's score is the log of its odds.
    double total = 0;
    for (const double s : scores)
        total += std::exp(s - scores[best]);
    return FoundKey {{best % PitchClassCount, best >= PitchClassCount}, 1.0 / total};
}

} // namespace chord
