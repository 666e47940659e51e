#include "chordboxes.h"

#include "memohistory.h"
#include "songdocument.h"
#include "songhistory.h"
#include "transposedialog.h"

#include <QUndoStack>

#include <algorithm>

namespace
{
QString boxNumber(int box)
{
    return QString::number(box + 1);
}

song::SongSettings settingsOf(const song::SongInfo &info)
{
    return {info.tempo, info.beatsPerBar, info.key, info.capo};
}
} // namespace

// The song and its history live together: the history edits the document.
struct ui::ChordBoxes::OpenSong {
    explicit OpenSong(const song::SongDocument &opened)
        : document(opened)
        , history(document)
    {
    }
    song::SongDocument document;
    song::SongHistory history;
    bool readOnly = false;
};

ui::ChordBoxes::ChordBoxes(memo::ChordMemo &memo, memo::MemoHistory *history, QObject *parent)
    : QObject(parent)
    , m_memo(memo)
    , m_history(history)
{
    m_group.addStack(history->undoStack());
    m_group.setActiveStack(history->undoStack());
    connect(history, &memo::MemoHistory::boxesChanged, this, &ChordBoxes::memoChanged);
}

// A stack leaves the group as it goes, whichever goes first.
ui::ChordBoxes::~ChordBoxes() = default;

void ui::ChordBoxes::memoChanged(const QList<int> &boxes)
{
    if (m_song)
        return;
    emit boxesChanged(boxes);
    emit chordsChanged();
}

memo::ChordText ui::ChordBoxes::text(int box) const
{
    if (!m_song || box == memo::ScratchSlot)
        return m_memo.fetch(box);
    const song::Bar bar = m_song->document.chordAt(indexOf(box));
    return {bar.root, bar.kind};
}

bool ui::ChordBoxes::holdsAnything() const
{
    if (m_song)
        return m_song->document.chordCount() > 0;
    return std::ranges::any_of(memo::boxesOf(m_memo), &memo::Box::holdsAnything);
}

void ui::ChordBoxes::endMerging()
{
    m_history->endMerging();
    if (m_song)
        m_song->history.endMerging();
}

int ui::ChordBoxes::indexOf(int box) const
{
    return m_song ? song::SongDocument::indexOf(m_page, box) : box;
}

int ui::ChordBoxes::showChord(int index)
{
    if (!m_song)
        return index;
    showPage(song::SongDocument::pageOf(index));
    return song::SongDocument::boxOf(index);
}

bool ui::ChordBoxes::changeMemo(const QString &label, const std::optional<memo::Boxes> &after,
    Alongside alongside, int mergeBox)
{
    if (!after)
        return false;
    if (alongside)
        m_history->change(label, *after, std::move(alongside));
    else
        m_history->change(label, *after, mergeBox);
    return true;
}

bool ui::ChordBoxes::store(
    int box, const QString &root, const QString &kind, bool typed, Alongside alongside)
{
    if (m_song) {
        if (m_song->readOnly)
            return false;
        return alongside ? m_song->history.store(indexOf(box), root, kind, std::move(alongside))
                         : m_song->history.store(indexOf(box), root, kind, typed);
    }
    return changeMemo(QStringLiteral("メモ %1 に %2").arg(box + 1).arg(root + kind),
        memo::stored(memo::boxesOf(m_memo), box, root, kind), std::move(alongside),
        typed ? box : -1);
}

bool ui::ChordBoxes::clear(int box)
{
    if (m_song)
        return !m_song->readOnly && m_song->history.clear(indexOf(box));
    return changeMemo(QStringLiteral("削除（メモ %1）").arg(boxNumber(box)),
        memo::emptied(memo::boxesOf(m_memo), box));
}

bool ui::ChordBoxes::cut(int box)
{
    if (m_song)
        return clear(box);
    return changeMemo(QStringLiteral("切り取り（メモ %1）").arg(boxNumber(box)),
        memo::emptied(memo::boxesOf(m_memo), box));
}

bool ui::ChordBoxes::closeUp(int box)
{
    if (m_song)
        return !m_song->readOnly && m_song->history.closeUp(indexOf(box));
    return changeMemo(QStringLiteral("削除して詰める（メモ %1）").arg(boxNumber(box)),
        memo::closedUp(memo::boxesOf(m_memo), box));
}

bool ui::ChordBoxes::insert(int box)
{
    if (m_song)
        return !m_song->readOnly && m_song->history.insert(indexOf(box));
    return changeMemo(QStringLiteral("空きを挿入（メモ %1）").arg(boxNumber(box)),
        memo::opened(memo::boxesOf(m_memo), box));
}

