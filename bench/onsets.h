#pragma once

#include <cstdint>
#include <optional>
#include <span>

// Where notes start in mono sound, for the timing benchmarks: a note starts
// at the first sample that stands out of what came just before it.
namespace bench
{

// The first sample from `from` on, and before `to`, louder than a few times
// the loudest of the few milliseconds before `from`, and than -120 dB.
std::optional<std::int64_t> onsetAfter(
    std::span<const float> mono, std::int64_t from, std::int64_t to, int sampleRate);

// The same within reach of a frame, either side.
std::optional<std::int64_t> onsetNear(
    std::span<const float> mono, std::int64_t frame, std::int64_t reach, int sampleRate);

} // namespace bench
