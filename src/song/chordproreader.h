#pragma once

#include "chordmemo.h"
#include "chordname.h"
#include "memoedit.h"

#include <QByteArrayView>
#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace song
{

using BeyondTables = chord::BeyondTables;

using NameReplaced = memo::NameReplaced;

struct ChordProSong {
    QString error; // why the bytes cannot be read, for the user; empty when read
    QString title; // the first {title} or {t}; empty when there is none
    std::optional<int> tempo; // the first {tempo} within the tempo range
    std::optional<int> beatsPerBar; // quarter notes, from the first {time} that is a whole number
    std::vector<memo::ChordText> chords; // in order, at most one per memo box; empty: a rest
    int leftOut = 0; // chords after the memo was full
    int beyondTables = 0; // names beyond our tables among the chords, kept or replaced
    std::vector<NameReplaced> replaced; // with Nearest, in order
};

// Reads a ChordPro song from UTF-8 bytes, with or without a byte order
// mark; invalid UTF-8 is refused. The chords in brackets, in order, become
// the boxes, [N.C.] an empty one: a name the chord-symbol reader knows in
// our own texts (Bbmaj7 as Bb and M7), one beyond our tables as beyond
// says, any other split into root and kind lines as pasting splits it; lyrics, comment lines (a #
// first) and every other directive are skipped. Each directive has a line of its own. On a line, a
// bracket that opens inside a chord starts the chord again; one that never closes holds no chord;
// an annotation ([*Coda]) is no chord either.
ChordProSong readChordPro(QByteArrayView bytes, BeyondTables beyond = BeyondTables::KeepAsWritten);

} // namespace song
