#include "memohistory.h"

namespace memo
{

namespace
{
constexpr int TypingStepId = 1; // QUndoStack merges steps of one id
} // namespace

class BoxesStep final : public QUndoCommand
{
public:
    BoxesStep(MemoHistory &history, const QString &label, const Boxes &before, const Boxes &after,
        int mergeBox, int mergeEpoch, MemoHistory::Alongside alongside = {})
        : QUndoCommand(label)
        , m_history(history)
        , m_before(before)
        , m_after(after)
        , m_mergeBox(mergeBox)
        , m_mergeEpoch(mergeEpoch)
        , m_alongside(std::move(alongside))
    {
        for (int k = 0; k < MemoSlotCount; ++k) {
            if (!(before[k] == after[k]))
                m_touched << k;
        }
    }

    bool isEmpty() const { return m_touched.isEmpty() && !m_alongside; }
    void redo() override
    {
        m_history.write(m_touched, m_after);
        if (m_alongside)
            m_alongside(true);
    }
    // Backwards, as it was done: what moved along goes back before the
    // boxes do, so that they show as they were when they were changed.
    void undo() override
    {
        if (m_alongside)
            m_alongside(false);
        m_history.write(m_touched, m_before);
    }
    int id() const override { return m_mergeBox >= 0 ? TypingStepId : -1; }

    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *next = static_cast<const BoxesStep *>(other);
        if (next->m_mergeBox != m_mergeBox || next->m_mergeEpoch != m_mergeEpoch)
            return false;
        m_after = next->m_after;
        setText(next->text());
        // Typed back to what the box held: the step is gone from the history.
        setObsolete(m_before[m_mergeBox] == m_after[m_mergeBox]);
        return true;
    }

private:
    MemoHistory &m_history;
    Boxes m_before;
    Boxes m_after;
    QList<int> m_touched;
    int m_mergeBox;
    int m_mergeEpoch;
    MemoHistory::Alongside m_alongside; // never merged: it comes with no mergeBox
};

MemoHistory::MemoHistory(ChordMemo &memo, QObject *parent)
    : QObject(parent)
    , m_memo(memo)
{
}

void MemoHistory::change(const QString &label, const Boxes &after, int mergeBox)
{
    auto step
        = std::make_unique<BoxesStep>(*this, label, boxesOf(m_memo), after, mergeBox, m_mergeEpoch);
    if (step->isEmpty())
        return;
    m_stack.push(step.release());
}

void MemoHistory::change(const QString &label, const Boxes &after, Alongside alongside)
{
    m_stack.push(new BoxesStep(
        *this, label, boxesOf(m_memo), after, -1, m_mergeEpoch, std::move(alongside)));
}

void MemoHistory::write(const QList<int> &boxes, const Boxes &texts)
{
    for (const int k : boxes) {
        m_memo.code1[k] = texts[k].root;
        m_memo.code2[k] = texts[k].kind;
    }
    emit boxesChanged(boxes);
}

} // namespace memo
