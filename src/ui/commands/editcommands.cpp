#include "editcommands.h"

#include "chordwindow.h"
#include "memohistory.h"
#include "noticeline.h"
#include "transposedialog.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QScopedValueRollback>
#include <QUndoStack>

namespace
{
const QString MemoFull = QStringLiteral("メモがいっぱいです（%1 個まで）").arg(memo::MemoSlotCount);
const QString UndoCaption = QStringLiteral("元に戻す(&U)");
const QString RedoCaption = QStringLiteral("やり直し(&R)");
const QString StepCaption = QStringLiteral("%1: %2");

QString boxNumber(int box)
{
    return QString::number(box + 1);
}
} // namespace

ui::EditCommands::EditCommands(
    ChordWindow *window, memo::ChordMemo &memo, memo::MemoHistory *history, NoticeLine *notice)
    : QObject(window)
    , m_window(window)
    , m_memo(memo)
    , m_history(history)
    , m_notice(notice)
{
    connect(history, &memo::MemoHistory::boxesChanged, this, &EditCommands::boxesChanged);
    connect(window, &ChordWindow::chordStored, this, &EditCommands::store);
    connect(window, &ChordWindow::boxChosen, this, [this] {
        m_history->endMerging();
        m_boxJustChosen = true;
    });
    connect(window, &ChordWindow::boxDropped, this, &EditCommands::dropped);

    auto *edit = m_menu = new QMenu(QStringLiteral("編集(&E)"), window);
    edit->setObjectName(QStringLiteral("edit"));
    edit->setFont(window->font());
    // Right after the file menu.
    window->menuBar()->insertMenu(window->helpMenuAction(), edit);

    struct Item {
        const char *name;
        const char *caption;
        QList<QKeySequence> keys;
        void (EditCommands::*handler)();
        bool separatorBefore = false;
    };
    const Item items[] {
        {"undo", "元に戻す(&U)", {QKeySequence(Qt::CTRL | Qt::Key_Z)}, nullptr},
        {"redo", "やり直し(&R)",
            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
            nullptr},
        {"cut", "切り取り(&T)", {QKeySequence(Qt::CTRL | Qt::Key_X)}, &EditCommands::cutClicked,
            true},
        {"copy", "コピー(&C)", {QKeySequence(Qt::CTRL | Qt::Key_C)}, &EditCommands::copyClicked},
        {"paste", "貼り付け(&P)", {QKeySequence(Qt::CTRL | Qt::Key_V)},
            &EditCommands::pasteClicked},
        {"delete", "削除(&D)", {QKeySequence(Qt::Key_Delete)}, &EditCommands::deleteClicked, true},
        {"closeup", "削除して詰める(&K)", {QKeySequence(Qt::CTRL | Qt::Key_Delete)},
            &EditCommands::closeUpClicked},
        {"insert", "空きを挿入(&I)", {QKeySequence(Qt::Key_Insert)}, &EditCommands::insertClicked},
        {"transpose", "移調(&J)...", {QKeySequence(Qt::CTRL | Qt::Key_T)},
            &EditCommands::transposeClicked, true},
    };
    QList<QKeySequence> windowKeys;
    for (const Item &item : items) {
        if (item.separatorBefore)
            edit->addSeparator();
        QAction *action = edit->addAction(QString::fromUtf8(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
        action->setShortcuts(item.keys);
        if (item.handler)
            connect(action, &QAction::triggered, this, item.handler);
        // Plain Delete and Insert edit a text box's text while it has the focus.
        for (const QKeySequence &key : item.keys) {
            if (key != QKeySequence(Qt::Key_Delete) && key != QKeySequence(Qt::Key_Insert))
                windowKeys << key;
        }
        if (std::string_view(item.name) == "undo")
            m_undo = action;
        else if (std::string_view(item.name) == "redo")
            m_redo = action;
    }
    window->leaveKeysToWindow(windowKeys);

    QUndoStack *stack = history->undoStack();
    connect(m_undo, &QAction::triggered, stack, &QUndoStack::undo);
    connect(m_redo, &QAction::triggered, stack, &QUndoStack::redo);
    const auto follow = [this, stack] {
        m_undo->setEnabled(stack->canUndo());
        m_redo->setEnabled(stack->canRedo());
        m_undo->setText(
            stack->canUndo() ? StepCaption.arg(UndoCaption, stack->undoText()) : UndoCaption);
        m_redo->setText(
            stack->canRedo() ? StepCaption.arg(RedoCaption, stack->redoText()) : RedoCaption);
    };
    connect(stack, &QUndoStack::indexChanged, this, follow);
    follow();
}

// The chord on show goes into its box: tried in the hidden box, not kept as
// a step; a step of its own in a box of the memo.
void ui::EditCommands::store(int box, const QString &root, const QString &kind, bool typed)
{
    // A chosen box's own chord, shown as it is chosen, moves nothing on.
    const bool ownChord = std::exchange(m_boxJustChosen, false);
    if (box == memo::ScratchSlot) {
        m_memo.store(root, kind);
        return;
    }
    if (m_storingShown)
        return; // the box's chord shown back to it after a step
    const QScopedValueRollback storing(m_storingShown, true);
    const QString label = QStringLiteral("メモ %1 に %2").arg(box + 1).arg(root + kind);
    const memo::Boxes after = memo::stored(memo::boxesOf(m_memo), box, root, kind);
    const int next = box + 1;
    if (!m_stepEntry || ownChord || next == memo::MemoSlotCount) {
        m_history->change(label, after, typed ? box : -1);
        return;
    }
    // A step of its own, typed or not: typing is stored as 表示 or Enter
    // shows it, never key by key.
    m_history->change(label, after,
        [window = m_window, box, next](bool done) { window->moveReceivingBox(done ? next : box); });
}

// What a step changed goes into the boxes' labels; the receiving box's chord
// goes onto the keyboard when a step other than its own storing changed it.
void ui::EditCommands::boxesChanged(const QList<int> &boxes)
{
    for (const int k : boxes)
        m_window->showBoxCaption(k, m_memo.fetch(k).root + m_memo.fetch(k).kind);
    if (m_storingShown || !boxes.contains(m_memo.curslot))
        return;
    // Its storing is no step: the box holds that chord already.
    const QScopedValueRollback storing(m_storingShown, true);
    m_window->showStoredChord(m_memo.fetch(m_memo.curslot));
}

bool ui::EditCommands::hasSelectedBox() const
{
    return m_memo.curslot < memo::MemoSlotCount;
}

void ui::EditCommands::changeBoxes(const QString &label, const std::optional<memo::Boxes> &after)
{
    if (!after) {
        m_notice->show(MemoFull);
        return;
    }
    m_history->change(label, *after);
}

template<typename Edit> void ui::EditCommands::editSelectedBox(const QString &label, Edit edit)
{
    if (!hasSelectedBox())
        return;
    const int box = m_memo.curslot;
    changeBoxes(label.arg(boxNumber(box)), edit(memo::boxesOf(m_memo), box));
}

void ui::EditCommands::deleteClicked()
{
    editSelectedBox(QStringLiteral("削除（メモ %1）"), memo::emptied);
}

void ui::EditCommands::closeUpClicked()
{
    editSelectedBox(QStringLiteral("削除して詰める（メモ %1）"), memo::closedUp);
}

void ui::EditCommands::insertClicked()
{
    editSelectedBox(QStringLiteral("空きを挿入（メモ %1）"), memo::opened);
}

void ui::EditCommands::copyClicked()
{
    if (!hasSelectedBox())
        return;
    const memo::ChordText chord = m_memo.fetch(m_memo.curslot);
    if (!chord.root.isEmpty() || !chord.kind.isEmpty())
        QApplication::clipboard()->setText(chord.root + chord.kind);
}

void ui::EditCommands::cutClicked()
{
    if (!hasSelectedBox())
        return;
    copyClicked();
    editSelectedBox(QStringLiteral("切り取り（メモ %1）"), memo::emptied);
}

void ui::EditCommands::dropped(int from, int to, bool copy)
{
    if (to < 0 || to == from)
        return;
    const memo::Boxes boxes = memo::boxesOf(m_memo);
    if (copy)
        m_history->change(
            QStringLiteral("コピー（メモ %1 → %2）").arg(boxNumber(from), boxNumber(to)),
            memo::copied(boxes, from, to));
    else
        m_history->change(
            QStringLiteral("移動（メモ %1 → %2）").arg(boxNumber(from), boxNumber(to)),
            memo::moved(boxes, from, to));
}

void ui::EditCommands::pasteClicked()
{
    if (!hasSelectedBox())
        return;
    const std::vector<memo::Box> chords = memo::chordsOfText(QApplication::clipboard()->text());
    if (chords.empty())
        return;
    const int box = m_memo.curslot;
    const auto after = memo::filled(memo::boxesOf(m_memo), box, chords);
    if (!after) {
        m_notice->show(MemoFull
            + QStringLiteral(": 貼り付ける %1 個のうち、メモ %2 からは %3 個しか入りません")
                  .arg(chords.size())
                  .arg(boxNumber(box))
                  .arg(memo::MemoSlotCount - box));
        return;
    }
    m_history->change(QStringLiteral("貼り付け（メモ %1）").arg(boxNumber(box)), *after);
}

void ui::EditCommands::transposeClicked()
{
    ui::TransposeDialog dialog(m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    transpose(dialog.semitones(), dialog.spelling());
}

void ui::EditCommands::setSongKey(std::function<SongKey(int semitones)> songKey)
{
    m_songKey = std::move(songKey);
}

void ui::EditCommands::transpose(int semitones, chord::Spelling spelling)
{
    const SongKey song = m_songKey ? m_songKey(semitones) : SongKey {};
    const QString label = ui::transposeLabel(semitones, spelling);
    const memo::Boxes after
        = memo::transposed(memo::boxesOf(m_memo), semitones, spelling, song.key);
    if (song.alongside)
        m_history->change(label, after, song.alongside);
    else
        m_history->change(label, after);
}
