#include "song.h"

#include "chordmemo.h"
#include "chordsymbol.h"
#include "degree.h"
#include "keyfinding.h"
#include "midinotes.h"
#include "placement.h"

#include <QFileInfo>

namespace song
{

namespace
{
constexpr double SecondsPerMinute = 60.0;
}

QString Bar::standardName() const
{
    return QString::fromStdString(chord::standardChordName(root.toStdString(), kind.toStdString()));
}

Bar barOf(const QString &root, const QString &kind)
{
    Bar bar {root, kind, {}};
    const auto placement = chord::placeChord(root.toStdString(), kind.toStdString());
    for (const int semitone : chord::soundingNotes(placement))
        bar.notes.push_back(chord::midiNote(semitone));
    return bar;
}

int songLength(const memo::ChordMemo &memo)
{
    for (int k = memo::MemoSlotCount; k > 0; --k) {
        const memo::ChordText chord = memo.fetch(k - 1);
        if (!chord.root.isEmpty() || !chord.kind.isEmpty())
            return k;
    }
    return 0;
}

Bar memoBar(const memo::ChordMemo &memo, int box)
{
    const memo::ChordText chord = memo.fetch(box);
    return barOf(chord.root, chord.kind);
}

Song songFromMemo(const memo::ChordMemo &memo, const QString &title, int tempo, int beatsPerBar)
{
    Song song {title, tempo, beatsPerBar, {}};
    const int length = songLength(memo);
    for (int k = 0; k < length; ++k)
        song.bars.push_back(memoBar(memo, k));
    return song;
}

Song transposed(
    const Song &song, int semitones, chord::Spelling spelling, std::optional<chord::Key> key)
{
    std::vector<std::string> roots;
    for (const Bar &bar : song.bars)
        roots.push_back(bar.root.toStdString());
    const chord::Spelling spelled
        = chord::keySpelling(roots, semitones, spelling, key ? key : song.key);
    Song moved = song;
    if (moved.key)
        moved.key = chord::movedKey(*moved.key, semitones);
    for (Bar &bar : moved.bars) {
        const std::string root = bar.root.toStdString();
        const std::string to = chord::transposeRoot(root, semitones, spelled);
        if (to == root)
            continue;
        const Bar moved = barOf(QString::fromStdString(to), bar.kind);
        bar.root = moved.root;
        bar.notes = moved.notes;
    }
    return moved;
}

std::optional<chord::Key> keyInEffect(const Song &song)
{
    if (song.key)
        return song.key;
    std::vector<std::string> roots, kinds;
    for (const Bar &bar : song.bars) {
        roots.push_back(bar.root.toStdString());
        kinds.push_back(bar.kind.toStdString());
    }
    std::vector<chord::NamedChord> chords;
    for (std::size_t k = 0; k < roots.size(); ++k)
        chords.push_back({roots[k], kinds[k]});
    if (const auto found = chord::findKey(chords))
        return found->key;
    return std::nullopt;
}

QString asciiDegree(const Bar &bar, std::optional<chord::Key> key)
{
    if (!key)
        return {};
    const std::string root = bar.root.toStdString(), kind = bar.kind.toStdString();
    return QString::fromStdString(chord::degreeName({root, kind}, *key, chord::DegreeStyle::Ascii));
}

QString lengthName(int beats, int beatsPerBar)
{
    if (beats == 0)
        return QStringLiteral("1 小節");
    if (beats % beatsPerBar == 0)
        return QStringLiteral("%1 小節").arg(beats / beatsPerBar);
    return QStringLiteral("%1 拍").arg(beats);
}

std::vector<qint64> chordStarts(const Song &song)
{
    std::vector<qint64> starts {0};
    for (const Bar &bar : song.bars)
        starts.push_back(starts.back() + beatsOf(bar, song.beatsPerBar));
    return starts;
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
