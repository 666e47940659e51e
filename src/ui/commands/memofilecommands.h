#pragma once

#include "textfile.h"

#include <QList>
#include <QObject>

#include <functional>

class QAction;
class QLabel;

namespace memo
{
class MemoHistory;
} // namespace memo

namespace memofile
{
class FileKeeper;
class MemoKeeper;
} // namespace memofile

namespace ui
{
class ChordWindow;
class SongFileCommands;
class SongSettingsStore;

// The file in use, the memo's or an open song's: 開く (a memo, or a song by
// its extension), 新しい曲 and 名前を付けて保存, the notice of failed saves,
// the save a close waits for and the questions after it failed, the rescue
// file when nobody can answer, and the window's title. Each command waits
// for its file work in the event loop.
class MemoFileCommands : public QObject
{
    Q_OBJECT
public:
    // All stay the caller's and outlive this.
    MemoFileCommands(ChordWindow *window, memofile::MemoKeeper *keeper, memo::MemoHistory *history,
        SongSettingsStore *store, SongFileCommands *songFile = nullptr);

    // An item that waits, as 開く does, while a file command is under way.
    void holdWhileBusy(QAction *item);

    // A close with nobody to answer a question (a termination signal): a
    // memo that cannot be saved goes into a rescue file, and exitStatus()
    // becomes a failure.
    void closeUnattended();
    int exitStatus() const { return m_exitStatus; }

    // The session's request to save, before a logout that may still be
    // cancelled: the memo is saved now, into a rescue file when it cannot
    // be; the window stays.
    void saveForSession();

signals:
    // A box's caption changed with the memo's file.
    void boxShown(int box);

private:
    // The keeper of the file in use: the song's while one is open.
    memofile::FileKeeper *kept() const;
    QString fileWord() const; // "メモ" or "曲", for the messages
    void showTitle();
    void showBox(int box, const QString &caption);
    void showSaveError();
    void setFileItemsEnabled(bool enabled);
    void openClicked();
    void openFile(const QString &path);
    void newSongClicked();
    void saveAsClicked();
    void saveForClose();
    void askAfterFailedSave(const services::FileError &error);
    void saveElsewhere(const std::function<void(bool saved)> &then);
    void rescue(const services::FileError &error, const std::function<void()> &then);

    ChordWindow *m_window;
    memofile::MemoKeeper *m_keeper;
    memo::MemoHistory *m_history;
    SongSettingsStore *m_store;
    SongFileCommands *m_songFile;
    QLabel *m_saveNotice;
    QList<QAction *> m_held; // disabled while a file command is under way
    bool m_unattended = false; // nobody is there to answer a question any more
    bool m_closeSaving = false; // a close's save is under way: another close waits for it
    int m_exitStatus = 0;
};

} // namespace ui
