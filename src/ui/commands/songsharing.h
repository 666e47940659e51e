#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QAction;

namespace memo
{
class ChordMemo;
class MemoHistory;
} // namespace memo

namespace services
{
class OffThread;
} // namespace services

namespace song
{
struct Song;
struct SongRead;
} // namespace song

namespace ui
{
class ChordWindow;
class NoticeLine;
class SongSettingsStore;

// The song shared: エクスポート, インポート and 印刷 in the file menu. Files
// are written and read one at a time off the GUI thread, which never waits.
class SongSharing : public QObject
{
    Q_OBJECT
public:
    using MemoPath = std::function<QString()>;
    // All stay the caller's and outlive this.
    SongSharing(ChordWindow *window, memo::ChordMemo &memo, memo::MemoHistory *history,
        MemoPath memoPath, SongSettingsStore *store, NoticeLine *notice);
    ~SongSharing() override;

    QAction *importItem() const { return m_import; }

    // Writes the song as エクスポート does, once a file is chosen.
    void exportTo(const QString &path);
    // Puts a ChordPro song into the memo as インポート does once the user
    // agreed: one step of the history.
    void importFrom(const QString &path);

private:
    song::Song currentSong() const;
    void exportClicked();
    void importClicked();
    void printClicked();
    void imported(const song::SongRead &read);
    services::OffThread &jobs();

    ChordWindow *m_window;
    memo::ChordMemo &m_memo;
    memo::MemoHistory *m_history;
    MemoPath m_memoPath;
    SongSettingsStore *m_store;
    NoticeLine *m_notice;
    std::unique_ptr<services::OffThread> m_jobs; // made with the first job
    QAction *m_export;
    QAction *m_import;
};

} // namespace ui
