#include "memofilecommands.h"

#include "chordwindow.h"
#include "failedsave.h"
#include "memohistory.h"
#include "memokeeper.h"
#include "memolocation.h"
#include "memomerge.h"
#include "noticeline.h"
#include "songfilecommands.h"
#include "songformats.h"
#include "songsettingsstore.h"
#include "startfolder.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QUndoStack>

#include <cstdio>
#include <cstdlib>
#include <variant>

namespace
{
const QString AppName = QStringLiteral("ソラミナ");
const QString WindowTitle = QStringLiteral("ソラミナ　コード一覧");
const QString SongNameNeeded = QStringLiteral(
    "曲は ChordPro のファイル（.cho .chordpro .chopro .crd .pro）として保存してください。");

// The notice of failed saves lies over the help line above the slots while
// saves fail, so nothing of the window moves.
constexpr widgets::TwipsRect SaveNoticeRect {240, 2280, 8415, 255};
constexpr std::string_view SaveNoticeColour = "&h0000c0"; // dark red
constexpr std::string_view SaveNoticeTextColour = "&hffffff";

QString fileReport(const services::FileError &error)
{
    return QStringLiteral("ファイル: %1\n理由: %2").arg(error.fileName, error.reason);
}

void printToStderr(const QString &text)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(AppName), qPrintable(text));
    std::fflush(stderr);
}

// A standard file dialog, also for a name that does not exist yet.
QString chooseFile(QWidget *parent, const QString &caption, const QString &near,
    QFileDialog::AcceptMode mode, const QString &suffix = {})
{
    QFileDialog dialog(parent, caption, ui::startFolder(near));
    dialog.setObjectName(QStringLiteral("filedialog"));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix); // a song's name without one becomes a .cho
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
} // namespace

ui::MemoFileCommands::MemoFileCommands(ChordWindow *window, memofile::MemoKeeper *keeper,
    memo::MemoHistory *history, SongSettingsStore *store, SongFileCommands *songFile)
    : QObject(window)
    , m_window(window)
    , m_keeper(keeper)
    , m_history(history)
    , m_store(store)
    , m_songFile(songFile)
    , m_saveNotice(noticeLabel(window->centralWidget(), QStringLiteral("lblsavenotice"),
          SaveNoticeRect, SaveNoticeColour, SaveNoticeTextColour))
{
    connect(keeper, &memofile::MemoKeeper::slotChanged, this, &MemoFileCommands::showBox);
    connect(
        keeper, &memofile::MemoKeeper::saveErrorChanged, this, &MemoFileCommands::showSaveError);
    // The memo is saved as it changes.
    connect(history, &memo::MemoHistory::boxesChanged, keeper, &memofile::MemoKeeper::memoChanged);
    connect(window, &ChordWindow::loaded, this, &MemoFileCommands::showTitle);
    connect(window, &ChordWindow::unloading, this, &MemoFileCommands::saveForClose);
    if (songFile) {
        connect(songFile, &SongFileCommands::saveErrorChanged, this,
            &MemoFileCommands::showSaveError);
        // The notice tells of the file in use only.
        connect(songFile, &SongFileCommands::fileChanged, this, [this] {
            showTitle();
            m_saveNotice->setVisible(kept()->saveError().has_value());
        });
    }

    QMenu *file = window->fileMenu();
    struct Item {
        const char *name;
        const char *caption;
        void (MemoFileCommands::*handler)();
    };
    const Item items[] {
        {"open", "開く(&O)...", &MemoFileCommands::openClicked},
        {"newsong", "新しい曲(&W)...", &MemoFileCommands::newSongClicked},
        {"saveas", "名前を付けて保存(&A)...", &MemoFileCommands::saveAsClicked},
    };
    for (const Item &item : items) {
        if (!songFile && item.handler == &MemoFileCommands::newSongClicked)
            continue; // songs need their file commands
        auto *action = new QAction(QString::fromUtf8(item.caption), file);
        action->setObjectName(QString::fromLatin1(item.name));
        file->insertAction(window->fileItemsEnd(), action);
        connect(action, &QAction::triggered, this, item.handler);
        m_held << action;
    }
    if (songFile) // the song's title, after its file's items
        file->insertAction(window->fileItemsEnd(), songFile->infoItem());
    window->raiseNotice(m_saveNotice);
}

void ui::MemoFileCommands::holdWhileBusy(QAction *item)
{
    m_held << item;
}

void ui::MemoFileCommands::showBox(int box, const QString &caption)
{
    // Another window's chord reaches the memo; the boxes may show a song.
    if (kept() == m_keeper)
        m_window->showBoxCaption(box, caption);
    emit boxShown(box);
}

