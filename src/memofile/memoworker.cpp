#include "memoworker.h"

#include "memofiles.h"
#include "memolocation.h"
#include "memolock.h"
#include "memomerge.h"

#include <QDateTime>
#include <QScopeGuard>

namespace memofile
{

MemoWorker::MemoWorker(std::unique_ptr<MemoFiles> files, std::unique_ptr<MemoLock> lock)
    : m_files(std::move(files))
    , m_lock(std::move(lock))
{
}

MemoWorker::~MemoWorker() = default;

std::optional<services::FileError> MemoWorker::underLock(
    const QString &path, const std::function<std::optional<services::FileError>()> &work)
{
    if (auto reason = m_lock->lock(path))
        return services::FileError {path, *reason};
    const auto unlock = qScopeGuard([this] { m_lock->unlock(); });
    return work();
}

void MemoWorker::save(const SaveJob &job)
{
    SaveOutcome outcome {job.path, {}, std::nullopt};
    outcome.error = underLock(job.path, [&]() -> std::optional<services::FileError> {
        const services::ReadResult now = m_files->read(job.path);
        if (now.status == services::ReadStatus::Failed)
            return now.error;
        const bool onDisk = now.status == services::ReadStatus::Read;
        const memo::MemoLines theirs = onDisk ? memo::memoLines(now.bytes) : job.base;
        outcome.saved = memo::mergeChanges(job.base, job.mine, theirs);
        // A file that already says it all is left byte for byte as it is.
        if (onDisk && outcome.saved == theirs)
            return std::nullopt;
        return m_files->replace(job.path, memo::memoFileBytes(outcome.saved));
    });
    emit saved(outcome);
}

void MemoWorker::saveAs(const QString &path, const memo::MemoLines &lines)
{
    emit savedAs(
        path, underLock(path, [&] { return m_files->replace(path, memo::memoFileBytes(lines)); }));
}

void MemoWorker::read(const QString &path)
{
    emit readBack({path, m_files->read(path), m_files->replaceRefusal(path)});
}

void MemoWorker::tidy(const QString &path)
{
    const auto refusal = m_files->replaceRefusal(path);
    [[maybe_unused]] const auto busy = underLock(path, [&] {
        m_files->removeStrayTemporaries(path);
        return std::nullopt;
    });
    emit tidied(path, refusal);
}

void MemoWorker::rescue(const memo::MemoLines &lines)
{
    makeDefaultMemoFolder();
    const QString path = rescuePath(QDateTime::currentDateTime());
    if (auto error = m_files->replace(path, memo::memoFileBytes(lines)))
        emit rescued(*error);
    else
        emit rescued(path);
}

} // namespace memofile