bool ui::ChordBoxes::paste(int box, const std::vector<memo::Box> &chords)
{
    if (m_song) {
        std::vector<memo::ChordText> texts;
        for (const memo::Box &chord : chords)
            texts.push_back({chord.root.text(), chord.kind.text()});
        return !m_song->readOnly && m_song->history.paste(indexOf(box), texts);
    }
    return changeMemo(QStringLiteral("貼り付け（メモ %1）").arg(boxNumber(box)),
        memo::filled(memo::boxesOf(m_memo), box, chords));
}

bool ui::ChordBoxes::move(int from, int to)
{
    if (m_song)
        return !m_song->readOnly && m_song->history.move(indexOf(from), indexOf(to));
    return changeMemo(QStringLiteral("移動（メモ %1 → %2）").arg(boxNumber(from), boxNumber(to)),
        memo::moved(memo::boxesOf(m_memo), from, to));
}

bool ui::ChordBoxes::copy(int from, int to)
{
    if (m_song)
        return !m_song->readOnly && m_song->history.copy(indexOf(from), indexOf(to));
    return changeMemo(QStringLiteral("コピー（メモ %1 → %2）").arg(boxNumber(from), boxNumber(to)),
        memo::copied(memo::boxesOf(m_memo), from, to));
}

void ui::ChordBoxes::transpose(
    int semitones, chord::Spelling spelling, std::optional<chord::Key> key, Alongside alongside)
{
    if (m_song) {
        // The song's own key moves with its chords, in the same step.
        if (!m_song->readOnly)
            m_song->history.transpose(semitones, spelling, key);
        return;
    }
    changeMemo(ui::transposeLabel(semitones, spelling),
        memo::transposed(memo::boxesOf(m_memo), semitones, spelling, key), std::move(alongside));
}

void ui::ChordBoxes::replaceAll(const QString &label, const song::Song &tune, Alongside alongside)
{
    if (m_song) {
        if (m_song->readOnly)
            return;
        m_song->history.replace(label, tune);
        return;
    }
    memo::Boxes boxes {};
    const std::size_t count = std::min(tune.bars.size(), boxes.size());
    for (std::size_t k = 0; k < count; ++k)
        boxes[k] = memo::boxOf(tune.bars[k].root, tune.bars[k].kind);
    changeMemo(label, boxes, std::move(alongside));
}

int ui::ChordBoxes::roomFrom(int box) const
{
    return (m_song ? song::MaxSongChords - indexOf(box) : memo::MemoSlotCount - box);
}

QString ui::ChordBoxes::fullNotice() const
{
    return m_song ? QStringLiteral("曲がいっぱいです（%1 個まで）").arg(song::MaxSongChords)
                  : QStringLiteral("メモがいっぱいです（%1 個まで）").arg(memo::MemoSlotCount);
}

song::Song ui::ChordBoxes::wholeSong(
    const QString &memoTitle, const song::SongSettings &memoSettings) const
{
    if (m_song)
        return m_song->document.song();
    song::Song tune
        = song::songFromMemo(m_memo, memoTitle, memoSettings.tempo, memoSettings.beatsPerBar);
    tune.key = memoSettings.key;
    tune.capo = memoSettings.capo;
    return tune;
}

song::SongPlayer::SongSource ui::ChordBoxes::playSource(
    const song::SongSettings &memoSettings) const
{
    if (!m_song)
        return song::SongPlayer::memoSource(m_memo, memoSettings.tempo, memoSettings.beatsPerBar);
    // Read as it plays, so that edits are heard; a song closed meanwhile ends.
    const ChordBoxes *self = this;
    const song::SongDocument *document = &m_song->document;
    const auto open = [self, document] {
        return self->m_song && &self->m_song->document == document;
    };
    const song::SongInfo info = document->info();
    return {info.tempo, info.beatsPerBar,
        [open, document] { return open() ? document->chordCount() : 0; },
        [open, document](int bar) { return open() ? document->chordAt(bar) : song::Bar {}; },
        [open, document](int bar) { return open() ? document->chordAt(bar).beats : 0; }};
}

bool ui::ChordBoxes::readOnly() const
{
    return m_song && m_song->readOnly;
}

void ui::ChordBoxes::setReadOnly(bool readOnly)
{
    if (m_song)
        m_song->readOnly = readOnly;
}

