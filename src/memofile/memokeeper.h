#pragma once

#include "chordmemo.h"
#include "filekeeper.h"
#include "memoworker.h"
#include "textfile.h"

#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QThread;

namespace memofile
{

class MemoFiles;
class MemoLock;
class MemoWatcher;

// Keeps a window's memo and its file in step: saves each change within a
// second, takes in what other windows save to the same file, and merges the
// two when both changed it, under a lock shared between processes. Every
// file operation but the first read runs on a worker thread of the keeper's
// own, one at a time in the order asked; the results come back to the
// keeper's thread, so the window never waits on the disk.
class MemoKeeper : public FileKeeper
{
    Q_OBJECT
public:
    // The watcher becomes a child of the keeper.
    MemoKeeper(memo::ChordMemo &memo, std::unique_ptr<MemoFiles> files,
        std::unique_ptr<MemoLock> lock, MemoWatcher *watcher, QObject *parent = nullptr);
    // Waits for the file operation under way; what was asked after it is dropped.
    ~MemoKeeper() override;

    // The memo file, as an absolute path (links not followed).
    const QString &path() const override { return m_path; }
    // The memo it keeps.
    memo::ChordMemo &memo() const { return m_memo; }

    // The one read on the calling thread, for a window's first paint: makes
    // path the memo, loads it (a missing file is an empty memo) and shows
    // every slot. A file that cannot be read is refused with the reason.
    [[nodiscard]] std::optional<services::FileError> load(
        const QString &path, const memo::ChordMemo::ShowSlot &showSlot);

    // Finds whether the file can be saved (a read-only memo is said by
    // saveError()) and removes what saves killed midway left beside it.
    // Taking the lock writes and syncs a file: a window calls this once shown.
    void tidyUp();

    // Call after every change to the memo: a changed slot is saved shortly.
    void memoChanged();

    // Saves now what changed, or creates a missing file, after any file
    // operation under way; done hears how it ended. It hears "saved" only
    // once the file holds the memo as it is then, changes made meanwhile
    // included. A memo that holds nothing new leaves the file, and
    // saveError(), as they are.
    void save(Done done) override;

    // Writes the whole memo to path, which becomes the memo's file.
    void saveAs(const QString &path, Done done) override;

    // Reads path, saves the memo as save() does, then makes path the memo
    // and shows every slot. A file that cannot be read, or a memo that
    // cannot be saved first, leaves everything as it was; done hears why.
    void open(const QString &path, const memo::ChordMemo::ShowSlot &showSlot, Done done);

    // Writes the memo into a rescue file beside the default memo.
    void rescue(Rescued done) override;

    // Why the memo cannot be saved (the last save failed, or the file is
    // read-only), until a save writes the file. A failed save is tried again
    // by itself, sooner at first, then every RetryMaxMs.
    // The memo's file as it would be written now.
    QByteArray bytes() const override;

signals:
    // A slot that took another window's chord.
    void slotChanged(int slot, const QString &caption);

private:
    // A file that becomes the memo once the work on the old one is done.
    struct Switch {
        QString path;
        memo::ChordMemo::ShowSlot showSlot;
        Done done;
    };

    bool changed() const;
    // Starts the next piece of work when none is under way.
    void next();
    // Runs job on the worker thread; its outcome comes back as a signal.
    void post(std::function<void(MemoWorker &)> job);
    void startSave();
    void afterSave(const SaveOutcome &outcome);
    void afterSaveAs(const QString &path, const std::optional<services::FileError> &error);
    void afterRead(const ReadOutcome &outcome);
    void opened(const Switch &opening, const ReadOutcome &outcome);
    void afterTidy(const QString &path, const std::optional<services::FileError> &refusal);
    void afterRescue(const RescueOutcome &outcome);
    void take(const QString &path, const services::ReadResult &read,
        const memo::ChordMemo::ShowSlot &showSlot);
    void adopt(const memo::MemoLines &lines);

    memo::ChordMemo &m_memo;
    std::unique_ptr<MemoWorker> m_worker;
    QThread *m_thread = nullptr; // started with the first job, a child
    MemoWatcher *m_watcher;
    QString m_path;
    memo::MemoLines m_base; // the file as this window last read or wrote it
    memo::MemoLines m_sent; // the memo as the save or save-as under way took it
    bool m_fileExists = false;

    bool m_busy = false; // a job is on the worker
    std::deque<std::function<void()>> m_waiting; // jobs asked for, each started by next()
    bool m_saveWanted = false; // saves and re-reads wait as flags: one does for many
    bool m_refreshWanted = false;
    std::optional<Switch> m_switch; // the open or save-as under way
    Rescued m_rescued;
    QTimer m_saveTimer;
    QTimer m_refreshTimer;
};

} // namespace memofile
