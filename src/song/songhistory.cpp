#include "songhistory.h"

namespace song
{

namespace
{
constexpr int TypingStepId = 1; // QUndoStack merges steps of one id

QString chordNumber(int index)
{
    return QString::number(index + 1);
}

// The one thing of the info that changes, or the info as a whole.
QString infoLabel(const SongInfo &was, const SongInfo &is)
{
    QStringList changes;
    if (is.title != was.title)
        changes << QStringLiteral("曲名 %1").arg(is.title);
    if (is.tempo != was.tempo)
        changes << QStringLiteral("テンポ %1").arg(is.tempo);
    if (is.beatsPerBar != was.beatsPerBar)
        changes << QStringLiteral("拍子 %1/4").arg(is.beatsPerBar);
    if (is.key != was.key)
        changes << QStringLiteral("キー %1").arg(
            is.key ? QString::fromStdString(chord::keyName(*is.key)) : QStringLiteral("自動"));
    if (is.capo != was.capo)
        changes << QStringLiteral("カポ %1").arg(is.capo);
    return changes.size() == 1 ? changes.front() : QStringLiteral("曲の情報");
}
} // namespace

class SongStep final : public QUndoCommand
{
public:
    SongStep(SongHistory &history, const QString &label, SongEdit edit, int mergeIndex,
        int mergeEpoch, SongHistory::Alongside alongside)
        : QUndoCommand(label)
        , m_history(history)
        , m_edit(std::move(edit))
        , m_mergeIndex(mergeIndex)
        , m_mergeEpoch(mergeEpoch)
        , m_alongside(std::move(alongside))
    {
    }

    void redo() override
    {
        m_history.make(m_edit, true);
        if (m_alongside)
            m_alongside(true);
    }
    // What moved along goes back before the chords do, as in the memo.
    void undo() override
    {
        if (m_alongside)
            m_alongside(false);
        m_history.make(m_edit, false);
    }
    int id() const override { return m_mergeIndex >= 0 ? TypingStepId : -1; }

    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *next = static_cast<const SongStep *>(other);
        if (next->m_mergeIndex != m_mergeIndex || next->m_mergeEpoch != m_mergeEpoch)
            return false;
        std::optional<SongEdit> both = joined(m_edit, next->m_edit);
        if (!both)
            return false;
        m_edit = std::move(*both);
        setText(next->text());
        // Typed back to what the box held: the step is gone from the history.
        setObsolete(m_edit.isEmpty());
        return true;
    }

private:
    SongHistory &m_history;
    SongEdit m_edit;
    int m_mergeIndex;
    int m_mergeEpoch;
    SongHistory::Alongside m_alongside; // never merged: it comes with no merge index
};

SongHistory::SongHistory(SongDocument &document, QObject *parent)
    : QObject(parent)
    , m_document(document)
{
}

bool SongHistory::push(
    const QString &label, const std::optional<SongEdit> &edit, int mergeIndex, Alongside alongside)
{
    if (!edit)
        return false;
    if (!edit->isEmpty() || alongside)
        m_stack.push(
            new SongStep(*this, label, *edit, mergeIndex, m_mergeEpoch, std::move(alongside)));
    return true;
}

void SongHistory::make(const SongEdit &edit, bool forward)
{
    const int chords = m_document.chordCount(), pages = m_document.pageCount();
    m_document.apply(edit, forward);
    SongChange change;
    change.first = edit.at;
    change.end = edit.at + int(std::max(edit.before.size(), edit.after.size()));
    if (edit.before.size() != edit.after.size())
        change.end = std::max(chords, m_document.chordCount());
    change.lengthChanged = chords != m_document.chordCount();
    change.pagesChanged = pages != m_document.pageCount();
    change.infoChanged = edit.infoBefore != edit.infoAfter;
    emit changed(change);
}

bool SongHistory::store(int index, const QString &root, const QString &kind, bool typed)
{
    return push(QStringLiteral("コード %1 に %2").arg(chordNumber(index), root + kind),
        m_document.storing(index, root, kind), typed ? index : -1);
}

bool SongHistory::store(int index, const QString &root, const QString &kind, Alongside alongside)
{
    return push(QStringLiteral("コード %1 に %2").arg(chordNumber(index), root + kind),
        m_document.storing(index, root, kind), -1, std::move(alongside));
}

bool SongHistory::clear(int index)
{
    return push(
        QStringLiteral("削除（コード %1）").arg(chordNumber(index)), m_document.clearing(index));
}

bool SongHistory::closeUp(int index)
{
    return push(QStringLiteral("削除して詰める（コード %1）").arg(chordNumber(index)),
        m_document.closingUp(index));
}

bool SongHistory::insert(int index)
{
    return push(QStringLiteral("空きを挿入（コード %1）").arg(chordNumber(index)),
        m_document.inserting(index));
}

bool SongHistory::paste(int index, const std::vector<memo::ChordText> &chords)
{
    return push(QStringLiteral("貼り付け（コード %1）").arg(chordNumber(index)),
        m_document.pasting(index, chords));
}

bool SongHistory::move(int from, int to)
{
    return push(QStringLiteral("移動（コード %1 → %2）").arg(chordNumber(from), chordNumber(to)),
        m_document.moving(from, to));
}

bool SongHistory::copy(int from, int to)
{
    return push(QStringLiteral("コピー（コード %1 → %2）").arg(chordNumber(from), chordNumber(to)),
        m_document.copying(from, to));
}

bool SongHistory::setLength(int index, int beats)
{
    return push(QStringLiteral("長さ %1（コード %2）")
                    .arg(lengthName(beats, m_document.song().beatsPerBar), chordNumber(index)),
        m_document.lengthening(index, beats));
}

bool SongHistory::setSection(int index, const QString &name)
{
    const QString label = name.trimmed().isEmpty()
        ? QStringLiteral("セクションなし（コード %1）").arg(chordNumber(index))
        : QStringLiteral("セクション %1（コード %2）").arg(name.trimmed(), chordNumber(index));
    return push(label, m_document.naming(index, name));
}

bool SongHistory::setInfo(const SongInfo &info)
{
    return push(infoLabel(m_document.info(), info), m_document.informing(info));
}

void SongHistory::replace(const QString &label, const Song &other)
{
    push(label, m_document.replacingAll(other));
}

void SongHistory::transpose(int semitones, chord::Spelling spelling, std::optional<chord::Key> key)
{
    push(QStringLiteral("移調 %1%2")
             .arg(semitones > 0 ? QStringLiteral("+") : QString())
             .arg(semitones),
        m_document.transposing(semitones, spelling, key));
}

} // namespace song
