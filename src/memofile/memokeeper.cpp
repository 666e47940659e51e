#include "memokeeper.h"

#include "memolock.h"
#include "memomerge.h"
#include "memowatcher.h"
#include "safefile.h"

#include <QFileInfo>
#include <QScopeGuard>

namespace memofile
{

namespace
{
// A change reaches the file well within a second.
constexpr int SaveDelayMs = 400;
// A save by another window raises several file events; read once after them.
constexpr int RefreshDelayMs = 150;
} // namespace

MemoKeeper::MemoKeeper(
    memo::ChordMemo &memo, std::unique_ptr<MemoLock> lock, MemoWatcher *watcher, QObject *parent)
    : QObject(parent)
    , m_memo(memo)
    , m_lock(std::move(lock))
    , m_watcher(watcher)
{
    m_watcher->setParent(this);
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(SaveDelayMs);
    connect(&m_saveTimer, &QTimer::timeout, this, &MemoKeeper::saveSoon);
    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(RefreshDelayMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &MemoKeeper::takeOutsideChanges);
    connect(m_watcher, &MemoWatcher::changed, &m_refreshTimer, qOverload<>(&QTimer::start));
}

MemoKeeper::~MemoKeeper() = default;

std::optional<services::FileError> MemoKeeper::open(
    const QString &path, const memo::ChordMemo::ShowSlot &showSlot)
{
    const services::ReadResult read = readMemoFile(path);
    if (read.status == services::ReadStatus::Failed)
        return read.error;
    m_saveTimer.stop();
    m_path = QFileInfo(path).absoluteFilePath();
    m_memo.loadBytes(read.bytes, showSlot);
    m_base = m_memo.lines();
    m_fileExists = read.status == services::ReadStatus::Read;
    m_watcher->watch(m_path);
    // A read-only memo is said at once, not at the first chord.
    settle(replaceRefusal(m_path));
    return std::nullopt;
}

void MemoKeeper::removeStrayTemporaries()
{
    if (m_path.isEmpty() || m_lock->lock(m_path))
        return;
    memofile::removeStrayTemporaries(m_path);
    m_lock->unlock();
}

bool MemoKeeper::changed() const
{
    return m_memo.lines() != m_base;
}

void MemoKeeper::memoChanged()
{
    // The scratch slot is never saved: a chord shown there costs nothing here.
    if (m_memo.curslot >= memo::MemoSlotCount)
        return;
    // A save already on its way takes this change too: no need to compare.
    if (!m_saveTimer.isActive() && changed())
        m_saveTimer.start();
}

void MemoKeeper::saveSoon()
{
    // Reported through saveErrorChanged().
    [[maybe_unused]] const auto error = save();
}

std::optional<services::FileError> MemoKeeper::save()
{
    m_saveTimer.stop();
    // Nothing written proves nothing: a failure said before still stands.
    if (!changed() && m_fileExists)
        return std::nullopt;
    if (auto reason = m_lock->lock(m_path))
        return settle(services::FileError {m_path, *reason});
    const auto unlock = qScopeGuard([this] { m_lock->unlock(); });

    const services::ReadResult now = readMemoFile(m_path);
    if (now.status == services::ReadStatus::Failed)
        return settle(now.error);
    const bool onDisk = now.status == services::ReadStatus::Read;
    const memo::MemoLines theirs = onDisk ? memo::memoLines(now.bytes) : m_base;
    const memo::MemoLines merged = memo::mergeChanges(m_base, m_memo.lines(), theirs);
    // A file that already says it all is left byte for byte as it is.
    if (!onDisk || merged != theirs) {
        if (auto error = replaceFile(m_path, memo::memoFileBytes(merged)))
            return settle(error);
    }
    m_base = merged;
    m_fileExists = true;
    adopt(merged);
    return settle(std::nullopt);
}

std::optional<services::FileError> MemoKeeper::saveAs(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (auto reason = m_lock->lock(absolute))
        return services::FileError {absolute, *reason};
    const auto unlock = qScopeGuard([this] { m_lock->unlock(); });
    const memo::MemoLines mine = m_memo.lines();
    if (auto error = replaceFile(absolute, memo::memoFileBytes(mine)))
        return error;
    m_saveTimer.stop();
    m_path = absolute;
    m_base = mine;
    m_fileExists = true;
    m_watcher->watch(m_path);
    return settle(std::nullopt);
}

void MemoKeeper::takeOutsideChanges()
{
    // A file that vanished or cannot be read has nothing to give; the next
    // save reports it.
    const services::ReadResult now = readMemoFile(m_path);
    if (now.status != services::ReadStatus::Read)
        return;
    const memo::MemoLines theirs = memo::memoLines(now.bytes);
    if (theirs == m_base)
        return;
    const memo::MemoLines merged = memo::mergeChanges(m_base, m_memo.lines(), theirs);
    m_base = theirs;
    m_fileExists = true;
    adopt(merged);
}

void MemoKeeper::adopt(const memo::MemoLines &lines)
{
    m_memo.adopt(
        lines, [this](int slot, const QString &caption) { emit slotChanged(slot, caption); });
}

std::optional<services::FileError> MemoKeeper::settle(std::optional<services::FileError> error)
{
    const bool same = error.has_value() == m_saveError.has_value()
        && (!error
            || (error->fileName == m_saveError->fileName && error->reason == m_saveError->reason));
    m_saveError = error;
    if (!same)
        emit saveErrorChanged();
    return error;
}

} // namespace memofile
