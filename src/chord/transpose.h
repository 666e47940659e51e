#pragma once

#include "musickey.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Moving a song into another key, root by root, as chord sheets do.
namespace chord
{

enum class Spelling { Auto, Sharp, Flat };

// The root text moved by a number of semitones (taken modulo 12; the sign
// is the direction). Auto spells a black key with a sharp going up and a
// flat going down; Sharp and Flat force the spelling; white keys stay
// natural. A move of 0 keeps the text as written, and a text that names no
// root ("H", "", "bb") comes back as it is.
std::string transposeRoot(std::string_view root, int semitones, Spelling spelling);

// The spelling that moving a song's roots by semitones takes: Sharp and Flat
// as asked; Auto that of the key the song lands in (a B♭ song down 5 is in F
// and keeps B♭; up 3 it is in D♭, with G♭). The song's key is the one given,
// else the key signature under which most of its roots need no accidental
// (of those, the one with the fewest sharps or flats). When nothing tells (no
// known root, or landing in a key of no sharps and flats, C and A minor, or
// of either, F♯ and G♭) up sharps and down flats, as transposeRoot spells.
// Gives Sharp or Flat, never Auto.
Spelling keySpelling(const std::vector<std::string> &roots, int semitones, Spelling spelling,
    std::optional<Key> key = std::nullopt);

struct Transposition {
    int semitones = 0;
    Spelling spelling = Spelling::Auto;
    friend bool operator==(const Transposition &, const Transposition &) = default;
};

// A transposition as the command line writes it: an optional sign, one or
// two digits, then "s" for sharps or "f" for flats ("2", "-1", "+3f");
// -11 to 11. Nothing for any other text.
std::optional<Transposition> parseTransposition(std::string_view text) noexcept;

} // namespace chord
