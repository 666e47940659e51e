#pragma once

// The key of a song: a tonic and a mode.
namespace chord
{

struct Key {
    int tonic = 0; // pitch class, 0 = C ... 11 = B
    bool minor = false;
    friend bool operator==(const Key &, const Key &) = default;
};

} // namespace chord