memofile::FileKeeper *ui::MemoFileCommands::kept() const
{
    if (m_songFile && m_songFile->isOpen())
        return m_songFile->keeper();
    return m_keeper;
}

QString ui::MemoFileCommands::fileWord() const
{
    return kept() == m_keeper ? QStringLiteral("メモ") : QStringLiteral("曲");
}

void ui::MemoFileCommands::showTitle()
{
    QString title = WindowTitle;
    if (kept() != m_keeper)
        title += m_songFile->titleSuffix();
    else if (m_keeper->path() != QDir::cleanPath(memofile::defaultMemoPath()))
        title += QStringLiteral(" - ") + QFileInfo(m_keeper->path()).fileName();
    m_window->setWindowTitle(title);
}

void ui::MemoFileCommands::showSaveError()
{
    const auto &error = kept()->saveError();
    m_saveNotice->setVisible(error.has_value());
    if (!error) {
        printToStderr(QStringLiteral("%1「%2」は保存されています。").arg(fileWord(), kept()->path()));
        return;
    }
    const QString text
        = QStringLiteral("%1を保存できません。保存できるまで自動で試し続けます（%2）: %3")
              .arg(fileWord(), error->fileName, error->reason);
    m_saveNotice->setText(text);
    m_saveNotice->setToolTip(text);
    printToStderr(text);
}

void ui::MemoFileCommands::setFileItemsEnabled(bool enabled)
{
    for (QAction *item : std::as_const(m_held))
        item->setEnabled(enabled);
}

void ui::MemoFileCommands::openClicked()
{
    // One file command at a time: each waits for the save before it.
    setFileItemsEnabled(false);
    kept()->save([this](const std::optional<services::FileError> &error) {
        if (error) {
            setFileItemsEnabled(true);
            QMessageBox::warning(m_window, AppName,
                QStringLiteral("今の%1を保存できないため、ほかのファイルを開けません。\n")
                        .arg(fileWord())
                    + fileReport(*error));
            return;
        }
        const QString path = m_unattended ? QString()
                                          : chooseFile(m_window, QStringLiteral("開く"),
                                              kept()->path(), QFileDialog::AcceptOpen);
        if (path.isEmpty())
            return setFileItemsEnabled(true);
        openFile(path);
    });
}

// A ChordPro file opens as a song, any other as a memo.
void ui::MemoFileCommands::openFile(const QString &path)
{
    if (song::readsAsChordPro(path)) {
        setFileItemsEnabled(true);
        const std::optional<services::FileError> error
            = m_songFile ? m_songFile->open(path) : chordProRefusal(path);
        if (error) {
            QMessageBox::warning(m_window, AppName,
                QStringLiteral("%1として開けません。\n")
                        .arg(m_songFile ? QStringLiteral("曲") : QStringLiteral("メモ"))
                    + fileReport(*error));
        }
        return;
    }
    if (m_songFile)
        m_songFile->close(); // saved before the file was chosen
    m_keeper->open(path, std::bind_front(&MemoFileCommands::showBox, this),
        [this](const std::optional<services::FileError> &error) {
            setFileItemsEnabled(true);
            if (error) {
                QMessageBox::warning(m_window, AppName,
                    QStringLiteral("メモとして開けません。\n") + fileReport(*error));
                return;
            }
            m_window->unselectBoxes();
            // Another memo: the steps of this one's history are not its.
            m_history->undoStack()->clear();
            showTitle();
        });
}

void ui::MemoFileCommands::newSongClicked()
{
    setFileItemsEnabled(false);
    kept()->save([this](const std::optional<services::FileError> &error) {
        if (error) {
            setFileItemsEnabled(true);
            QMessageBox::warning(m_window, AppName,
                QStringLiteral("今の%1を保存できないため、新しい曲を始められません。\n")
                        .arg(fileWord())
                    + fileReport(*error));
            return;
        }
        const QString path = chooseFile(m_window, QStringLiteral("新しい曲"), kept()->path(),
            QFileDialog::AcceptSave, song::SongSuffix);
        setFileItemsEnabled(true);
        if (path.isEmpty())
            return;
        if (!song::readsAsChordPro(path)) {
            QMessageBox::warning(m_window, AppName, SongNameNeeded);
            return;
        }
        if (const auto error = m_songFile->create(path))
            QMessageBox::warning(m_window, AppName,
                QStringLiteral("新しい曲を作れませんでした。\n") + fileReport(*error));
    });
}

void ui::MemoFileCommands::saveAsClicked()
{
    setFileItemsEnabled(false);
    saveElsewhere([this](bool) { setFileItemsEnabled(true); });
}

