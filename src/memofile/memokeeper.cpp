#include "memokeeper.h"

#include "memofiles.h"
#include "memolock.h"
#include "memomerge.h"
#include "memowatcher.h"

#include <QFileInfo>
#include <QThread>

#include <utility>

namespace memofile
{

namespace
{
// A save by another window raises several file events; read once after them.
constexpr int RefreshDelayMs = 150;
} // namespace

MemoKeeper::MemoKeeper(memo::ChordMemo &memo, std::unique_ptr<MemoFiles> files,
    std::unique_ptr<MemoLock> lock, MemoWatcher *watcher, QObject *parent)
    : FileKeeper(parent)
    , m_memo(memo)
    , m_worker(std::make_unique<MemoWorker>(std::move(files), std::move(lock)))
    , m_watcher(watcher)
{
    m_watcher->setParent(this);
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(SaveDelayMs);
    connect(&m_saveTimer, &QTimer::timeout, this, [this] {
        m_saveWanted = true;
        next();
    });
    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(RefreshDelayMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, [this] {
        m_refreshWanted = true;
        next();
    });
    connect(m_watcher, &MemoWatcher::changed, &m_refreshTimer, qOverload<>(&QTimer::start));
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, [this] {
        m_retryDue = true;
        next();
    });

    const MemoWorker *worker = m_worker.get();
    connect(worker, &MemoWorker::saved, this, &MemoKeeper::afterSave, Qt::QueuedConnection);
    connect(worker, &MemoWorker::savedAs, this, &MemoKeeper::afterSaveAs, Qt::QueuedConnection);
    connect(worker, &MemoWorker::readBack, this, &MemoKeeper::afterRead, Qt::QueuedConnection);
    connect(worker, &MemoWorker::tidied, this, &MemoKeeper::afterTidy, Qt::QueuedConnection);
    connect(worker, &MemoWorker::rescued, this, &MemoKeeper::afterRescue, Qt::QueuedConnection);
}

MemoKeeper::~MemoKeeper()
{
    if (!m_thread)
        return;
    // Queued behind the job under way, which still reaches the disk.
    QMetaObject::invokeMethod(m_worker.get(), [] { QThread::currentThread()->quit(); });
    m_thread->wait();
}

std::optional<services::FileError> MemoKeeper::load(
    const QString &path, const memo::ChordMemo::ShowSlot &showSlot)
{
    Q_ASSERT_X(!m_thread, "MemoKeeper::load", "only before any other file work");
    const services::ReadResult read = m_worker->files().read(path);
    if (read.status == services::ReadStatus::Failed)
        return read.error;
    take(QFileInfo(path).absoluteFilePath(), read, showSlot);
    return std::nullopt;
}

void MemoKeeper::tidyUp()
{
    m_waiting.push_back([this] { post([path = m_path](MemoWorker &w) { w.tidy(path); }); });
    next();
}

QByteArray MemoKeeper::bytes() const
{
    return memo::memoFileBytes(m_memo.lines());
}

bool MemoKeeper::changed() const
{
    return m_memo.lines() != m_base;
}

void MemoKeeper::memoChanged()
{
    // A save already asked for takes this change too: no need to compare.
    if (m_saveWanted || m_saveTimer.isActive())
        return;
    // While a file operation is under way the base may be about to change
    // (an undo can bring the memo back to what the file held before a save
    // now running): whether anything is left to save is told once it is done.
    if (m_busy || changed())
        m_saveTimer.start();
}

void MemoKeeper::save(Done done)
{
    m_saveDone.push_back(std::move(done));
    m_saveWanted = true;
    m_saveTimer.stop();
    // Answered from the event loop, never from inside this call.
    QMetaObject::invokeMethod(this, &MemoKeeper::next, Qt::QueuedConnection);
}

void MemoKeeper::saveAs(const QString &path, Done done)
{
    Switch saving {QFileInfo(path).absoluteFilePath(), {}, std::move(done)};
    m_waiting.push_back([this, saving = std::move(saving)] {
        m_switch = saving;
        m_sent = m_memo.lines();
        post([path = saving.path, lines = m_sent](MemoWorker &w) { w.saveAs(path, lines); });
    });
    next();
}

void MemoKeeper::open(const QString &path, const memo::ChordMemo::ShowSlot &showSlot, Done done)
{
    Switch opening {QFileInfo(path).absoluteFilePath(), showSlot, std::move(done)};
    m_waiting.push_back([this, opening = std::move(opening)] {
        m_switch = opening;
        post([path = opening.path](MemoWorker &w) { w.read(path); });
    });
    next();
}

void MemoKeeper::rescue(Rescued done)
{
    m_waiting.push_back([this, done = std::move(done)] {
        m_rescued = done;
        post([lines = m_memo.lines()](MemoWorker &w) { w.rescue(lines); });
    });
    next();
}

