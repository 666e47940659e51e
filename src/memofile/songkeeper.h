#pragma once

#include "filekeeper.h"

#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QLockFile;
class QThread;

namespace memofile
{

class MemoFiles;

// Keeps a song's file in step with the song being edited: each change is
// saved within half a second, atomically, and failed saves are tried again
// as the memo's are. The file's lock is held for as long as the keeper has
// the file ("song.cho.lock" beside the file a save replaces), so a second
// window on the same song opens it read-only. Writes run on a thread of the
// keeper's own, one at a time in the order asked; the bytes are taken from
// the song on the keeper's thread as each one starts.
class SongKeeper : public FileKeeper
{
    Q_OBJECT
public:
    // bytes gives the song's file as it should be now.
    SongKeeper(std::unique_ptr<MemoFiles> files, std::function<QByteArray()> bytes,
        QObject *parent = nullptr);
    // close()s.
    ~SongKeeper() override;

    // Reads the song at path (a missing file is refused: create() makes new
    // songs) into *read and makes it the kept file, on the calling thread.
    // Its lock is taken without waiting; when another window holds it the
    // song is read-only. Whatever the keeper had is closed first.
    [[nodiscard]] std::optional<services::FileError> open(const QString &path, QByteArray *read);
    // Writes bytes() to path at once, under its lock, and keeps it. Whatever
    // the keeper had is closed first.
    [[nodiscard]] std::optional<services::FileError> create(const QString &path);
    // Waits for the file operation under way, drops what was asked after it
    // and every answer still due (save() first to keep the song), and gives
    // up the file and its lock.
    void close();

    bool isOpen() const { return !m_path.isEmpty(); }
    // Another window has the song (or no lock can be made beside it): this
    // keeper never writes its file, save() answers "saved" at once, and the
    // window takes no edits.
    bool readOnly() const { return m_readOnly; }
    // Why the song is read-only, for the window to show.
    const QString &readOnlyReason() const { return m_readOnlyReason; }

    // The absolute, cleaned path of the song's file.
    const QString &path() const override { return m_path; }

    // Call after every change to the song: it is saved shortly.
    void changed();

    // Saves now what changed, after any file operation under way; done hears
    // "saved" only once the file holds the song as it is now, changes made
    // meanwhile included. Nothing changed: answers at once with saveError().
    void save(Done done) override;
    // Writes the song to path under that file's lock; path then becomes the
    // song's file (writable, even for a read-only song) and the old lock is
    // given up. A failure leaves everything as it was.
    void saveAs(const QString &path, Done done) override;
    // "<name>.rescued-YYYYMMDD-HHMMSS.cho" beside the default memo.
    void rescue(Rescued done) override;
    QByteArray bytes() const override { return m_bytes(); }

private:
    // Work for the worker thread, which gives what to do with its outcome
    // back on the keeper's thread.
    using Job = std::function<std::function<void()>()>;

    // Starts the next piece of work when none is under way.
    void next();
    void post(Job job);
    void startSave();
    // close() without a word to the window: the destructor's part.
    void release();
    void keep(const QString &path, std::shared_ptr<QLockFile> lock);
    bool dirty() const { return m_changes != m_savedChanges; }

    std::unique_ptr<MemoFiles> m_files; // used on the worker once it runs
    std::function<QByteArray()> m_bytes;
    std::unique_ptr<QObject> m_worker; // the thread's jobs run in its context
    QThread *m_thread = nullptr; // started with the first job, a child
    QString m_path;
    std::shared_ptr<QLockFile> m_lock; // passed back from the worker by save-as
    bool m_readOnly = false;
    QString m_readOnlyReason;

    // Changes are counted: the file holds the song up to m_savedChanges.
    quint64 m_changes = 0;
    quint64 m_savedChanges = 0;
    // Outcomes of work asked for before a close() are dropped.
    quint64 m_generation = 0;

    bool m_busy = false; // a job is on the worker
    std::deque<std::function<void()>> m_waiting; // save-as and rescues, each started by next()
    bool m_saveWanted = false; // one save does for many changes
    QTimer m_saveTimer;
};

} // namespace memofile
