#include "filekeeper.h"

#include <utility>

namespace memofile
{

void FileKeeper::answer(const std::optional<services::FileError> &error)
{
    for (const Done &done : std::exchange(m_saveDone, {}))
        done(error);
}

void FileKeeper::settle(const std::optional<services::FileError> &error)
{
    const bool same = error.has_value() == m_saveError.has_value()
        && (!error
            || (error->fileName == m_saveError->fileName && error->reason == m_saveError->reason));
    m_saveError = error;
    if (!same)
        emit saveErrorChanged();
}

void FileKeeper::retryLater()
{
    m_retryTimer.start(m_retryDelayMs);
    m_retryDelayMs = qMin(2 * m_retryDelayMs, RetryMaxMs);
}

void FileKeeper::stopRetrying()
{
    m_retryTimer.stop();
    m_retryDue = false;
    m_retryDelayMs = RetryFirstMs;
}

} // namespace memofile
