#include "form1.h"
#include "form1layout.h"

#include "clicklabel.h"
#include "colour.h"
#include "diskfiles.h"
#include "filewatcher.h"
#include "lockfile.h"
#include "memohistory.h"
#include "memokeeper.h"
#include "memolocation.h"
#include "memomerge.h"
#include "songformats.h"
#include "startfolder.h"
#include "twips.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <variant>

using namespace ui::layout;

namespace
{
const QString AppName = QStringLiteral("ソラミナ");

// Above 終了 in the file menu.
struct MenuItem {
    const char *name;
    const char *caption;
    void (Form1::*handler)();
    QAction *Form1::*item;
    QKeySequence keys = {};
};

// The notice of failed saves lies over the help line above the slots while
// saves fail, so nothing of the window moves.
constexpr TwipsRect SaveNoticeRect {240, 2280, 8415, 255};
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
} // namespace

void Form1::buildMemoControls()
{
    connect(m_keeper, &memofile::MemoKeeper::slotChanged, this, &Form1::showSlot);
    connect(m_keeper, &memofile::MemoKeeper::saveErrorChanged, this, &Form1::showSaveError);

    const MenuItem items[] {
        {"open", "開く(&O)...", &Form1::open_Click, &Form1::open},
        {"saveas", "名前を付けて保存(&A)...", &Form1::saveas_Click, &Form1::saveas},
        {"export", "エクスポート(&E)...", &Form1::export_Click, &Form1::exportItem},
        {"import", "インポート(&I)...", &Form1::import_Click, &Form1::importItem},
        {"print", "印刷(&P)...", &Form1::print_Click, &Form1::printItem,
            QKeySequence(Qt::CTRL | Qt::Key_P)},
    };
    auto *file = qobject_cast<QMenu *>(end->parent());
    for (const MenuItem &item : items) {
        auto *action = new QAction(QString::fromUtf8(item.caption), file);
        action->setObjectName(QString::fromLatin1(item.name));
        action->setShortcut(item.keys);
        file->insertAction(end, action);
        connect(action, &QAction::triggered, this, item.handler);
        this->*item.item = action;
    }
    file->insertSeparator(end);

    lblsavenotice = noticeLabel(
        QStringLiteral("lblsavenotice"), SaveNoticeRect, SaveNoticeColour, SaveNoticeTextColour);
    lblsavenotice->raise();
    frameabout->raise(); // the About panel still covers everything
}

QLabel *Form1::noticeLabel(const QString &name, const widgets::TwipsRect &rect,
    std::string_view colour, std::string_view textColour)
{
    auto *notice = new QLabel(centralWidget());
    notice->setObjectName(name);
    widgets::placeInTwips(notice, rect);
    notice->setTextFormat(Qt::PlainText);
    notice->setAutoFillBackground(true);
    QPalette palette = notice->palette();
    palette.setColor(QPalette::Window, widgets::hexColour(QString::fromLatin1(colour)));
    palette.setColor(QPalette::WindowText, widgets::hexColour(QString::fromLatin1(textColour)));
    notice->setPalette(palette);
    notice->hide();
    return notice;
}

void Form1::showSlot(int slot, const QString &caption)
{
    lblslot[slot]->setText(caption);
    updatePlayItems();
}

void Form1::showTitle()
{
    QString title = QString::fromUtf8(WindowTitle.data(), qsizetype(WindowTitle.size()));
    if (m_keeper->path() != QDir::cleanPath(memofile::defaultMemoPath()))
        title += QStringLiteral(" - ") + QFileInfo(m_keeper->path()).fileName();
    setWindowTitle(title);
}

void Form1::showSaveError()
{
    const auto &error = m_keeper->saveError();
    lblsavenotice->setVisible(error.has_value());
    if (!error) {
        printToStderr(QStringLiteral("メモ「%1」は保存されています。").arg(m_keeper->path()));
        return;
    }
    const QString text
        = QStringLiteral("メモを保存できません。保存できるまで自動で試し続けます（%1）: %2")
              .arg(error->fileName, error->reason);
    lblsavenotice->setText(text);
    lblsavenotice->setToolTip(text);
    printToStderr(text);
}

