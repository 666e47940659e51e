#pragma once

#include "musickey.h"

#include <array>
#include <string>
#include <string_view>

// Chords named by their place in a key, and the key's own chords.
namespace chord
{

enum class DegreeStyle {
    Roman, // "Ⅰ", "♭Ⅲ", "♯Ⅳm7-5": Unicode numerals and signs, for the window
    Ascii, // "I", "bIII", "#IVm7-5": for files read by other programs
};

// The degree name of a chord in a key: the upper-case numeral of its root's
// degree, then its kind as written ("Ⅵm7"). Degrees count from the tonic of
// the major scale on it, in minor too, where the natural minor's own degrees
// are the flat ones (in A minor, C is ♭Ⅲ). A root outside that scale is
// ♭Ⅱ, ♭Ⅲ, ♯Ⅳ, ♭Ⅵ or ♭Ⅶ, whatever its spelling. Empty when the root or the
// kind is not one the tables know.
std::string degreeName(NamedChord chord, Key key, DegreeStyle style = DegreeStyle::Roman);

// The root of the shape to play for a chord sounding on soundingRoot with a
// capo on that fret, in a song in key (the sounding key): E♭ with capo 3 is
// played as C. Spelled as the shapes' own key, capo frets below key, writes
// it: its scale's roots by its major scale, ♭Ⅱ ♭Ⅲ ♭Ⅵ ♭Ⅶ with flats, ♯Ⅳ with
// a sharp, so capo 3 in E♭ plays its D♭ as a B♭ shape, not A#. Empty when
// the root is not one the tables know.
std::string_view shapeRoot(std::string_view soundingRoot, int capo, Key key);

inline constexpr int DegreeCount = 7;
using KeyChords = std::array<NamedChord, DegreeCount>;

// The chords on the key's degrees Ⅰ to Ⅶ, roots spelled by the key. Minor
// keys take the natural minor's chords except on Ⅴ, which is the harmonic
// minor's major chord. The tables have no diminished triad, so its degree
// (Ⅶ in major, Ⅱ in minor) has the m7-5 chord.
KeyChords keyTriads(Key key);
// The four-note chords on the same degrees: in C, CM7 Dm7 Em7 FM7 G7 Am7
// Bm7-5; in A minor, Am7 Bm7-5 CM7 Dm7 E7 FM7 G7.
KeyChords keySevenths(Key key);

} // namespace chord
