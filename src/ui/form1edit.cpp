#include "form1.h"
#include "form1layout.h"

#include "clicklabel.h"
#include "colour.h"
#include "form1access.h"
#include "memohistory.h"
#include "memokeeper.h"
#include "textbox.h"
#include "transposedialog.h"
#include "twips.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

using namespace ui::layout;

namespace
{
// The one-line notice of an edit that was refused lies over the help line
// above the boxes, as the notice of failed saves does, for a few seconds.
constexpr TwipsRect EditNoticeRect {240, 2280, 8415, 255};
constexpr std::string_view EditNoticeColour = "&h804000"; // dark blue
constexpr std::string_view EditNoticeTextColour = "&hffffff";
constexpr int EditNoticeMs = 5000;

const QString MemoFull = QStringLiteral("メモがいっぱいです（%1 個まで）").arg(memo::MemoSlotCount);
const QString UndoCaption = QStringLiteral("元に戻す(&U)");
const QString RedoCaption = QStringLiteral("やり直し(&R)");
const QString StepCaption = QStringLiteral("%1: %2");

struct EditItem {
    const char *name;
    const char *caption;
    QList<QKeySequence> keys;
    void (Form1::*handler)();
    bool separatorBefore = false;
};

QString boxNumber(int box)
{
    return QString::number(box + 1);
}
} // namespace

void Form1::buildEditMenu()
{
    m_history = new memo::MemoHistory(m_memo, this);
    connect(m_history, &memo::MemoHistory::boxesChanged, this, &Form1::boxesChanged);

    auto *edit = new QMenu(QStringLiteral("編集(&E)"), this);
    edit->setObjectName(QStringLiteral("edit"));
    edit->setFont(font());
    // Right after the file menu.
    const QList<QAction *> bar = menuBar()->actions();
    menuBar()->insertMenu(bar.value(1), edit);

    const EditItem items[] {
        {"undo", "元に戻す(&U)", {QKeySequence(Qt::CTRL | Qt::Key_Z)}, nullptr},
        {"redo", "やり直し(&R)",
            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
            nullptr},
        {"cut", "切り取り(&T)", {QKeySequence(Qt::CTRL | Qt::Key_X)}, &Form1::cut_Click, true},
        {"copy", "コピー(&C)", {QKeySequence(Qt::CTRL | Qt::Key_C)}, &Form1::copy_Click},
        {"paste", "貼り付け(&P)", {QKeySequence(Qt::CTRL | Qt::Key_V)}, &Form1::paste_Click},
        {"delete", "削除(&D)", {QKeySequence(Qt::Key_Delete)}, &Form1::delete_Click, true},
        {"closeup", "削除して詰める(&K)", {QKeySequence(Qt::CTRL | Qt::Key_Delete)},
            &Form1::closeup_Click},
        {"insert", "空きを挿入(&I)", {QKeySequence(Qt::Key_Insert)}, &Form1::insert_Click},
        {"transpose", "移調(&J)...", {QKeySequence(Qt::CTRL | Qt::Key_T)}, &Form1::transpose_Click,
            true},
    };
    QList<QKeySequence> windowKeys;
    for (const EditItem &item : items) {
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
        (std::string_view(item.name) == "undo"          ? undo
                : std::string_view(item.name) == "redo" ? redo
                                                        : action)
            = action;
    }
    for (auto *box : {txtcode1, txtcode2})
        static_cast<widgets::TextBox *>(box)->leaveToWindow(windowKeys);

    QUndoStack *stack = m_history->undoStack();
    connect(undo, &QAction::triggered, stack, &QUndoStack::undo);
    connect(redo, &QAction::triggered, stack, &QUndoStack::redo);
    const auto follow = [this, stack] {
        undo->setEnabled(stack->canUndo());
        redo->setEnabled(stack->canRedo());
        undo->setText(
            stack->canUndo() ? StepCaption.arg(UndoCaption, stack->undoText()) : UndoCaption);
        redo->setText(
            stack->canRedo() ? StepCaption.arg(RedoCaption, stack->redoText()) : RedoCaption);
    };
    connect(stack, &QUndoStack::indexChanged, this, follow);
    follow();

    lblnotice = noticeLabel(
        QStringLiteral("lblnotice"), EditNoticeRect, EditNoticeColour, EditNoticeTextColour);
    m_noticeTimer = new QTimer(this);
    m_noticeTimer->setSingleShot(true);
    m_noticeTimer->setInterval(EditNoticeMs);
    connect(m_noticeTimer, &QTimer::timeout, lblnotice, &QWidget::hide);
}

