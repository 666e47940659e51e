#include "songkeeper.h"

#include "memofiles.h"
#include "memolocation.h"
#include "safefile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QThread>

#include <utility>

namespace memofile
{

namespace
{
const QString RescueSuffix = QStringLiteral(".cho");

// Held as long as the window has the song, so never stale by age: only a
// lock whose process is gone from this computer is taken over.
std::shared_ptr<QLockFile> lockOf(const QString &path)
{
    auto lock = std::make_shared<QLockFile>(saveTarget(path) + QStringLiteral(".lock"));
    lock->setStaleLockTime(0);
    return lock;
}

QString refusal(QLockFile::LockError error)
{
    switch (error) {
    case QLockFile::LockFailedError: return QStringLiteral("ほかのウィンドウで開かれています");
    case QLockFile::PermissionError:
        return QStringLiteral("フォルダーに書き込めません（ロックファイルを作れません）");
    default: return QStringLiteral("ロックファイルを作れません");
    }
}

QString readOnlyReasonOf(QLockFile::LockError error)
{
    switch (error) {
    case QLockFile::LockFailedError:
        return QStringLiteral("ほかのウィンドウで開かれているため、読み取り専用で開きました");
    case QLockFile::PermissionError:
        return QStringLiteral("フォルダーに書き込めないため、読み取り専用で開きました");
    default: return QStringLiteral("ロックファイルを作れないため、読み取り専用で開きました");
    }
}

QString cleanAbsolute(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}
} // namespace

SongKeeper::SongKeeper(
    std::unique_ptr<MemoFiles> files, std::function<QByteArray()> bytes, QObject *parent)
    : FileKeeper(parent)
    , m_files(std::move(files))
    , m_bytes(std::move(bytes))
    , m_worker(std::make_unique<QObject>())
{
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(SaveDelayMs);
    connect(&m_saveTimer, &QTimer::timeout, this, [this] {
        m_saveWanted = true;
        next();
    });
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, [this] {
        m_retryDue = true;
        next();
    });
}

SongKeeper::~SongKeeper()
{
    release();
    if (!m_thread)
        return;
    QMetaObject::invokeMethod(m_worker.get(), [] { QThread::currentThread()->quit(); });
    m_thread->wait();
}

std::optional<services::FileError> SongKeeper::open(const QString &path, QByteArray *read)
{
    close();
    const QString file = cleanAbsolute(path);
    // Locked before reading: a window that gets the lock reads the file as
    // no other window will change it.
    std::shared_ptr<QLockFile> lock = lockOf(file);
    const bool locked = lock->tryLock(0);
    const services::ReadResult result = m_files->read(file);
    if (result.status == services::ReadStatus::Missing)
        return services::FileError {file, QStringLiteral("ファイルがありません")};
    if (result.status == services::ReadStatus::Failed)
        return result.error;
    *read = result.bytes;
    if (locked) {
        keep(file, std::move(lock));
    } else {
        keep(file, nullptr);
        m_readOnlyReason = readOnlyReasonOf(lock->error());
    }
    return std::nullopt;
}

std::optional<services::FileError> SongKeeper::create(const QString &path)
{
    close();
    const QString file = cleanAbsolute(path);
    std::shared_ptr<QLockFile> lock = lockOf(file);
    if (!lock->tryLock(0))
        return services::FileError {file, refusal(lock->error())};
    if (auto error = m_files->replace(file, m_bytes()))
        return error;
    keep(file, std::move(lock));
    return std::nullopt;
}

void SongKeeper::close()
{
    release();
    settle(std::nullopt);
}

void SongKeeper::release()
{
    // Only one job is ever on the worker: this waits for it.
    if (m_busy)
        QMetaObject::invokeMethod(
            m_worker.get(), [] {}, Qt::BlockingQueuedConnection);
    ++m_generation;
    m_busy = false;
    m_waiting.clear();
    m_saveDone.clear();
    m_saveWanted = false;
    m_saveTimer.stop();
    stopRetrying();
    m_changes = m_savedChanges = 0;
    m_lock.reset();
    m_path.clear();
    m_readOnly = false;
    m_readOnlyReason.clear();
}

void SongKeeper::keep(const QString &path, std::shared_ptr<QLockFile> lock)
{
    m_path = path;
    m_readOnly = !lock;
    m_lock = std::move(lock);
}

