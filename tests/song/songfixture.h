#pragma once

#include "song.h"

#include <QList>
#include <QStringList>

// A song of boxes given as {root, kind}, {root} or {} for an empty box, with
// the notes the program gives them.
using Boxes = QList<QStringList>;

inline song::Song songOf(const Boxes &boxes, const QString &title = QStringLiteral("Song"),
    int tempo = song::DefaultTempo, int beats = song::DefaultBeats)
{
    song::Song s {title, tempo, beats, {}};
    for (const QStringList &box : boxes)
        s.bars.push_back(song::barOf(box.value(0), box.value(1)));
    return s;
}

// Ten chords, then an empty box and two more: two rows of the memo grid.
inline Boxes twoRows()
{
    return {{"C"}, {"A", "m"}, {"F"}, {"G", "7"}, {"E", "m"}, {"A", "m7"}, {"D", "m7"}, {"G", "7"},
        {"C", "M7"}, {"Bb"}, {}, {"F#", "m7-5"}, {"B", "7"}};
}

// The song with each chord's length in beats (0: a whole bar) and the
// sections that begin, by box.
inline song::Song shaped(
    song::Song s, const QList<int> &beats, const QList<std::pair<int, QString>> &sections = {})
{
    for (qsizetype k = 0; k < beats.size(); ++k)
        s.bars[std::size_t(k)].beats = beats[k];
    for (const auto &[box, name] : sections)
        s.bars[std::size_t(box)].section = name;
    return s;
}
