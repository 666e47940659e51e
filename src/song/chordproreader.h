#pragma once

#include "chordmemo.h"
#include "chordname.h"
#include "memoedit.h"
#include "song.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

namespace song
{

// What a ChordPro file holds that a song does not keep.
struct LeftOver {
    int lyricLines = 0; // lines with words beside their chords
    int annotations = 0; // [*Coda] and the like
    QStringList directives; // the names of directives not read, each once, in order
    friend bool operator==(const LeftOver &, const LeftOver &) = default;
};

using BeyondTables = chord::BeyondTables;

using NameReplaced = memo::NameReplaced;

struct ChordProSong {
    QString error; // why the bytes cannot be read, for the user; empty when read
    QString title; // the first {title} or {t}; empty when there is none
    std::optional<int> tempo; // the first {tempo} within the tempo range
    std::optional<int> beatsPerBar; // quarter notes, from the first {time} that is a whole number
    std::optional<chord::Key> key; // the first {key} that names a key
    std::optional<int> capo; // the first {capo} that is a fret, 0 to chord::MaxCapo
    // In order, [N.C.] an empty one; each with its length and the section it
    // begins.
    std::vector<Bar> chords;
    LeftOver left;
    int beyondTables = 0; // names beyond our tables among the chords, kept or replaced
    std::vector<NameReplaced> replaced; // with Nearest, in order
};

// Reads a ChordPro song from UTF-8 bytes, with or without a byte order
// mark; invalid UTF-8 is refused, and so is a song of more than
// MaxSongChords chords: nothing of either is read.
//
// The chords in brackets, in order, become the boxes: a name the
// chord-symbol reader knows in our own texts (Bbmaj7 as Bb and M7), one
// beyond our tables as beyond says, any other split into root and kind lines
// as pasting splits it. Comment lines (a # first), lyrics and directives
// other than the song's own are skipped and counted in left. Each directive has a line of its own.
// On a line, a bracket that opens inside a chord starts the chord again; one that never closes
// holds no chord; an annotation ([*Coda]) is no chord either.
//
// Lengths: a chord is a whole bar unless its line has bar lines (|, ||, |:
// ...) outside the brackets. There, the chords between two bar lines share
// the bar evenly; with beats written as dots (| [G] . . [D] |), each chord
// lasts one beat and a beat for each dot after it, and dots before a bar's
// first chord hold the chord before; a bar with nothing in it holds the
// chord before for a whole bar. On a line of chords alone, what stands
// before its first bar line or after its last is part of a bar, read beat by
// beat: a bar left open at a line's end goes on over the lines of chords
// that follow up to a bar line, a line with words or the end of the file,
// which is how a section that begins inside a bar is written. A chord grid
// ({start_of_grid}) reads the same with its chords unbracketed and %
// repeating the bar before; what stands before its first bar line or after
// its last is a margin note. A length of a whole bar reads as 0, and lengths
// are held to MaxChordBeats.
//
// Sections: {start_of_verse}, {start_of_chorus} and {start_of_bridge} (and
// their short forms), with a label (label="A", or the text after the colon)
// or without (then Verse, Chorus, Bridge), and {comment} (or {c}) name the
// section that the next chord begins; names are read on one line.
ChordProSong readChordPro(QByteArrayView bytes, BeyondTables beyond = BeyondTables::KeepAsWritten);

// The left-over as one line for the window's notice: what was not read, or
// nothing when everything was.
QString leftOverNotice(const LeftOver &left);

// The song a file reads as: its title, tempo and meter when it gives them,
// else those given; rests after the last chord are no part of it.
Song songOfChordPro(const ChordProSong &read, const QString &title, int tempo, int beatsPerBar);

} // namespace song
