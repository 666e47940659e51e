#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QAction;

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
class BeyondTablesQuestion;
class ChordBoxes;
class ChordWindow;
class NoticeLine;
class SongSettingsStore;

// The song shared: エクスポート, インポート and 印刷 in the file menu. Files
// are written and read one at a time off the GUI thread, which never waits.
class SongSharing : public QObject
{
    Q_OBJECT
public:
    // The file open in the window: the memo's, or the song's.
    using MemoPath = std::function<QString()>;
    // All stay the caller's and outlive this. Without a question, imported
    // names beyond our tables are kept as written.
    SongSharing(ChordWindow *window, ChordBoxes *boxes, MemoPath memoPath, SongSettingsStore *store, NoticeLine *notice,
        BeyondTablesQuestion *question = nullptr);
    ~SongSharing() override;

    QAction *importItem() const { return m_import; }

    // Writes the song as エクスポート does, once a file is chosen.
    void exportTo(const QString &path);
    // Puts a ChordPro song into the memo, or in place of the open song's
    // chords, as インポート does once the user agreed: one step of the history.
    void importFrom(const QString &path);

private:
    song::Song currentSong() const;
    void exportClicked();
    void importClicked();
    void printClicked();
    // The song read with names beyond our tables kept, and with their
    // nearest chords, when there are any: the user chooses.
    void imported(const song::SongRead &kept, const song::SongRead &nearest);
    services::OffThread &jobs();

    ChordWindow *m_window;
    ChordBoxes *m_boxes;
    MemoPath m_memoPath;
    SongSettingsStore *m_store;
    NoticeLine *m_notice;
    BeyondTablesQuestion *m_question;
    std::unique_ptr<services::OffThread> m_jobs; // made with the first job
    QAction *m_export;
    QAction *m_import;
};

} // namespace ui
