#pragma once

#include "chordmemo.h"
#include "memoedit.h"
#include "transpose.h"

#include <QObject>

#include <functional>

#include <optional>

class QAction;
class QMenu;

namespace ui
{
class BeyondTablesQuestion;
class ChordBoxes;
class ChordWindow;
class NoticeLine;

// The 編集 menu over the boxes, the memo's or a song's page: the history's
// steps, the clipboard, emptying, closing up and opening boxes, boxes dragged
// onto others, and 移調. Every change of the boxes is a step of the history
// in use, the window's chords stored too.
class EditCommands : public QObject
{
    Q_OBJECT
public:
    // All stay the caller's and outlive this. Without a question, pasted
    // names beyond our tables are kept as written.
    EditCommands(ChordWindow *window, ChordBoxes *boxes, NoticeLine *notice,
        BeyondTablesQuestion *question = nullptr);

    // Moves every box's root, as 移調 does: one step of the history.
    void transpose(int semitones, chord::Spelling spelling);

    // What 移調 asks of the song's key, given the semitones: the key 自動
    // spells by, and what changes beside the boxes in the same step (a
    // chosen key moving with them), if anything.
    struct SongKey {
        std::optional<chord::Key> key;
        std::function<void(bool done)> alongside;
    };
    void setSongKey(std::function<SongKey(int semitones)> songKey);

    // Step entry: each chord stored into a box moves the receiving box on
    // to the next, in the same step of the history; the last box stays.
    void setStepEntry(bool on) { m_stepEntry = on; }
    bool stepEntry() const { return m_stepEntry; }
    QMenu *menu() const { return m_menu; }

private:
    void store(int box, const QString &root, const QString &kind, bool typed);
    void boxesChanged(const QList<int> &boxes);
    void dropped(int from, int to, bool copy);
    bool hasSelectedBox() const;
    void pageShown();
    // The edit of the receiving box; the notice of a full memo or song when refused.
    void editSelectedBox(bool (ChordBoxes::*edit)(int box));
    void cutClicked();
    void copyClicked();
    void pasteClicked();
    void deleteClicked();
    void closeUpClicked();
    void insertClicked();
    void transposeClicked();

    ChordWindow *m_window;
    ChordBoxes *m_boxes;
    NoticeLine *m_notice;
    BeyondTablesQuestion *m_question;
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
    // Set only while the window's own chord is being stored: that step's
    // change is already on show.
    bool m_storingShown = false;
    // Set between a box chosen and the storing of its own chord that follows.
    bool m_boxJustChosen = false;
    bool m_stepEntry = false;
    std::function<SongKey(int semitones)> m_songKey;
    QMenu *m_menu = nullptr;
};

} // namespace ui