song::SongDocument *ui::ChordBoxes::songDocument() const
{
    return m_song ? &m_song->document : nullptr;
}

song::SongHistory *ui::ChordBoxes::songHistory() const
{
    return m_song ? &m_song->history : nullptr;
}

void ui::ChordBoxes::openSong(const song::SongDocument &document, bool readOnly)
{
    closeSong();
    m_song = std::make_unique<OpenSong>(document);
    m_song->readOnly = readOnly;
    m_page = 0;
    m_memo.curslot = memo::ScratchSlot;
    m_group.addStack(m_song->history.undoStack());
    m_group.setActiveStack(m_song->history.undoStack());
    connect(&m_song->history, &song::SongHistory::changed, this, &ChordBoxes::songStepMade);
    emit pageShown();
    emit songInfoChanged();
}

void ui::ChordBoxes::closeSong()
{
    if (!m_song)
        return;
    m_group.removeStack(m_song->history.undoStack());
    m_group.setActiveStack(m_history->undoStack());
    m_song.reset();
    m_page = 0;
    m_memo.curslot = memo::ScratchSlot;
    emit pageShown();
    emit songInfoChanged();
}

int ui::ChordBoxes::pageCount() const
{
    return m_song ? m_song->document.pageCount() : 1;
}

QString ui::ChordBoxes::pageLine() const
{
    return m_song ? m_song->document.pageLine(m_page) : QString();
}

bool ui::ChordBoxes::showPage(int page)
{
    page = std::clamp(page, 0, pageCount() - 1);
    if (!m_song || page == m_page)
        return false;
    m_page = page;
    emit pageShown();
    return true;
}

// A step shows the page of the chord it changed first, so that undo and redo
// bring into view what they do; the boxes it changed on that page change.
void ui::ChordBoxes::songStepMade(const song::SongChange &change)
{
    const int firstPage = song::SongDocument::pageOf(change.first);
    const bool turned = firstPage != m_page && change.first < change.end;
    if (turned)
        m_page = firstPage;
    // A page the song no longer reaches is gone: its last page is shown.
    if (m_page >= pageCount())
        m_page = pageCount() - 1, m_memo.curslot = memo::ScratchSlot;
    if (turned || change.pagesChanged) {
        emit pageShown();
    } else {
        QList<int> boxes;
        const int pageStart = song::SongDocument::indexOf(m_page, 0);
        for (int index = std::max(change.first, pageStart);
             index < std::min(change.end, pageStart + memo::MemoSlotCount); ++index)
            boxes << index - pageStart;
        if (!boxes.isEmpty())
            emit boxesChanged(boxes);
    }
    if (change.infoChanged)
        emit songInfoChanged();
    emit chordsChanged();
}

int ui::ChordBoxes::beatsOf(int box) const
{
    return m_song && box < memo::MemoSlotCount ? m_song->document.chordAt(indexOf(box)).beats : 0;
}

QString ui::ChordBoxes::sectionOf(int box) const
{
    return m_song && box < memo::MemoSlotCount ? m_song->document.chordAt(indexOf(box)).section : QString();
}

int ui::ChordBoxes::beatsPerBar() const
{
    return m_song ? m_song->document.song().beatsPerBar : song::DefaultBeats;
}

bool ui::ChordBoxes::setLength(int box, int beats)
{
    return m_song && !m_song->readOnly && m_song->history.setLength(indexOf(box), beats);
}

bool ui::ChordBoxes::setSection(int box, const QString &name)
{
    return m_song && !m_song->readOnly && m_song->history.setSection(indexOf(box), name);
}

song::SongSettings ui::ChordBoxes::songSettings() const
{
    return m_song ? settingsOf(m_song->document.info()) : song::SongSettings {};
}

bool ui::ChordBoxes::setSongSettings(const song::SongSettings &settings)
{
    if (!m_song || m_song->readOnly)
        return false;
    song::SongInfo info = m_song->document.info();
    info.tempo = settings.tempo;
    info.beatsPerBar = settings.beatsPerBar;
    info.key = settings.key;
    info.capo = settings.capo;
    return m_song->history.setInfo(info);
}

QString ui::ChordBoxes::songTitle() const
{
    return m_song ? m_song->document.info().title : QString();
}

bool ui::ChordBoxes::setSongTitle(const QString &title)
{
    if (!m_song || m_song->readOnly)
        return false;
    song::SongInfo info = m_song->document.info();
    info.title = title;
    return m_song->history.setInfo(info);
}