namespace
{
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

void Form1::setFileItemsEnabled(bool enabled)
{
    for (QAction *item : {open, saveas, importItem})
        item->setEnabled(enabled);
}

services::FileError Form1::chordProRefusal(const QString &path)
{
    return {path,
        QStringLiteral("ChordPro のコード譜で、メモのファイルではありません（ファイルはそのまま"
                       "です）。メモに取り込むには、メモを開いたウィンドウの フィイル → "
                       "インポート... で選んでください")};
}

void Form1::open_Click()
{
    // One file command at a time: each waits for the save before it.
    setFileItemsEnabled(false);
    m_keeper->save([this](const std::optional<services::FileError> &error) {
        if (error) {
            setFileItemsEnabled(true);
            QMessageBox::warning(this, AppName,
                QStringLiteral("今のメモを保存できないため、ほかのファイルを開けません。\n")
                    + fileReport(*error));
            return;
        }
        const QString path = m_unattended
            ? QString()
            : chooseFile(this, QStringLiteral("開く"), m_keeper->path(), QFileDialog::AcceptOpen);
        if (path.isEmpty())
            return setFileItemsEnabled(true);
        if (song::readsAsChordPro(path)) {
            setFileItemsEnabled(true);
            QMessageBox::warning(this, AppName,
                QStringLiteral("メモとして開けません。\n") + fileReport(chordProRefusal(path)));
            return;
        }
        m_keeper->open(path, std::bind_front(&Form1::showSlot, this),
            [this](const std::optional<services::FileError> &error) {
                setFileItemsEnabled(true);
                if (error) {
                    QMessageBox::warning(this, AppName,
                        QStringLiteral("メモとして開けません。\n") + fileReport(*error));
                    return;
                }
                for (int i = 0; i < ShownSlots; ++i)
                    widgets::setBackColour(
                        lblslot[i], widgets::hexColour(QString::fromLatin1(SlotColour)));
                // Another memo: the steps of this one's history are not its.
                m_history->undoStack()->clear();
                showTitle();
            });
    });
}

void Form1::saveas_Click()
{
    setFileItemsEnabled(false);
    saveElsewhere([this](bool) { setFileItemsEnabled(true); });
}

void Form1::saveElsewhere(const std::function<void(bool saved)> &then)
{
    const QString path = chooseFile(
        this, QStringLiteral("名前を付けて保存"), m_keeper->path(), QFileDialog::AcceptSave);
    if (path.isEmpty())
        return then(false);
    // Refused as 開く refuses it: the next start would not take it as a memo.
    if (song::readsAsChordPro(path)) {
        if (!m_unattended) {
            QMessageBox::warning(this, AppName,
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
                if (m_settings)
                    song::copySongSettings(*m_settings, from, m_keeper->path());
                showTitle();
            } else if (!m_unattended) {
                QMessageBox::warning(
                    this, AppName, QStringLiteral("保存できませんでした。\n") + fileReport(*error));
            }
            then(!error);
        });
}

// Starts the save a close waits for; the window goes once it went through,
// or once the user said what to do when it did not.
void Form1::Form_Unload()
{
    if (m_closing)
        return;
    m_closing = true;
    if (m_songPlayer)
        stop_Click();
    setFileItemsEnabled(false);
    m_keeper->save([this](const std::optional<services::FileError> &error) {
        m_closing = false;
        if (!error)
            return closeNow();
        if (!m_unattended)
            return askAfterFailedSave(*error);
        m_exitStatus = EXIT_FAILURE;
        rescue(*error, [this] { closeNow(); });
    });
}

void Form1::closeNow()
{
    m_closed = true;
    close();
}

void Form1::askAfterFailedSave(const services::FileError &error)
{
    QMessageBox box(QMessageBox::Warning, AppName,
        QStringLiteral("メモを保存できませんでした。\n") + fileReport(error)
            + QStringLiteral("\n\n保存しないで終了すると、保存されていないコードは失われます。"),
        QMessageBox::NoButton, this);
    box.setObjectName(QStringLiteral("failedsave"));
    auto *retry = box.addButton(QStringLiteral("再試行"), QMessageBox::AcceptRole);
    auto *elsewhere = box.addButton(QStringLiteral("別の場所に保存..."), QMessageBox::ActionRole);
    auto *discard = box.addButton(QStringLiteral("保存せずに終了"), QMessageBox::DestructiveRole);
    auto *stay = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    retry->setObjectName(QStringLiteral("retry"));
    elsewhere->setObjectName(QStringLiteral("elsewhere"));
    discard->setObjectName(QStringLiteral("discard"));
    stay->setObjectName(QStringLiteral("stay"));
    box.setDefaultButton(retry);
    box.setEscapeButton(stay);
    box.exec();
    // A close taken over while asking saves again, and rescues the memo.
    if (m_unattended || box.clickedButton() == retry)
        return Form_Unload();
    if (box.clickedButton() == elsewhere) {
        return saveElsewhere([this](bool saved) {
            if (saved)
                closeNow();
            else
                Form_Unload();
        });
    }
    if (box.clickedButton() == discard) {
        const auto answer = QMessageBox::question(this, AppName,
            QStringLiteral(
                "保存しないで終了します。保存されていないコードは失われます。よろしいですか?"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        return answer == QMessageBox::Yes ? closeNow() : Form_Unload();
    }
    setFileItemsEnabled(true); // the window stays
}

void Form1::closeUnattended()
{
    m_unattended = true;
    // A question on screen has nobody to answer it: put it away, and let the
    // close that asked it go on; otherwise close now.
    if (QWidget *modal = QApplication::activeModalWidget())
        modal->close();
    QTimer::singleShot(0, this, &QWidget::close);
}

void Form1::saveForSession()
{
    // The session may end next, with nobody to answer a question.
    m_keeper->save([this](const std::optional<services::FileError> &error) {
        if (error)
            rescue(*error, {});
    });
}

void Form1::rescue(const services::FileError &error, const std::function<void()> &then)
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
            const QByteArray bytes = memo::memoFileBytes(m_memo.lines());
            std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
            std::fflush(stderr);
        }
        if (then)
            then();
    });
}
