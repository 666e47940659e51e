#pragma once

#include "musickey.h"

#include <optional>
#include <span>

// Finding the key of a song from its chords alone.
namespace chord
{

struct FoundKey {
    Key key;
    double confidence = 0; // 0 to 1: the key's share of the evidence among all 24 keys
};

// The major or minor key that explains the chords best, or nothing when no
// chord is one the tables know (unknown names and empty boxes are passed
// over). Each chord counts for a key by the part it can play in it: one of
// the key's own chords (the tonic, dominant and subdominant most), a blues
// seventh on Ⅰ or Ⅳ, a secondary dominant, or a chord borrowed from the
// parallel key; anything else counts for nothing. A first or last chord
// that is a tonic chord adds to its key.
std::optional<FoundKey> findKey(std::span<const NamedChord> chords);

// The key that spells and names the song's chords: the one the user chose,
// else the one found; nothing when neither is.
constexpr std::optional<Key> keyInEffect(
    std::optional<Key> chosen, const std::optional<FoundKey> &found) noexcept
{
    if (chosen)
        return chosen;
    if (found)
        return found->key;
    return std::nullopt;
}

} // namespace chord
