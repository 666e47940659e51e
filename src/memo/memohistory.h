#pragma once

#include "memoedit.h"

#include <QList>
#include <QObject>
#include <QUndoStack>

#include <functional>

namespace memo
{

// Every change to the memo's 30 boxes as one step of one history, to undo and
// redo. A step keeps both lines of every box it touched, before and after.
// The hidden receiving slot is no part of it.
class MemoHistory : public QObject
{
    Q_OBJECT
public:
    explicit MemoHistory(ChordMemo &memo, QObject *parent = nullptr);

    QUndoStack *undoStack() { return &m_stack; }

    // Makes after the memo's boxes as one step named label; no step when
    // nothing changes. A typed chord names its box as mergeBox: it merges
    // into the step before when that step typed into the same box and no
    // other box was chosen since, so typing is one step per box.
    void change(const QString &label, const Boxes &after, int mergeBox = -1);
    // Something kept outside the memo that changes in the same step, as the
    // tempo an import brings: called with true to make it as after the step
    // (at once and on redo), with false as before it (on undo).
    using Alongside = std::function<void(bool after)>;
    void change(const QString &label, const Boxes &after, Alongside alongside);
    // Another box was chosen: the next typed chord is a step of its own.
    void endMerging() { ++m_mergeEpoch; }

signals:
    // The boxes a step, its undo or its redo changed, low to high.
    void boxesChanged(const QList<int> &boxes);

private:
    friend class BoxesStep;
    void write(const QList<int> &boxes, const Boxes &texts);

    ChordMemo &m_memo;
    QUndoStack m_stack;
    int m_mergeEpoch = 0;
};

} // namespace memo
