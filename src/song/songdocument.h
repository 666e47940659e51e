#pragma once

#include "chordmemo.h"
#include "chordproreader.h"
#include "song.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace song
{

// The song's own data apart from its chords.
struct SongInfo {
    QString title;
    int tempo = DefaultTempo;
    int beatsPerBar = DefaultBeats;
    std::optional<chord::Key> key {};
    int capo = 0;
    friend bool operator==(const SongInfo &, const SongInfo &) = default;
};

// One change of a song: the chords at..at + before.size() become after (the
// rest of the song moving on or back when the counts differ), and the info
// changes when it says so. Undone by putting before back, so a step
// keeps only what it touched: an insert at the start of a long song keeps one
// chord, not the song.
struct SongEdit {
    int at = 0;
    std::vector<Bar> before;
    std::vector<Bar> after;
    std::optional<SongInfo> infoBefore {};
    std::optional<SongInfo> infoAfter {};

    bool isEmpty() const { return before == after && infoBefore == infoAfter; }
};

// The texts of a page's boxes, as the memo's boxes show them.
using PageTexts = std::array<memo::ChordText, memo::MemoSlotCount>;

// A song being edited, by chord index over the whole song. The song ends
// after its last chord that holds anything (a rest with a section counts):
// rests after it are dropped at once, as reading a file drops them, so that
// the document is always what saving and opening it again gives.
//
// Each edit below gives the change it would make without making it, nothing
// when it is refused; apply() makes it. A chord stored past the end makes the
// boxes between rests, so that the chord lands in the box it was put in. No
// edit lets the song grow past MaxSongChords.
class SongDocument
{
public:
    explicit SongDocument(Song song = {});

    const Song &song() const { return m_song; }
    int chordCount() const { return int(m_song.bars.size()); }
    SongInfo info() const;
    // The chord at an index; a rest past the end.
    Bar chordAt(int index) const;

    // Pages of the memo's count of boxes. They hold every chord and the box
    // after the last, where the next one goes (unless the song is at its
    // bound): a song of 30 chords has an empty second page. Pages count from 0.
    int pageCount() const;
    static int pageOf(int index) { return index / memo::MemoSlotCount; }
    static int boxOf(int index) { return index % memo::MemoSlotCount; }
    static int indexOf(int page, int box) { return page * memo::MemoSlotCount + box; }
    PageTexts pageTexts(int page) const;
    // 「ページ 2/3」 for page 1.
    QString pageLine(int page) const;

    std::optional<SongEdit> storing(int index, const QString &root, const QString &kind) const;
    // The chord becomes a rest; its length and section stay.
    std::optional<SongEdit> clearing(int index) const;
    std::optional<SongEdit> closingUp(int index) const;
    // A rest of a bar opens at the index; refused when the song is full.
    std::optional<SongEdit> inserting(int index) const;
    // The chords fill the boxes from the index on, as pasting into the memo does.
    std::optional<SongEdit> pasting(int index, const std::vector<memo::ChordText> &chords) const;
    // The chord, its length and section move; the chords between shift by one.
    std::optional<SongEdit> moving(int from, int to) const;
    // The chord and its length; the box copied to keeps its section.
    std::optional<SongEdit> copying(int from, int to) const;
    // In beats, 1 to MaxChordBeats; 0 (or the meter's beats) is a whole bar.
    std::optional<SongEdit> lengthening(int index, int beats) const;
    // An empty name ends none there.
    std::optional<SongEdit> naming(int index, const QString &section) const;
    // Tempo, meter and capo out of their ranges are refused.
    std::optional<SongEdit> informing(const SongInfo &info) const;
    // Every chord, the tempo, meter, key and capo of another song, as an
    // import brings them; the title stays.
    SongEdit replacingAll(const Song &other) const;
    SongEdit transposing(int semitones, chord::Spelling spelling,
        std::optional<chord::Key> key = std::nullopt) const;

    // Makes the edit, or undoes it when it was the last one made.
    void apply(const SongEdit &edit, bool forward = true);

    // The song file's bytes, as chordProBytes() writes them.
    QByteArray fileBytes() const;
    // The document a read song file holds; a file without a title takes the
    // one given (its file's name), without tempo or meter the defaults.
    static SongDocument fromFile(const ChordProSong &read, const QString &title);

private:
    // The change that puts bars in place of from..to, which may reach past
    // the end, keeping the song's end after its last chord.
    std::optional<SongEdit> replacing(int from, int to, std::vector<Bar> bars) const;
    // The chords from..to as they stand, rests past the end.
    std::vector<Bar> slice(int from, int to) const;

    Song m_song;
};

// Two edits made one after the other as one, as typing into a box is; nothing
// when the second does not touch what the first changed.
std::optional<SongEdit> joined(const SongEdit &first, const SongEdit &second);

} // namespace song
