#pragma once

#include "textfile.h"

#include <QObject>

#include <memory>
#include <optional>

class QAction;

namespace memofile
{
class FileKeeper;
class MemoFiles;
class SongKeeper;
} // namespace memofile

namespace ui
{
class ChordBoxes;
class ChordWindow;
class NoticeLine;

// A song's file in the window: opening one (by 開く or the command line),
// making a new one, 曲の情報 (its title), and saving it as it changes. A song whose
// file holds what the song does not keep (lyrics...) opens read-only, so
// that saving never drops it; so does one another window has open.
class SongFileCommands : public QObject
{
    Q_OBJECT
public:
    // All stay the caller's and outlive this; files are the disk's, or a test's.
    SongFileCommands(ChordWindow *window, ChordBoxes *boxes, NoticeLine *notice,
        std::unique_ptr<memofile::MemoFiles> files);
    ~SongFileCommands() override;

    bool isOpen() const;
    // The song's keeper while one is open.
    memofile::FileKeeper *keeper() const;
    // Makes the song at path the boxes' song, on its first page; why not, when
    // it cannot be read or is no song.
    [[nodiscard]] std::optional<services::FileError> open(const QString &path);
    // A new song, written to path at once, titled by the file's name.
    [[nodiscard]] std::optional<services::FileError> create(const QString &path);
    // The memo's boxes again; the song is saved first by the caller.
    void close();
    // The song was saved as another file: it is that one's now, and may be edited.
    void savedAs();
    // " - name.cho", and why it is read-only, for the window's title.
    QString titleSuffix() const;
    // 曲の情報, for the file menu.
    QAction *infoItem() const { return m_info; }

signals:
    // Another song, or none: the window's title changes.
    void fileChanged();
    // The open song's keeper's saveError() changed.
    void saveErrorChanged();

private:
    void opened(bool readOnly);
    void infoClicked();
    void updateItems();

    ChordWindow *m_window;
    ChordBoxes *m_boxes;
    NoticeLine *m_notice;
    std::unique_ptr<memofile::SongKeeper> m_keeper;
    QString m_readOnlyWhy; // why the open song takes no edits; empty when it does
    QAction *m_info = nullptr;
};

} // namespace ui
