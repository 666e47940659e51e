#include "onsets.h"

#include <algorithm>
#include <cmath>

namespace bench
{

namespace
{
// -120 dB: a note's first few samples, yet 30 dB over the faint noise the
// reverb makes in silence. A louder floor would find a slow attack late.
constexpr float Floor = 1e-6f;
constexpr float Rise = 4; // over a tail still ringing
constexpr double BeforeSeconds = 0.005;
} // namespace

std::optional<std::int64_t> onsetAfter(
    std::span<const float> mono, std::int64_t from, std::int64_t to, int sampleRate)
{
    const auto size = std::int64_t(mono.size());
    from = std::clamp<std::int64_t>(from, 0, size);
    to = std::clamp<std::int64_t>(to, from, size);
    const std::int64_t before
        = std::max<std::int64_t>(0, from - std::int64_t(BeforeSeconds * sampleRate));
    float loudest = 0;
    for (std::int64_t i = before; i < from; ++i)
        loudest = std::max(loudest, std::abs(mono[std::size_t(i)]));
    const float threshold = std::max(Floor, Rise * loudest);
    for (std::int64_t i = from; i < to; ++i) {
        if (std::abs(mono[std::size_t(i)]) >= threshold)
            return i;
    }
    return std::nullopt;
}

std::optional<std::int64_t> onsetNear(
    std::span<const float> mono, std::int64_t frame, std::int64_t reach, int sampleRate)
{
    return onsetAfter(mono, frame - reach, frame + reach, sampleRate);
}

} // namespace bench