void SongKeeper::changed()
{
    if (!isOpen() || m_readOnly)
        return;
    ++m_changes;
    if (!m_saveWanted && !m_saveTimer.isActive())
        m_saveTimer.start();
}

void SongKeeper::save(Done done)
{
    m_saveDone.push_back(std::move(done));
    m_saveWanted = true;
    m_saveTimer.stop();
    // Answered from the event loop, never from inside this call.
    QMetaObject::invokeMethod(this, &SongKeeper::next, Qt::QueuedConnection);
}

void SongKeeper::saveAs(const QString &path, Done done)
{
    m_waiting.push_back([this, file = cleanAbsolute(path), done = std::move(done)] {
        const bool locked = file == m_path && m_lock;
        post([this, file, locked, bytes = m_bytes(), sent = m_changes,
                 done]() -> std::function<void()> {
            std::shared_ptr<QLockFile> lock;
            if (!locked) {
                lock = lockOf(file);
                if (!lock->tryLock(0)) {
                    const services::FileError error {file, refusal(lock->error())};
                    return [this, error, done] {
                        next();
                        done(error);
                    };
                }
            }
            if (auto error = m_files->replace(file, bytes)) {
                return [this, error, done] {
                    next();
                    done(error);
                };
            }
            return [this, file, lock, sent, done] {
                if (lock) // the old one is given up
                    keep(file, lock);
                m_readOnlyReason.clear();
                m_savedChanges = sent;
                stopRetrying();
                settle(std::nullopt);
                // Changes made while writing follow to the new file.
                if (dirty() && !m_saveWanted && !m_saveTimer.isActive())
                    m_saveTimer.start();
                next();
                done(std::nullopt);
            };
        });
    });
    next();
}

void SongKeeper::rescue(Rescued done)
{
    m_waiting.push_back([this, done = std::move(done)] {
        const QString name
            = isOpen() ? QFileInfo(m_path).completeBaseName() : QStringLiteral("song");
        post([this, name, bytes = m_bytes(), done]() -> std::function<void()> {
            makeDefaultMemoFolder();
            const QString path = rescuePath(name, QDateTime::currentDateTime(), RescueSuffix);
            RescueOutcome outcome = path;
            if (auto error = m_files->replace(path, bytes))
                outcome = *error;
            return [this, outcome, done] {
                next();
                done(outcome);
            };
        });
    });
    next();
}

void SongKeeper::next()
{
    if (m_busy)
        return;
    if (!m_waiting.empty()) {
        const std::function<void()> start = std::move(m_waiting.front());
        m_waiting.pop_front();
        start();
        return;
    }
    // Whoever waits for a save waits for the file to hold the song as it is
    // now: a change made while the last save ran goes in first.
    const bool retry = std::exchange(m_retryDue, false);
    const bool wanted = std::exchange(m_saveWanted, false) || retry || !m_saveDone.empty();
    if (wanted && dirty()) {
        startSave();
        return;
    }
    answer(m_saveError);
}

void SongKeeper::post(Job job)
{
    if (!m_thread) {
        m_thread = new QThread(this);
        m_worker->moveToThread(m_thread);
        m_thread->start();
    }
    m_busy = true;
    QMetaObject::invokeMethod(
        m_worker.get(), [this, job = std::move(job), generation = m_generation] {
            std::function<void()> then = job();
            QMetaObject::invokeMethod(
                this,
                [this, then = std::move(then), generation] {
                    if (generation != m_generation) // closed meanwhile
                        return;
                    m_busy = false;
                    then();
                },
                Qt::QueuedConnection);
        });
}

void SongKeeper::startSave()
{
    m_saveTimer.stop();
    post([this, path = m_path, bytes = m_bytes(), sent = m_changes]() -> std::function<void()> {
        const std::optional<services::FileError> error = m_files->replace(path, bytes);
        return [this, error, sent] {
            if (error) {
                settle(error);
                // Whoever waits hears it; the save is tried again by itself,
                // and with the next change.
                retryLater();
                m_saveWanted = false;
                const std::vector<Done> waiting = std::exchange(m_saveDone, {});
                next();
                for (const Done &done : waiting)
                    done(error);
                return;
            }
            m_savedChanges = sent;
            stopRetrying();
            settle(std::nullopt);
            next();
        };
    });
}

} // namespace memofile