void ui::MemoFileCommands::saveElsewhere(const std::function<void(bool saved)> &then)
{
    const bool song = kept() != m_keeper;
    const QString path = chooseFile(m_window, QStringLiteral("名前を付けて保存"), kept()->path(),
        QFileDialog::AcceptSave, song ? song::SongSuffix : QString());
    if (path.isEmpty())
        return then(false);
    if (song) {
        if (!song::readsAsChordPro(path)) {
            if (!m_unattended)
                QMessageBox::warning(m_window, AppName, SongNameNeeded);
            return then(false);
        }
        return kept()->saveAs(path, [this, then](const std::optional<services::FileError> &error) {
            if (!error)
                m_songFile->savedAs();
            else if (!m_unattended)
                QMessageBox::warning(m_window, AppName,
                    QStringLiteral("保存できませんでした。\n") + fileReport(*error));
            then(!error);
        });
    }
    // Refused as 開く refuses it: the next start would not take it as a memo.
    if (song::readsAsChordPro(path)) {
        if (!m_unattended) {
            QMessageBox::warning(m_window, AppName,
                QStringLiteral("この名前ではメモを保存できません。\n")
                    + fileReport(chordProRefusal(path))
                    + QStringLiteral("\n\nChordPro のコード譜に書き出すには フィイル → "
                                     "エクスポート... を使ってください。"));
        }
        return then(false);
    }
    m_keeper->saveAs(path,
        [this, then, from = m_keeper->path()](const std::optional<services::FileError> &error) {
            if (!error) {
                // The song's tempo and beats are kept by the memo's path: they go with it.
                m_store->moveFrom(from);
                showTitle();
            } else if (!m_unattended) {
                QMessageBox::warning(m_window, AppName,
                    QStringLiteral("保存できませんでした。\n") + fileReport(*error));
            }
            then(!error);
        });
}

// The window goes once the save went through, or once the user said what
// to do when it did not.
void ui::MemoFileCommands::saveForClose()
{
    if (m_closeSaving)
        return;
    m_closeSaving = true;
    setFileItemsEnabled(false);
    kept()->save([this](const std::optional<services::FileError> &error) {
        m_closeSaving = false;
        if (!error)
            return m_window->closeNow();
        if (!m_unattended)
            return askAfterFailedSave(*error);
        m_exitStatus = EXIT_FAILURE;
        rescue(*error, [this] { m_window->closeNow(); });
    });
}

void ui::MemoFileCommands::askAfterFailedSave(const services::FileError &error)
{
    const AfterFailedSave answer = ui::askAfterFailedSave(m_window, fileReport(error));
    // A close taken over while asking saves again, and rescues the memo.
    if (m_unattended || answer == AfterFailedSave::Retry)
        return saveForClose();
    if (answer == AfterFailedSave::Elsewhere) {
        return saveElsewhere([this](bool saved) {
            if (saved)
                m_window->closeNow();
            else
                saveForClose();
        });
    }
    if (answer == AfterFailedSave::Discard)
        return m_window->closeNow();
    setFileItemsEnabled(true); // the window stays
}

void ui::MemoFileCommands::closeUnattended()
{
    m_unattended = true;
    // A question on screen has nobody to answer it: put it away, and let the
    // close that asked it go on; otherwise close now.
    if (QWidget *modal = QApplication::activeModalWidget())
        modal->close();
    QTimer::singleShot(0, m_window, &QWidget::close);
}

void ui::MemoFileCommands::saveForSession()
{
    // The session may end next, with nobody to answer a question.
    kept()->save([this](const std::optional<services::FileError> &error) {
        if (error)
            rescue(*error, {});
    });
}

void ui::MemoFileCommands::rescue(
    const services::FileError &error, const std::function<void()> &then)
{
    kept()->rescue([this, error, then](const memofile::RescueOutcome &outcome) {
        const QString failure = QStringLiteral("%1「%2」を保存できませんでした。理由: %3。")
                                    .arg(fileWord(), error.fileName, error.reason);
        if (const auto *path = std::get_if<QString>(&outcome)) {
            printToStderr(failure + QStringLiteral("コードは「%1」に残しました。").arg(*path));
        } else {
            const auto &again = std::get<services::FileError>(outcome);
            // Nowhere left to write but here: the chords go to stderr.
            printToStderr(failure
                + QStringLiteral("救出用のファイル「%1」にも書けませんでした。理由: "
                                 "%2。コードは次のとおりです:")
                      .arg(again.fileName, again.reason));
            const QByteArray bytes = kept()->bytes();
            std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
            std::fflush(stderr);
        }
        if (then)
            then();
    });
}
