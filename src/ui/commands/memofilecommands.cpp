#include "memofilecommands.h"

#include "chordwindow.h"
#include "failedsave.h"
#include "memohistory.h"
#include "memokeeper.h"
#include "memolocation.h"
#include "memomerge.h"
#include "noticeline.h"
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
QString chooseFile(
    QWidget *parent, const QString &caption, const QString &near, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, caption, ui::startFolder(near));
    dialog.setObjectName(QStringLiteral("filedialog"));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
} // namespace

ui::MemoFileCommands::MemoFileCommands(ChordWindow *window, memofile::MemoKeeper *keeper,
    memo::MemoHistory *history, SongSettingsStore *store)
    : QObject(window)
    , m_window(window)
    , m_keeper(keeper)
    , m_history(history)
    , m_store(store)
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

    QMenu *file = window->fileMenu();
    const std::pair<const char *, const char *> items[] {
        {"open", "開く(&O)..."},
        {"saveas", "名前を付けて保存(&A)..."},
    };
    for (const auto &[name, caption] : items) {
        auto *action = new QAction(QString::fromUtf8(caption), file);
        action->setObjectName(QString::fromLatin1(name));
        file->insertAction(window->fileItemsEnd(), action);
        m_held << action;
    }
    connect(m_held[0], &QAction::triggered, this, &MemoFileCommands::openClicked);
    connect(m_held[1], &QAction::triggered, this, &MemoFileCommands::saveAsClicked);
    window->raiseNotice(m_saveNotice);
}

void ui::MemoFileCommands::holdWhileBusy(QAction *item)
{
    m_held << item;
}

void ui::MemoFileCommands::showBox(int box, const QString &caption)
{
    m_window->showBoxCaption(box, caption);
    emit boxShown(box);
}

void ui::MemoFileCommands::showTitle()
{
    QString title = WindowTitle;
    if (m_keeper->path() != QDir::cleanPath(memofile::defaultMemoPath()))
        title += QStringLiteral(" - ") + QFileInfo(m_keeper->path()).fileName();
    m_window->setWindowTitle(title);
}

void ui::MemoFileCommands::showSaveError()
{
    const auto &error = m_keeper->saveError();
    m_saveNotice->setVisible(error.has_value());
    if (!error) {
        printToStderr(QStringLiteral("メモ「%1」は保存されています。").arg(m_keeper->path()));
        return;
    }
    const QString text
        = QStringLiteral("メモを保存できません。保存できるまで自動で試し続けます（%1）: %2")
              .arg(error->fileName, error->reason);
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
    m_keeper->save([this](const std::optional<services::FileError> &error) {
        if (error) {
            setFileItemsEnabled(true);
            QMessageBox::warning(m_window, AppName,
                QStringLiteral("今のメモを保存できないため、ほかのファイルを開けません。\n")
                    + fileReport(*error));
            return;
        }
        const QString path = m_unattended ? QString()
                                          : chooseFile(m_window, QStringLiteral("開く"),
                                              m_keeper->path(), QFileDialog::AcceptOpen);
        if (path.isEmpty())
            return setFileItemsEnabled(true);
        if (song::readsAsChordPro(path)) {
            setFileItemsEnabled(true);
            QMessageBox::warning(m_window, AppName,
                QStringLiteral("メモとして開けません。\n") + fileReport(chordProRefusal(path)));
            return;
        }
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
    });
}

void ui::MemoFileCommands::saveAsClicked()
{
    setFileItemsEnabled(false);
    saveElsewhere([this](bool) { setFileItemsEnabled(true); });
}

void ui::MemoFileCommands::saveElsewhere(const std::function<void(bool saved)> &then)
{
    const QString path = chooseFile(
        m_window, QStringLiteral("名前を付けて保存"), m_keeper->path(), QFileDialog::AcceptSave);
    if (path.isEmpty())
        return then(false);
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
    m_keeper->save([this](const std::optional<services::FileError> &error) {
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
    m_keeper->save([this](const std::optional<services::FileError> &error) {
        if (error)
            rescue(*error, {});
    });
}

void ui::MemoFileCommands::rescue(
    const services::FileError &error, const std::function<void()> &then)
{
    m_keeper->rescue([this, error, then](const memofile::RescueOutcome &outcome) {
        const QString failure = QStringLiteral("メモ「%1」を保存できませんでした。理由: %2。")
                                    .arg(error.fileName, error.reason);
        if (const auto *path = std::get_if<QString>(&outcome)) {
            printToStderr(failure + QStringLiteral("コードは「%1」に残しました。").arg(*path));
        } else {
            const auto &again = std::get<services::FileError>(outcome);
            // Nowhere left to write but here: the chords go to stderr.
            printToStderr(failure
                + QStringLiteral("救出用のファイル「%1」にも書けませんでした。理由: "
                                 "%2。コードは次のとおりです:")
                      .arg(again.fileName, again.reason));
            const QByteArray bytes = memo::memoFileBytes(m_keeper->memo().lines());
            std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
            std::fflush(stderr);
        }
        if (then)
            then();
    });
}
