#include "song.h"

#include "chordmemo.h"
#include "midinotes.h"
#include "placement.h"

#include <QFileInfo>

namespace song
{

namespace
{
constexpr double SecondsPerMinute = 60.0;
}

Bar barOf(const QString &root, const QString &kind)
{
    Bar bar {root, kind, {}};
    const auto placement = chord::placeChord(root.toStdString(), kind.toStdString());
    for (const int semitone : chord::soundingNotes(placement))
        bar.notes.push_back(chord::midiNote(semitone));
    return bar;
}

Song songFromMemo(const memo::ChordMemo &memo, const QString &title, int tempo, int beatsPerBar)
{
    Song song {title, tempo, beatsPerBar, {}};
    int last = -1;
    for (int k = 0; k < memo::MemoSlotCount; ++k) {
        const memo::ChordText chord = memo.fetch(k);
        if (!chord.root.isEmpty() || !chord.kind.isEmpty())
            last = k;
    }
    for (int k = 0; k <= last; ++k) {
        const memo::ChordText chord = memo.fetch(k);
        song.bars.push_back(barOf(chord.root, chord.kind));
    }
    return song;
}

Song transposed(const Song &song, int semitones, chord::Spelling spelling)
{
    Song moved = song;
    for (Bar &bar : moved.bars) {
        const std::string root = bar.root.toStdString();
        const std::string to = chord::transposeRoot(root, semitones, spelling);
        if (to != root)
            bar = barOf(QString::fromStdString(to), bar.kind);
    }
    return moved;
}

QString titleFromPath(const QString &path)
{
    return QFileInfo(path).completeBaseName();
}

double barSeconds(const Song &song)
{
    return song.beatsPerBar * SecondsPerMinute / song.tempo;
}

} // namespace song