void MemoKeeper::next()
{
    if (m_busy)
        return;
    if (!m_waiting.empty()) {
        const std::function<void()> start = std::move(m_waiting.front());
        m_waiting.pop_front();
        start();
        return;
    }
    // Whoever waits for a save waits for the file to hold the memo as it is
    // now: a change made while the last save ran goes in first.
    const bool retry = std::exchange(m_retryDue, false);
    const bool wanted = std::exchange(m_saveWanted, false) || retry || !m_saveDone.empty();
    if (wanted && (changed() || !m_fileExists)) {
        startSave();
        return;
    }
    if (std::exchange(m_refreshWanted, false))
        post([path = m_path](MemoWorker &w) { w.read(path); });
    // Nothing left to save: the file holds the memo.
    answer(std::nullopt);
}

void MemoKeeper::post(std::function<void(MemoWorker &)> job)
{
    // The thread starts with the first job, once the window is shown.
    if (!m_thread) {
        m_thread = new QThread(this);
        m_worker->moveToThread(m_thread);
        m_thread->start();
    }
    m_busy = true;
    QMetaObject::invokeMethod(
        m_worker.get(), [worker = m_worker.get(), job = std::move(job)] { job(*worker); });
}

void MemoKeeper::startSave()
{
    m_saveTimer.stop();
    m_sent = m_memo.lines();
    post([job = SaveJob {m_path, m_base, m_sent}](MemoWorker &w) { w.save(job); });
}

void MemoKeeper::afterSave(const SaveOutcome &outcome)
{
    m_busy = false;
    if (outcome.path != m_path) // the memo moved to another file meanwhile
        return next();
    if (outcome.error) {
        settle(outcome.error);
        // Whoever waits hears it; the save is tried again by itself, and
        // with the next change.
        retryLater();
        m_saveWanted = false;
        const std::vector<Done> waiting = std::exchange(m_saveDone, {});
        next();
        for (const Done &done : waiting)
            done(outcome.error);
        return;
    }
    // Chords stored while the save was under way stay; the other slots take
    // what the file holds now.
    const memo::MemoLines now = memo::mergeChanges(m_sent, m_memo.lines(), outcome.saved);
    m_base = outcome.saved;
    m_fileExists = true;
    stopRetrying();
    settle(std::nullopt);
    adopt(now);
    next();
}

void MemoKeeper::afterSaveAs(const QString &path, const std::optional<services::FileError> &error)
{
    m_busy = false;
    const Switch saving = *std::exchange(m_switch, std::nullopt);
    if (!error) {
        m_path = path;
        m_base = m_sent;
        m_fileExists = true;
        m_watcher->watch(m_path);
        stopRetrying();
        settle(std::nullopt);
        memoChanged(); // chords stored while writing follow to the new file
    }
    next();
    saving.done(error);
}

void MemoKeeper::afterRead(const ReadOutcome &outcome)
{
    m_busy = false;
    if (m_switch)
        return opened(*std::exchange(m_switch, std::nullopt), outcome);
    // A file that vanished or cannot be read has nothing to give; the next
    // save reports it.
    if (outcome.path == m_path && outcome.read.status == services::ReadStatus::Read) {
        const memo::MemoLines theirs = memo::memoLines(outcome.read.bytes);
        if (theirs != m_base) {
            const memo::MemoLines merged = memo::mergeChanges(m_base, m_memo.lines(), theirs);
            m_base = theirs;
            m_fileExists = true;
            adopt(merged);
        }
    }
    next();
}

void MemoKeeper::opened(const Switch &opening, const ReadOutcome &outcome)
{
    if (outcome.read.status == services::ReadStatus::Failed) {
        next();
        return opening.done(outcome.read.error);
    }
    // What was stored while reading belongs to the memo being left.
    save([this, opening, outcome](const std::optional<services::FileError> &error) {
        if (!error) {
            take(opening.path, outcome.read, opening.showSlot);
            settle(outcome.refusal);
            tidyUp();
        }
        opening.done(error);
    });
}

void MemoKeeper::afterTidy(const QString &path, const std::optional<services::FileError> &refusal)
{
    m_busy = false;
    // Only a save that reaches the file says it can be saved.
    if (refusal && path == m_path)
        settle(refusal);
    next();
}

void MemoKeeper::afterRescue(const RescueOutcome &outcome)
{
    m_busy = false;
    const Rescued done = std::exchange(m_rescued, {});
    next();
    done(outcome);
}

void MemoKeeper::take(const QString &path, const services::ReadResult &read,
    const memo::ChordMemo::ShowSlot &showSlot)
{
    m_saveTimer.stop();
    m_saveWanted = false;
    stopRetrying();
    m_path = path;
    m_memo.loadBytes(read.bytes, showSlot);
    m_base = m_memo.lines();
    m_fileExists = read.status == services::ReadStatus::Read;
    m_watcher->watch(m_path);
}

void MemoKeeper::adopt(const memo::MemoLines &lines)
{
    m_memo.adopt(
        lines, [this](int slot, const QString &caption) { emit slotChanged(slot, caption); });
}

} // namespace memofile
