#include "songdocument.h"

#include "chordpro.h"

#include <algorithm>

namespace song
{

namespace
{
// What a song does not end with: a rest that begins no section.
bool holdsNothing(const Bar &bar)
{
    return bar.isEmpty() && bar.section.isEmpty();
}

bool inSong(int index)
{
    return index >= 0 && index < MaxSongChords;
}

// The chord of a root and a kind in a box that keeps its length and section.
Bar restated(const Bar &box, const QString &root, const QString &kind)
{
    Bar bar = barOf(root, kind);
    bar.beats = box.beats;
    bar.section = box.section;
    return bar;
}

SongInfo infoOf(const Song &song)
{
    return {song.title, song.tempo, song.beatsPerBar, song.key, song.capo};
}

Song trimmed(Song song)
{
    while (!song.bars.empty() && holdsNothing(song.bars.back()))
        song.bars.pop_back();
    for (Bar &bar : song.bars) {
        if (bar.beats == song.beatsPerBar)
            bar.beats = 0;
    }
    return song;
}
} // namespace

SongDocument::SongDocument(Song song)
    : m_song(trimmed(std::move(song)))
{
}

SongInfo SongDocument::info() const
{
    return infoOf(m_song);
}

Bar SongDocument::chordAt(int index) const
{
    return index >= 0 && index < chordCount() ? m_song.bars[std::size_t(index)] : Bar {};
}

int SongDocument::pageCount() const
{
    return std::min(chordCount(), MaxSongChords - 1) / memo::MemoSlotCount + 1;
}

PageTexts SongDocument::pageTexts(int page) const
{
    PageTexts texts;
    for (int box = 0; box < memo::MemoSlotCount; ++box) {
        const Bar bar = chordAt(indexOf(page, box));
        texts[std::size_t(box)] = {bar.root, bar.kind};
    }
    return texts;
}

QString SongDocument::pageLine(int page) const
{
    return QStringLiteral("ページ %1/%2").arg(page + 1).arg(pageCount());
}

std::vector<Bar> SongDocument::slice(int from, int to) const
{
    std::vector<Bar> bars;
    for (int k = from; k < to; ++k)
        bars.push_back(chordAt(k));
    return bars;
}

std::optional<SongEdit> SongDocument::replacing(int from, int to, std::vector<Bar> bars) const
{
    const int size = chordCount();
    if (from > size) {
        bars.insert(bars.begin(), std::size_t(from - size), Bar {});
        from = size;
    }
    to = std::min(to, size);
    if (to == size) {
        while (!bars.empty() && holdsNothing(bars.back()))
            bars.pop_back();
        while (bars.empty() && from > 0 && holdsNothing(m_song.bars[std::size_t(from - 1)]))
            --from;
    }
    const int grown = size - (to - from) + int(bars.size());
    if (grown > MaxSongChords && grown > size)
        return std::nullopt;
    return SongEdit {from, slice(from, to), std::move(bars)};
}

std::optional<SongEdit> SongDocument::storing(
    int index, const QString &root, const QString &kind) const
{
    if (!inSong(index))
        return std::nullopt;
    return replacing(index, index + 1, {restated(chordAt(index), root, kind)});
}

std::optional<SongEdit> SongDocument::clearing(int index) const
{
    return storing(index, {}, {});
}

std::optional<SongEdit> SongDocument::closingUp(int index) const
{
    if (!inSong(index))
        return std::nullopt;
    return replacing(index, index + 1, {});
}

std::optional<SongEdit> SongDocument::inserting(int index) const
{
    if (!inSong(index))
        return std::nullopt;
    return replacing(index, index, {Bar {}});
}

std::optional<SongEdit> SongDocument::pasting(
    int index, const std::vector<memo::ChordText> &chords) const
{
    const int end = index + int(chords.size());
    if (!inSong(index) || end > MaxSongChords)
        return std::nullopt;
    std::vector<Bar> bars = slice(index, end);
    for (std::size_t k = 0; k < chords.size(); ++k)
        bars[k] = restated(bars[k], chords[k].root, chords[k].kind);
    return replacing(index, end, std::move(bars));
}

std::optional<SongEdit> SongDocument::moving(int from, int to) const
{
    if (!inSong(from) || !inSong(to))
        return std::nullopt;
    const int low = std::min(from, to), high = std::max(from, to) + 1;
    std::vector<Bar> bars = slice(low, high);
    if (from < to)
        std::rotate(bars.begin(), bars.begin() + 1, bars.end());
    else
        std::rotate(bars.begin(), bars.end() - 1, bars.end());
    return replacing(low, high, std::move(bars));
}

std::optional<SongEdit> SongDocument::copying(int from, int to) const
{
    if (!inSong(from) || !inSong(to))
        return std::nullopt;
    Bar bar = chordAt(from);
    bar.section = chordAt(to).section;
    return replacing(to, to + 1, {bar});
}

std::optional<SongEdit> SongDocument::lengthening(int index, int beats) const
{
    if (!inSong(index) || beats < 0 || beats > MaxChordBeats)
        return std::nullopt;
    Bar bar = chordAt(index);
    // A whole bar is written as one and read back as 0.
    bar.beats = beats == m_song.beatsPerBar ? 0 : beats;
    return replacing(index, index + 1, {bar});
}

std::optional<SongEdit> SongDocument::naming(int index, const QString &section) const
{
    if (!inSong(index))
        return std::nullopt;
    Bar bar = chordAt(index);
    bar.section = section.trimmed();
    return replacing(index, index + 1, {bar});
}

std::optional<SongEdit> SongDocument::informing(const SongInfo &info) const
{
    if (info.tempo < MinTempo || info.tempo > MaxTempo || info.beatsPerBar < MinBeats
        || info.beatsPerBar > MaxBeats || info.capo < 0 || info.capo > chord::MaxCapo)
        return std::nullopt;
    SongEdit edit;
    // Chords as long as the new meter's bar become whole bars, as a file
    // written in it reads back.
    const auto whole = [&info](const Bar &bar) { return bar.beats == info.beatsPerBar; };
    const auto first = std::ranges::find_if(m_song.bars, whole);
    if (first != m_song.bars.end()) {
        const auto last = std::find_if(m_song.bars.rbegin(), m_song.bars.rend(), whole).base();
        edit.at = int(first - m_song.bars.begin());
        edit.before.assign(first, last);
        edit.after = edit.before;
        for (Bar &bar : edit.after)
            bar.beats = whole(bar) ? 0 : bar.beats;
    }
    edit.infoBefore = this->info();
    edit.infoAfter = info;
    return edit;
}

SongEdit SongDocument::transposing(
    int semitones, chord::Spelling spelling, std::optional<chord::Key> key) const
{
    const Song moved = transposed(m_song, semitones, spelling, key);
    const std::vector<Bar> &from = m_song.bars, &to = moved.bars;
    // Only the chords that move are kept in the step.
    const auto first = std::ranges::mismatch(from, to).in1 - from.begin();
    const auto last = from.size()
        - (std::mismatch(from.rbegin(), from.rend() - first, to.rbegin()).first - from.rbegin());
    SongEdit edit {int(first), {from.begin() + first, from.begin() + qsizetype(last)},
        {to.begin() + first, to.begin() + qsizetype(last)}};
    edit.infoBefore = info();
    edit.infoAfter = infoOf(moved);
    return edit;
}

SongEdit SongDocument::replacingAll(const Song &other) const
{
    Song taken = trimmed(other);
    taken.title = m_song.title;
    if (int(taken.bars.size()) > MaxSongChords)
        taken.bars.resize(std::size_t(MaxSongChords));
    return {0, m_song.bars, taken.bars, infoOf(m_song), infoOf(taken)};
}

void SongDocument::apply(const SongEdit &edit, bool forward)
{
    const std::vector<Bar> &gone = forward ? edit.before : edit.after;
    const std::vector<Bar> &made = forward ? edit.after : edit.before;
    std::vector<Bar> &bars = m_song.bars;
    const std::size_t common = std::min(gone.size(), made.size());
    const auto at = bars.begin() + edit.at;
    std::copy_n(made.begin(), common, at);
    if (made.size() > common)
        bars.insert(at + qsizetype(common), made.begin() + qsizetype(common), made.end());
    else
        bars.erase(at + qsizetype(common), at + qsizetype(gone.size()));
    if (const auto &next = forward ? edit.infoAfter : edit.infoBefore) {
        const SongInfo &info = *next;
        m_song.title = info.title;
        m_song.tempo = info.tempo;
        m_song.beatsPerBar = info.beatsPerBar;
        m_song.key = info.key;
        m_song.capo = info.capo;
    }
}

QByteArray SongDocument::fileBytes() const
{
    return chordProBytes(m_song);
}

SongDocument SongDocument::fromFile(const ChordProSong &read, const QString &title)
{
    return SongDocument(songOfChordPro(read, title, DefaultTempo, DefaultBeats));
}

std::optional<SongEdit> joined(const SongEdit &first, const SongEdit &second)
{
    const int firstAt = first.at, firstEnd = first.at + int(first.after.size());
    const int secondAt = second.at, secondEnd = second.at + int(second.before.size());
    if (secondAt > firstEnd || secondEnd < firstAt)
        return std::nullopt;
    // Between the two, the song as the first left it: what the second found,
    // else what the first made.
    const auto between = [&](int index) -> const Bar & {
        return index >= secondAt && index < secondEnd ? second.before[std::size_t(index - secondAt)]
                                                      : first.after[std::size_t(index - firstAt)];
    };
    const int low = std::min(firstAt, secondAt), high = std::max(firstEnd, secondEnd);
    SongEdit edit {low, {}, {}, first.infoBefore ? first.infoBefore : second.infoBefore,
        second.infoAfter ? second.infoAfter : first.infoAfter};
    const auto around = [&](std::vector<Bar> &bars, int at, const std::vector<Bar> &made, int end) {
        for (int k = low; k < at; ++k)
            bars.push_back(between(k));
        bars.insert(bars.end(), made.begin(), made.end());
        for (int k = end; k < high; ++k)
            bars.push_back(between(k));
    };
    around(edit.before, firstAt, first.before, firstEnd);
    around(edit.after, secondAt, second.after, secondEnd);
    return edit;
}

} // namespace song
