#pragma once

#include <QString>
#include <QStringView>

#include <vector>

// How the ChordPro reader sees one line of chords: what stands in brackets
// and what stands between them, in order.
namespace song::chordpro
{

// What a line holds outside its words, in order.
struct Item {
    enum Kind { Chord, Beat, BarLine, Repeat } kind;
    QString text; // a chord's
    QString section; // the section a chord begins
};

struct LineItems {
    std::vector<Item> items;
    bool words = false; // lyrics; never in a grid, where a word is a chord
    int annotations = 0;
    int barLines = 0;
};

// A line's chords in brackets, each name on one line and trimmed, without
// the byte order mark that joining two files leaves inside a line;
// annotations ([*Coda]) counted; outside the
// brackets, bar lines (a run of | with the : and final . of repeat and end
// signs), beats (a lone .) and words. In a grid, / is a beat too, % repeats
// a bar and a word is a chord. A bracket that opens inside a chord starts the
// chord again; one that never closes holds no chord, and is words.
LineItems readItems(QStringView text, bool grid);

} // namespace song::chordpro
