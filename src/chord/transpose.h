#pragma once

#include <optional>
#include <string>
#include <string_view>

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
