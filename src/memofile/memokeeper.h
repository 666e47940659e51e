#pragma once

#include "chordmemo.h"
#include "textfile.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>

namespace memofile
{

class MemoLock;
class MemoWatcher;

// Keeps a window's memo and its file in step: saves each change within a
// second, takes in what other windows save to the same file, and merges the
// two when both changed it, under a lock shared between processes.
class MemoKeeper : public QObject
{
    Q_OBJECT
public:
    // The watcher becomes a child of the keeper.
    MemoKeeper(memo::ChordMemo &memo, std::unique_ptr<MemoLock> lock, MemoWatcher *watcher,
        QObject *parent = nullptr);
    ~MemoKeeper() override;

    // The memo file, as an absolute path (links not followed).
    const QString &path() const { return m_path; }

    // Makes path the memo: loads it (a missing file is an empty memo) and
    // shows every slot. A file that cannot be read is refused with the
    // reason, and the memo and its file stay as they were.
    [[nodiscard]] std::optional<services::FileError> open(
        const QString &path, const memo::ChordMemo::ShowSlot &showSlot);

    // Removes what saves killed midway left beside the memo file, under the
    // lock. Separate from open(): taking the lock writes and syncs a file,
    // which a window just opening need not wait for.
    void removeStrayTemporaries();

    // Call after every store: a change to a memo slot is saved shortly.
    void memoChanged();

    // Saves now when a memo slot changed or the file does not exist yet;
    // otherwise leaves the file alone, and saveError() as it was.
    [[nodiscard]] std::optional<services::FileError> save();

    // Writes the whole memo to path, which becomes the memo's file.
    [[nodiscard]] std::optional<services::FileError> saveAs(const QString &path);

    // Why the memo cannot be saved (the last save failed, or the file opened
    // read-only), until a save writes the file.
    const std::optional<services::FileError> &saveError() const { return m_saveError; }

signals:
    // A slot that took another window's chord.
    void slotChanged(int slot, const QString &caption);
    // saveError() changed: saving began to fail, failed otherwise, or works again.
    void saveErrorChanged();

private:
    bool changed() const;
    void takeOutsideChanges();
    void adopt(const memo::MemoLines &lines);
    // Records how a save ended and gives that back.
    std::optional<services::FileError> settle(std::optional<services::FileError> error);
    void saveSoon();

    memo::ChordMemo &m_memo;
    std::unique_ptr<MemoLock> m_lock;
    MemoWatcher *m_watcher;
    QString m_path;
    memo::MemoLines m_base; // the file as this window last read or wrote it
    bool m_fileExists = false;
    std::optional<services::FileError> m_saveError;
    QTimer m_saveTimer;
    QTimer m_refreshTimer;
};

} // namespace memofile
