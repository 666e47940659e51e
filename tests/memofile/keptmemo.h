#pragma once

#include "diskfiles.h"
#include "memokeeper.h"
#include "memolock.h"
#include "memowatcher.h"

#include <QFile>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>

// Fakes for the memo keeper's lock, watcher and disk, and a memo kept on them.

inline const QByteArray Song = "C\r\n\r\nA\r\nm\r\n";

// Each file operation, and taking the lock, on a disk that is busy elsewhere.
inline constexpr int SlowMs = 100;

class FakeLock final : public memofile::MemoLock
{
public:
    explicit FakeLock(int delayMs)
        : m_delayMs(delayMs)
    {
    }
    std::optional<QString> lock(const QString &) override
    {
        QThread::msleep(m_delayMs);
        if (heldElsewhere)
            return QStringLiteral("held by another window");
        return std::nullopt;
    }
    void unlock() override { }

    std::atomic<bool> heldElsewhere = false; // set from the test's thread

private:
    int m_delayMs;
};

class SlowFiles final : public memofile::MemoFiles
{
public:
    services::ReadResult read(const QString &path) override
    {
        QThread::msleep(SlowMs);
        return m_disk.read(path);
    }
    std::optional<services::FileError> replace(const QString &path, QByteArrayView bytes) override
    {
        QThread::msleep(SlowMs);
        ++writes;
        if (failing)
            return services::FileError {path, QStringLiteral("disk full")};
        return m_disk.replace(path, bytes);
    }
    std::optional<services::FileError> replaceRefusal(const QString &path) override
    {
        QThread::msleep(SlowMs);
        return m_disk.replaceRefusal(path);
    }
    void removeStrayTemporaries(const QString &path) override
    {
        QThread::msleep(SlowMs);
        m_disk.removeStrayTemporaries(path);
    }

    std::atomic<int> writes = 0; // replace() calls, failed ones too
    std::atomic<bool> failing = false; // set from the test's thread

private:
    memofile::DiskFiles m_disk;
};

class FakeWatcher final : public memofile::MemoWatcher
{
public:
    void watch(const QString &) override { }
};

// A memo and its keeper, on the disk as it is or on a slow one.
struct KeptMemo {
    explicit KeptMemo(bool slow = false)
        : lock(new FakeLock(slow ? SlowMs : 0))
        , keeper(memo,
              slow ? std::unique_ptr<memofile::MemoFiles>(std::make_unique<SlowFiles>())
                   : std::make_unique<memofile::DiskFiles>(),
              std::unique_ptr<memofile::MemoLock>(lock), watcher)
    {
    }

    memo::ChordMemo memo;
    FakeWatcher *watcher = new FakeWatcher; // the keeper's child
    FakeLock *lock; // the keeper's
    memofile::MemoKeeper keeper;
};

// The outcome of a save asked for now; a save that never ends is an error too.
inline std::optional<services::FileError> saveAndWait(memofile::MemoKeeper &keeper)
{
    std::optional<std::optional<services::FileError>> outcome;
    keeper.save([&](const std::optional<services::FileError> &error) { outcome = error; });
    if (!QTest::qWaitFor([&] { return outcome.has_value(); }))
        return services::FileError {keeper.path(), QStringLiteral("no answer")};
    return *outcome;
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
