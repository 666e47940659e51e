#include "editcommands.h"

#include "beyondtables.h"
#include "chordboxes.h"
#include "chordwindow.h"
#include "noticeline.h"
#include "transposedialog.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QScopedValueRollback>
#include <QUndoGroup>
#include <QUndoStack>

namespace
{
const QString UndoCaption = QStringLiteral("元に戻す(&U)");
const QString RedoCaption = QStringLiteral("やり直し(&R)");
const QString StepCaption = QStringLiteral("%1: %2");
// Why it is read-only was said as it opened, and stays in the title.
const QString ReadOnlyNotice = QStringLiteral("この曲は読み取り専用です: 変更できません");
} // namespace

ui::EditCommands::EditCommands(
    ChordWindow *window, ChordBoxes *boxes, NoticeLine *notice, BeyondTablesQuestion *question)
    : QObject(window)
    , m_window(window)
    , m_boxes(boxes)
    , m_notice(notice)
    , m_question(question)
{
    connect(boxes, &ChordBoxes::boxesChanged, this, &EditCommands::boxesChanged);
    connect(boxes, &ChordBoxes::pageShown, this, &EditCommands::pageShown);
    connect(window, &ChordWindow::chordStored, this, &EditCommands::store);
    connect(window, &ChordWindow::boxChosen, this, [this] {
        m_boxes->endMerging();
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

    // The history in use: the memo's, or the open song's.
    QUndoGroup *group = boxes->undoGroup();
    connect(m_undo, &QAction::triggered, group, &QUndoGroup::undo);
    connect(m_redo, &QAction::triggered, group, &QUndoGroup::redo);
    const auto follow = [this, group] {
        m_undo->setEnabled(group->canUndo());
        m_redo->setEnabled(group->canRedo());
        m_undo->setText(
            group->canUndo() ? StepCaption.arg(UndoCaption, group->undoText()) : UndoCaption);
        m_redo->setText(
            group->canRedo() ? StepCaption.arg(RedoCaption, group->redoText()) : RedoCaption);
    };
    connect(group, &QUndoGroup::indexChanged, this, follow);
    connect(group, &QUndoGroup::activeStackChanged, this, follow);
    follow();
}

// The chord on show goes into its box: tried in the hidden box, not kept as
// a step; a step of its own in a box of the memo or the song.
void ui::EditCommands::store(int box, const QString &root, const QString &kind, bool typed)
{
    // A chosen box's own chord, shown as it is chosen, moves nothing on.
    const bool ownChord = std::exchange(m_boxJustChosen, false);
    if (box == memo::ScratchSlot) {
        m_boxes->storeScratch(root, kind);
        return;
    }
    if (m_storingShown)
        return; // the box's chord shown back to it after a step
    const QScopedValueRollback storing(m_storingShown, true);
    // The receiving box moves on, in a song onto the next page; the memo's last box stays.
    const bool lastBox = box + 1 == memo::MemoSlotCount && !m_boxes->holdsSong();
    bool stored = false;
    if (!m_stepEntry || ownChord || lastBox) {
        stored = m_boxes->store(box, root, kind, typed);
    } else {
        // A step of its own, typed or not: typing is stored as 表示 or Enter
        // shows it, never key by key.
        stored = m_boxes->store(box, root, kind, false,
            [window = m_window, boxes = m_boxes, index = m_boxes->indexOf(box)](bool done) {
                window->moveReceivingBox(boxes->showChord(done ? index + 1 : index));
            });
    }
    if (!stored && !ownChord)
        m_notice->show(m_boxes->readOnly() ? ReadOnlyNotice : m_boxes->fullNotice());
}

// What a step changed goes into the boxes' labels; the receiving box's chord
// goes onto the keyboard when a step other than its own storing changed it.
void ui::EditCommands::boxesChanged(const QList<int> &boxes)
{
    for (const int k : boxes) {
        const memo::ChordText chord = m_boxes->text(k);
        m_window->showBoxCaption(k, chord.root + chord.kind);
    }
    if (m_storingShown || !boxes.contains(m_boxes->receivingBox()))
        return;
    // Its storing is no step: the box holds that chord already.
    const QScopedValueRollback storing(m_storingShown, true);
    m_window->showStoredChord(m_boxes->text(m_boxes->receivingBox()));
}

// Another page, or the memo's boxes again: every box shows what it holds now.
void ui::EditCommands::pageShown()
{
    QList<int> all;
    for (int k = 0; k < memo::MemoSlotCount; ++k)
        all << k;
    const QScopedValueRollback storing(m_storingShown, true);
    boxesChanged(all);
}

bool ui::EditCommands::hasSelectedBox() const
{
    return m_boxes->hasReceivingBox();
}

void ui::EditCommands::editSelectedBox(bool (ChordBoxes::*edit)(int box))
{
    if (!hasSelectedBox())
        return;
    if (!(m_boxes->*edit)(m_boxes->receivingBox()))
        m_notice->show(m_boxes->readOnly() ? ReadOnlyNotice : m_boxes->fullNotice());
}

void ui::EditCommands::deleteClicked()
{
    editSelectedBox(&ChordBoxes::clear);
}

void ui::EditCommands::closeUpClicked()
{
    editSelectedBox(&ChordBoxes::closeUp);
}

void ui::EditCommands::insertClicked()
{
    editSelectedBox(&ChordBoxes::insert);
}

void ui::EditCommands::copyClicked()
{
    if (!hasSelectedBox())
        return;
    const memo::ChordText chord = m_boxes->text(m_boxes->receivingBox());
    if (!chord.root.isEmpty() || !chord.kind.isEmpty())
        QApplication::clipboard()->setText(chord.root + chord.kind);
}

void ui::EditCommands::cutClicked()
{
    if (!hasSelectedBox())
        return;
    copyClicked();
    editSelectedBox(&ChordBoxes::cut);
}

void ui::EditCommands::dropped(int from, int to, bool copy)
{
    if (to < 0 || to == from)
        return;
    if (!(copy ? m_boxes->copy(from, to) : m_boxes->move(from, to)) && m_boxes->readOnly())
        m_notice->show(ReadOnlyNotice);
}

void ui::EditCommands::pasteClicked()
{
    if (!hasSelectedBox())
        return;
    if (m_boxes->readOnly())
        return m_notice->show(ReadOnlyNotice);
    const QString text = QApplication::clipboard()->text();
    memo::PastedChords pasted = memo::chordsOfText(text, chord::BeyondTables::KeepAsWritten);
    const std::vector<memo::Box> &chords = pasted.chords;
    if (chords.empty())
        return;
    const int box = m_boxes->receivingBox();
    if (int(chords.size()) > m_boxes->roomFrom(box)) {
        m_notice->show(m_boxes->fullNotice()
            + QStringLiteral(": 貼り付ける %1 個のうち、%2 からは %3 個しか入りません")
                  .arg(chords.size())
                  .arg(m_boxes->holdsSong()
                          ? QStringLiteral("コード %1").arg(m_boxes->indexOf(box) + 1)
                          : QStringLiteral("メモ %1").arg(box + 1))
                  .arg(m_boxes->roomFrom(box)));
        return;
    }
    if (pasted.beyondTables > 0 && m_question) {
        memo::PastedChords nearest = memo::chordsOfText(text, chord::BeyondTables::Nearest);
        QStringList names;
        for (const memo::NameReplaced &name : nearest.replaced)
            names << name.written;
        if (m_question->choose(m_window, names) == chord::BeyondTables::Nearest)
            pasted = std::move(nearest);
    }
    m_boxes->paste(box, pasted.chords);
    const QString notice = beyondTablesNotice(pasted.beyondTables, pasted.replaced);
    if (!notice.isEmpty())
        m_notice->show(notice);
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
    m_boxes->transpose(semitones, spelling, song.key, song.alongside);
}
