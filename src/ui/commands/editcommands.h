#pragma once

#include "chordmemo.h"
#include "memoedit.h"
#include "transpose.h"

#include <QObject>

#include <optional>

class QAction;

namespace memo
{
class MemoHistory;
} // namespace memo

namespace ui
{
class BeyondTablesQuestion;
class ChordWindow;
class NoticeLine;

// The 編集 menu over the memo's boxes: the history's steps, the clipboard,
// emptying, closing up and opening boxes, boxes dragged onto others, and 移調.
// Every change of the boxes goes through the history, the window's chords
// stored too.
class EditCommands : public QObject
{
    Q_OBJECT
public:
    // All stay the caller's and outlive this. Without a question, pasted
    // names beyond our tables are kept as written.
    EditCommands(ChordWindow *window, memo::ChordMemo &memo, memo::MemoHistory *history,
        NoticeLine *notice, BeyondTablesQuestion *question = nullptr);

    // Moves every box's root, as 移調 does: one step of the history.
    void transpose(int semitones, chord::Spelling spelling);

private:
    void store(int box, const QString &root, const QString &kind, bool typed);
    void boxesChanged(const QList<int> &boxes);
    void dropped(int from, int to, bool copy);
    bool hasSelectedBox() const;
    void changeBoxes(const QString &label, const std::optional<memo::Boxes> &after);
    template<typename Edit> void editSelectedBox(const QString &label, Edit edit);
    void cutClicked();
    void copyClicked();
    void pasteClicked();
    void deleteClicked();
    void closeUpClicked();
    void insertClicked();
    void transposeClicked();

    ChordWindow *m_window;
    memo::ChordMemo &m_memo;
    memo::MemoHistory *m_history;
    NoticeLine *m_notice;
    BeyondTablesQuestion *m_question;
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
    // Set only while the window's own chord is being stored: that step's
    // change is already on show.
    bool m_storingShown = false;
};

} // namespace ui
