#include "pitchcheck.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pitchcheck
{

namespace
{
constexpr double From = 0.1, To = 0.6; // seconds: past the attack, before the decay
constexpr double Floor = 0.02; // of the strongest pitch's power, about -17 dB
constexpr double OnsetFraction = 0.1; // of the loudest sample
constexpr int Overtones = 16;
// Attacks: the loudness of windows of this many samples, about 1.5 ms at
// 44.1 kHz, rising this many times above the windows a little before.
constexpr std::size_t AttackWindow = 64;
constexpr std::size_t AttackLookBack = 32; // windows: about 50 ms
constexpr std::size_t AttackGap = 4; // windows skipped before the one checked
constexpr float AttackRise = 3;
constexpr float AttackFloor = 0.1F; // of the loudest sample
constexpr std::size_t AttacksApart = 128; // windows: about 190 ms
// Overtones lie off the tempered scale (the 7th by a third of a semitone):
// any pitch this close to one counts as that overtone.
constexpr double OvertoneReach = 0.7; // semitones

double frequencyOf(int note)
{
    return 440.0 * std::exp2((note - 69) / 12.0);
}

// Goertzel's algorithm: the power of one frequency in windowed samples.
double powerAt(const std::vector<double> &samples, double frequency, int sampleRate)
{
    const double coefficient = 2 * std::cos(2 * std::numbers::pi * frequency / sampleRate);
    double previous = 0, beforePrevious = 0;
    for (double sample : samples) {
        const double current = sample + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    return previous * previous + beforePrevious * beforePrevious
        - coefficient * previous * beforePrevious;
}

bool isOvertoneOf(int note, int fundamental)
{
    for (int k = 2; k <= Overtones; ++k) {
        if (std::abs(note - fundamental - 12 * std::log2(k)) < OvertoneReach)
            return true;
    }
    return false;
}
} // namespace

std::vector<int> notesIn(std::span<const float> samples, int sampleRate)
{
    const auto from = std::size_t(From * sampleRate);
    const auto to = std::min(samples.size(), std::size_t(To * sampleRate));
    if (to <= from)
        return {};
    // A Hann window keeps each pitch's leakage off its semitone neighbours.
    std::vector<double> window(to - from);
    const auto last = double(window.size() - 1);
    for (std::size_t i = 0; i < window.size(); ++i)
        window[i]
            = 0.5 * (1 - std::cos(2 * std::numbers::pi * double(i) / last)) * samples[from + i];

    std::vector<double> power;
    for (int note = LowestNote; note <= HighestNote; ++note)
        power.push_back(powerAt(window, frequencyOf(note), sampleRate));
    const double strongest = *std::max_element(power.begin(), power.end());

    std::vector<int> found;
    for (int note = LowestNote; note <= HighestNote; ++note) {
        if (strongest <= 0 || power[std::size_t(note - LowestNote)] < Floor * strongest)
            continue;
        if (std::none_of(found.begin(), found.end(),
                [note](int lower) { return isOvertoneOf(note, lower); }))
            found.push_back(note);
    }
    return found;
}

std::size_t onset(std::span<const float> samples)
{
    float loudest = 0;
    for (float s : samples)
        loudest = std::max(loudest, std::abs(s));
    const auto first = std::find_if(samples.begin(), samples.end(),
        [loudest](float s) { return loudest > 0 && std::abs(s) >= OnsetFraction * loudest; });
    return std::size_t(first - samples.begin());
}

std::vector<std::size_t> attacks(std::span<const float> samples)
{
    std::vector<float> loudness(samples.size() / AttackWindow);
    for (std::size_t w = 0; w < loudness.size(); ++w) {
        for (std::size_t i = w * AttackWindow; i < (w + 1) * AttackWindow; ++i)
            loudness[w] = std::max(loudness[w], std::abs(samples[i]));
    }
    const float loudest = loudness.empty() ? 0 : *std::ranges::max_element(loudness);
    std::vector<std::size_t> found;
    for (std::size_t w = 0; w < loudness.size(); ++w) {
        if (!found.empty() && w < found.back() / AttackWindow + AttacksApart)
            continue;
        const std::size_t from = w > AttackLookBack ? w - AttackLookBack : 0;
        const std::size_t to = w > AttackGap ? w - AttackGap : 0;
        float before = 0;
        for (std::size_t v = from; v < to; ++v)
            before = std::max(before, loudness[v]);
        if (loudness[w] > AttackFloor * loudest && loudness[w] >= AttackRise * before)
            found.push_back(w * AttackWindow);
    }
    return found;
}

} // namespace pitchcheck