// What a step changed goes into the boxes' labels and on to the file; the
// receiving box's chord goes onto the keyboard when an undo or redo changed it.
void Form1::boxesChanged(const QList<int> &boxes)
{
    for (const int k : boxes)
        lblslot[k]->setText(m_memo.fetch(k).root + m_memo.fetch(k).kind);
    m_keeper->memoChanged();
    updatePlayItems();
    if (m_storing || !boxes.contains(m_memo.curslot))
        return;
    const memo::ChordText chord = m_memo.fetch(m_memo.curslot);
    txtcode1->setText(chord.root);
    txtcode2->setText(chord.kind);
    m_quietShow = true;
    showcode();
    m_quietShow = false;
}

bool Form1::hasSelectedBox() const
{
    return m_memo.curslot < memo::MemoSlotCount;
}

void Form1::changeBoxes(const QString &label, const std::optional<memo::Boxes> &after)
{
    if (!after) {
        refuse(MemoFull);
        return;
    }
    m_history->change(label, *after);
}

void Form1::refuse(const QString &why)
{
    showNotice(why);
}

void Form1::showNotice(const QString &text)
{
    lblnotice->setText(text);
    lblnotice->setAccessibleName(text);
    lblnotice->show();
    lblnotice->raise();
    frameabout->raise(); // the About panel still covers everything
    m_noticeTimer->start();
    m_access->alert(lblnotice);
}

template<typename Edit> void Form1::editSelectedBox(const QString &label, Edit edit)
{
    if (!hasSelectedBox())
        return;
    const int box = m_memo.curslot;
    changeBoxes(label.arg(boxNumber(box)), edit(memo::boxesOf(m_memo), box));
}

void Form1::delete_Click()
{
    editSelectedBox(QStringLiteral("削除（メモ %1）"), memo::emptied);
}

void Form1::closeup_Click()
{
    editSelectedBox(QStringLiteral("削除して詰める（メモ %1）"), memo::closedUp);
}

void Form1::insert_Click()
{
    editSelectedBox(QStringLiteral("空きを挿入（メモ %1）"), memo::opened);
}

void Form1::copy_Click()
{
    if (!hasSelectedBox())
        return;
    const memo::ChordText chord = m_memo.fetch(m_memo.curslot);
    if (!chord.root.isEmpty() || !chord.kind.isEmpty())
        QApplication::clipboard()->setText(chord.root + chord.kind);
}

void Form1::cut_Click()
{
    if (!hasSelectedBox())
        return;
    copy_Click();
    editSelectedBox(QStringLiteral("切り取り（メモ %1）"), memo::emptied);
}

void Form1::lblslot_Drop(int from, const QPoint &globalPos, bool copy)
{
    const QWidget *client = centralWidget();
    const QWidget *target = client->childAt(client->mapFromGlobal(globalPos));
    const int to
        = int(std::find(lblslot.begin(), lblslot.begin() + ShownSlots, target) - lblslot.begin());
    if (to >= ShownSlots || to == from)
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

void Form1::paste_Click()
{
    if (!hasSelectedBox())
        return;
    const std::vector<memo::Box> chords = memo::chordsOfText(QApplication::clipboard()->text());
    if (chords.empty())
        return;
    const int box = m_memo.curslot;
    const auto after = memo::filled(memo::boxesOf(m_memo), box, chords);
    if (!after) {
        refuse(MemoFull
            + QStringLiteral(": 貼り付ける %1 個のうち、メモ %2 からは %3 個しか入りません")
                  .arg(chords.size())
                  .arg(boxNumber(box))
                  .arg(memo::MemoSlotCount - box));
        return;
    }
    m_history->change(QStringLiteral("貼り付け（メモ %1）").arg(boxNumber(box)), *after);
}

void Form1::transpose_Click()
{
    ui::TransposeDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    transpose(dialog.semitones(), dialog.spelling());
}

void Form1::transpose(int semitones, chord::Spelling spelling)
{
    m_history->change(ui::transposeLabel(semitones, spelling),
        memo::transposed(memo::boxesOf(m_memo), semitones, spelling));
}
