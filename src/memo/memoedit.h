#pragma once

#include "chordmemo.h"
#include "chordname.h"
#include "transpose.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

// The memo's edits as plain functions: boxes in, boxes out, so that each is
// one step to undo and can be tested by a table. A chord that moves takes its
// bytes along, so a box never changed by hand is still written back as read.
namespace memo
{

struct Box {
    SlotText root;
    SlotText kind;

    bool holdsAnything() const { return !root.bytes().isEmpty() || !kind.bytes().isEmpty(); }
    friend bool operator==(const Box &a, const Box &b)
    {
        return a.root.bytes() == b.root.bytes() && a.kind.bytes() == b.kind.bytes();
    }
};

using Boxes = std::array<Box, MemoSlotCount>;

Boxes boxesOf(const ChordMemo &memo);
Box boxOf(const QString &root, const QString &kind);

// Each edit below takes a box index 0..29. One that is refused gives nothing,
// and the memo stays as it was.

Boxes stored(Boxes boxes, int box, const QString &root, const QString &kind);
Boxes emptied(Boxes boxes, int box);
// The box goes; the later ones move back by one and the last becomes empty.
Boxes closedUp(Boxes boxes, int box);
// An empty box opens there; the later ones move on by one. Refused when the
// last box holds anything: it would be pushed out.
std::optional<Boxes> opened(Boxes boxes, int box);
// The chord moves to the other box; the boxes between shift by one.
Boxes moved(Boxes boxes, int from, int to);
Boxes copied(Boxes boxes, int from, int to);
// The chords fill the boxes from box on. Refused when they do not all fit.
std::optional<Boxes> filled(Boxes boxes, int box, const std::vector<Box> &chords);
// Every root among the program's names moves; kinds, and roots it does not
// know ("H", typed texts), stay as written. Auto spells the moved roots in
// the key they land in (chord::keySpelling), from the key given or, without
// one, the key the memo's roots imply.
Boxes transposed(Boxes boxes, int semitones, chord::Spelling spelling,
    std::optional<chord::Key> key = std::nullopt);

// A name from outside the window stored as the nearest chord of our tables.
struct NameReplaced {
    QString written; // the name as it came
    ChordText chord; // the nearest chord it became
    std::vector<std::string> leftOut; // what that leaves out: "9th", "bass E"
};

struct PastedChords {
    std::vector<Box> chords;
    int beyondTables = 0; // names the chord-symbol reader knows and our tables do not
    std::vector<NameReplaced> replaced; // with Nearest, in order
};

// Chord names as a user pastes them, separated by blanks or line breaks,
// each stored as a name from outside the window is (chord::storedName):
// Bbmaj7 as Bb and M7, one beyond our tables as beyond says, any other
// split into a box's root and kind lines. The text export reads back as the
// chords it was written from: its "Key:" line, a section's name ending in a
// colon before a line's chords, and the degree after a name ("G(I)") are no
// chords.
PastedChords chordsOfText(const QString &text, chord::BeyondTables beyond);

// One line for the user: how many names were replaced, each with what its
// chord leaves out ("C9 → C7「9th」").
QString replacedNotice(const std::vector<NameReplaced> &replaced);

} // namespace memo
