#pragma once

#include "chordmemo.h"
#include "memoedit.h"
#include "songplayer.h"
#include "songsettings.h"

#include <QList>
#include <QObject>
#include <QUndoGroup>

#include <functional>
#include <memory>
#include <optional>

namespace memo
{
class MemoHistory;
} // namespace memo

namespace song
{
class SongDocument;
class SongHistory;
struct SongChange;
} // namespace song

namespace ui
{

// The 30 boxes the window shows and every edit made on them: the memo's
// boxes, or one page of an open song. The controllers edit through this and
// never ask which it is, except for what only a song has (lengths, sections,
// pages). Box numbers are those of the shown page; a song's edits reach past
// it (an insert moves the rest of the song on).
class ChordBoxes : public QObject
{
    Q_OBJECT
public:
    // A step's own change beside the boxes, as MemoHistory takes it.
    using Alongside = std::function<void(bool after)>;

    // All stay the caller's and outlive this.
    ChordBoxes(memo::ChordMemo &memo, memo::MemoHistory *history, QObject *parent = nullptr);
    ~ChordBoxes() override;

    // The box that receives the chord on show: one of the page, or the
    // hidden scratch slot.
    int receivingBox() const { return m_memo.curslot; }
    bool hasReceivingBox() const { return m_memo.curslot < memo::MemoSlotCount; }
    // No box receives chords until one is chosen again.
    void unselect() { m_memo.curslot = memo::ScratchSlot; }
    // Tried in the hidden box: no step, nothing saved.
    void storeScratch(const QString &root, const QString &kind) { m_memo.store(root, kind); }

    memo::ChordText text(int box) const;
    // Whether anything is there to play, export or print.
    bool holdsAnything() const;

    // The undo stack in use: the memo's, or the open song's.
    QUndoGroup *undoGroup() { return &m_group; }
    void endMerging();

    // Each edit is false when refused: the memo's 30 boxes or the song's
    // bound would not hold it. Nothing changes then.
    bool store(int box, const QString &root, const QString &kind, bool typed,
        Alongside alongside = {});
    bool clear(int box);
    bool cut(int box); // a clear named as the clipboard's
    bool closeUp(int box);
    bool insert(int box);
    bool paste(int box, const std::vector<memo::Box> &chords);
    bool move(int from, int to);
    bool copy(int from, int to);
    void transpose(int semitones, chord::Spelling spelling, std::optional<chord::Key> key,
        Alongside alongside = {});
    // Every chord at once, as an import brings them; a memo takes up to its
    // 30 boxes, each a bar.
    void replaceAll(const QString &label, const song::Song &tune, Alongside alongside = {});
    // How many chords the boxes can hold from box on.
    int roomFrom(int box) const;
    // The bound itself, for the user: "メモ" holds 30, a song MaxSongChords.
    QString fullNotice() const;

    // The whole song: the memo's boxes up to the last that holds anything,
    // or every chord of the song. Title, tempo and meter as given for a
    // memo; a song has its own.
    song::Song wholeSong(const QString &memoTitle, const song::SongSettings &memoSettings) const;
    // The song for the player, each chord read when it is played.
    song::SongPlayer::SongSource playSource(const song::SongSettings &memoSettings) const;
    // The song index of a box of the page shown.
    int indexOf(int box) const;
    // Turns to the page of a song's chord; its box there.
    int showChord(int index);

    // --- only with a song open ---
    bool holdsSong() const { return m_song != nullptr; }
    bool readOnly() const;
    void setReadOnly(bool readOnly);
    song::SongDocument *songDocument() const;
    song::SongHistory *songHistory() const;
    // Opens the song in place of the memo's boxes, on its first page, with a
    // history of its own; read-only when another window has it.
    void openSong(const song::SongDocument &document, bool readOnly);
    // The memo's boxes again; the song's history goes with it.
    void closeSong();
    int page() const { return m_page; }
    int pageCount() const;
    QString pageLine() const;
    // Turns to the page, kept within the song's pages; false when it is the one shown.
    bool showPage(int page);
    // Length in beats (0: a whole bar) and the section a box begins.
    int beatsOf(int box) const;
    QString sectionOf(int box) const;
    int beatsPerBar() const;
    bool setLength(int box, int beats);
    bool setSection(int box, const QString &name);
    song::SongSettings songSettings() const;
    bool setSongSettings(const song::SongSettings &settings);
    QString songTitle() const;
    bool setSongTitle(const QString &title);

signals:
    // Boxes of the page shown that an edit, its undo or redo changed.
    void boxesChanged(const QList<int> &boxes);
    // Every box shows something else: another page, a song opened or closed.
    void pageShown();
    // A step, its undo or redo changed the chords, on the page shown or not
    // (after boxesChanged or pageShown): a song's file is saved, the key
    // found again. Once for each.
    void chordsChanged();
    // The song's own tempo, meter, key, capo or title changed.
    void songInfoChanged();

private:
    void memoChanged(const QList<int> &boxes);
    void songStepMade(const song::SongChange &change);
    bool changeMemo(const QString &label, const std::optional<memo::Boxes> &after,
        Alongside alongside = {}, int mergeBox = -1);

    memo::ChordMemo &m_memo;
    memo::MemoHistory *m_history;
    QUndoGroup m_group;
    struct OpenSong;
    std::unique_ptr<OpenSong> m_song;
    int m_page = 0;
};

} // namespace ui
