#pragma once

#include "chordmemo.h"
#include "rescueoutcome.h"
#include "textfile.h"

#include <QObject>

#include <memory>
#include <optional>

namespace memofile
{

class MemoFiles;
class MemoLock;

// A save as the keeper starts it: the file as the window last read or wrote
// it, and the memo at the start.
struct SaveJob {
    QString path;
    memo::MemoLines base;
    memo::MemoLines mine;
};

struct SaveOutcome {
    QString path;
    memo::MemoLines saved; // what the file holds when the save went through
    std::optional<services::FileError> error;
};

struct ReadOutcome {
    QString path;
    services::ReadResult read;
    std::optional<services::FileError> refusal; // why a save would not replace the file
};

// Does a keeper's file work on the thread it is moved to, one job at a time
// in the order asked; each outcome goes back as a signal.
class MemoWorker : public QObject
{
    Q_OBJECT
public:
    MemoWorker(std::unique_ptr<MemoFiles> files, std::unique_ptr<MemoLock> lock);
    ~MemoWorker() override;

    MemoFiles &files() { return *m_files; }

    // Under the lock: reads the file, puts the changes since base on top of
    // what another window saved, and writes that unless the file holds it already.
    void save(const SaveJob &job);
    // Under the lock of path: writes the lines there.
    void saveAs(const QString &path, const memo::MemoLines &lines);
    void read(const QString &path);
    // Finds whether the file can be replaced, and removes what killed saves
    // left beside it, under the lock.
    void tidy(const QString &path);
    // Writes the lines into a rescue file beside the default memo.
    void rescue(const memo::MemoLines &lines);

signals:
    void saved(const memofile::SaveOutcome &outcome);
    void savedAs(const QString &path, const std::optional<services::FileError> &error);
    void readBack(const memofile::ReadOutcome &outcome);
    void tidied(const QString &path, const std::optional<services::FileError> &refusal);
    void rescued(const memofile::RescueOutcome &outcome);

private:
    // Runs work while holding the lock of path; a lock that cannot be had is
    // the error.
    std::optional<services::FileError> underLock(
        const QString &path, const std::function<std::optional<services::FileError>()> &work);

    std::unique_ptr<MemoFiles> m_files;
    std::unique_ptr<MemoLock> m_lock;
};

} // namespace memofile
