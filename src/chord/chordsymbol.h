#pragma once

#include <string>
#include <string_view>
#include <vector>

// Chord symbols as musicians write them on charts and in chord-sheet files,
// read into the names of our tables, and our names written back in the
// spelling other programs read. The window's own lookup stays exact
// (chordtables.h): this is for the texts that come in and go out.
namespace chord
{

struct ChordSymbol {
    bool isChord = false; // the text is a chord symbol the reader understands
    // The chord as written is in our tables; when false (and isChord), root
    // and kind are the nearest chord of our tables a player would use.
    bool inTables = false;
    std::string root; // canonical root text of ChordRoot ("Bb"); empty when !isChord
    std::string kind; // canonical kind text of ChordKind ("M7")
    // What the nearest chord leaves out of the written one, as short texts:
    // "9th", "b9", "#11", "6th", "no 3rd", "bass E" ... Empty when inTables.
    std::vector<std::string> leftOut;
    friend bool operator==(const ChordSymbol &, const ChordSymbol &) = default;
};

// Reads one chord symbol (UTF-8): a root letter in either case, full or half
// width, with #, ♯, ＃, b or ♭; then the common spellings of a chord's kind
// (maj7, Δ, m7b5, ø, °7, -, +, sus, add2, m(maj7) ...), extensions and
// alterations (9, 13, 6/9, 7b9, 7#11, alt), sus2, the power chord (5), and a
// bass after a slash or "on" (C/E, C onE). Blanks and brackets between the
// parts are allowed. Anything else, and any text too long to be one symbol,
// is no chord. Never throws.
ChordSymbol readChordSymbol(std::string_view text);

// The left-out parts for the notice line: 「9th」「ベース E」.
std::string leftOutInJapanese(const std::vector<std::string> &leftOut);

// A chord of our tables in the spelling chord-sheet programs and chord
// libraries read as the chord we mean: "BbM7" → "Bbmaj7", "Am7-5" →
// "Am7b5", "Cdim" (our four-note chord) → "Cdim7", "CmM7" → "Cm(maj7)".
// A root or kind outside our tables is written as it is.
std::string standardChordName(std::string_view root, std::string_view kind);

} // namespace chord
