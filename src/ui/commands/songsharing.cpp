#include "songsharing.h"

#include "beyondtables.h"
#include "chordboxes.h"
#include "chordsheet.h"
#include "chordwindow.h"
#include "memoedit.h"
#include "memohistory.h"
#include "noticeline.h"
#include "offthread.h"
#include "pageprinter.h"
#include "pluginloader.h"
#include "songexport.h"
#include "songformats.h"
#include "songrender.h"
#include "songsettingsstore.h"
#include "soundloader.h"
#include "startfolder.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>

#include <algorithm>

namespace
{
const QString AppName = QStringLiteral("ソラミナ");
const QString ChordProFilter
    = QStringLiteral("ChordPro (*.cho *.chordpro *.chopro *.crd *.pro *.CHO *.PRO)");

// The extension a save dialog's filter names first: "*.mid" in "MIDI (*.mid)".
QString firstExtension(const QString &filter)
{
    const qsizetype star = filter.indexOf(QLatin1String("*."));
    return filter.mid(star + 2).section(u' ', 0, 0).section(u')', 0, 0);
}

// Audio needs the sound module: loaded off the GUI thread, its output made
// on it, then opened and rendered off it again, as the player opens one.
struct AudioExport {
    sound::Opener opener = sound::outputOpener(services::pluginFolders(), sound::Target::Buffer);
    sound::Opened opened;
    QString failure;
};
} // namespace

ui::SongSharing::SongSharing(ChordWindow *window, ChordBoxes *boxes, MemoPath memoPath,
    SongSettingsStore *store, NoticeLine *notice, BeyondTablesQuestion *question)
    : QObject(window)
    , m_window(window)
    , m_boxes(boxes)
    , m_memoPath(std::move(memoPath))
    , m_store(store)
    , m_notice(notice)
    , m_question(question)
{
    struct Item {
        const char *name;
        const char *caption;
        void (SongSharing::*handler)();
        QKeySequence keys = {};
    };
    const Item items[] {
        {"export", "エクスポート(&E)...", &SongSharing::exportClicked},
        {"import", "インポート(&I)...", &SongSharing::importClicked},
        {"print", "印刷(&P)...", &SongSharing::printClicked, QKeySequence(Qt::CTRL | Qt::Key_P)},
    };
    QMenu *file = window->fileMenu();
    QList<QAction *> made;
    for (const Item &item : items) {
        auto *action = new QAction(QString::fromUtf8(item.caption), file);
        action->setObjectName(QString::fromLatin1(item.name));
        action->setShortcut(item.keys);
        file->insertAction(window->fileItemsEnd(), action);
        connect(action, &QAction::triggered, this, item.handler);
        made << action;
    }
    m_export = made[0];
    m_import = made[1];
}

// The job under way finishes before what it works with goes.
ui::SongSharing::~SongSharing() = default;

services::OffThread &ui::SongSharing::jobs()
{
    if (!m_jobs)
        m_jobs = std::make_unique<services::OffThread>();
    return *m_jobs;
}

song::Song ui::SongSharing::currentSong() const
{
    song::Song song = m_boxes->wholeSong(song::titleFromPath(m_memoPath()), m_store->load());
    if (song.title.isEmpty())
        song.title = song::titleFromPath(m_memoPath());
    return song;
}

void ui::SongSharing::exportClicked()
{
    QFileDialog dialog(m_window, QStringLiteral("エクスポート"), ui::startFolder(m_memoPath()));
    dialog.setObjectName(QStringLiteral("exportdialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(song::saveFilters());
    const QString title = currentSong().title;
    dialog.setDefaultSuffix(firstExtension(song::saveFilters().constFirst()));
    dialog.selectFile(title + u'.' + dialog.defaultSuffix());
    // The name follows the format chosen, as long as the user has not typed one of their own.
    connect(
        &dialog, &QFileDialog::filterSelected, &dialog, [&dialog, title](const QString &filter) {
            dialog.setDefaultSuffix(firstExtension(filter));
            dialog.selectFile(title + u'.' + dialog.defaultSuffix());
        });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    exportTo(dialog.selectedFiles().constFirst());
}

void ui::SongSharing::exportTo(const QString &path)
{
    const std::optional<song::SongFormat> format = song::formatOfPath(path);
    if (!format) {
        QMessageBox::warning(m_window, AppName,
            QStringLiteral("この形式には書き出せません: %1\n書ける形式: %2")
                .arg(QFileInfo(path).fileName(), song::formatNames()));
        return;
    }
    if (song::sameFile(path, m_memoPath())) {
        m_notice->show(QStringLiteral("「%1」は開いている%2です: 別の名前に書き出してください")
                           .arg(QFileInfo(path).fileName(),
                               m_boxes->holdsSong() ? QStringLiteral("曲") : QStringLiteral("メモ")));
        return;
    }
    services::OffThread &queue = jobs();
    m_export->setEnabled(false);
    const song::Song tune = currentSong();
    const int program = m_store->program();
    const auto result = std::make_shared<song::Exported>();
    const auto finish = [this, result, path] {
        m_export->setEnabled(true);
        if (result->status == song::ExportStatus::Written)
            m_notice->show(
                QStringLiteral("「%1」に書き出しました").arg(QFileInfo(path).fileName()));
        else
            QMessageBox::warning(m_window, AppName, result->error);
    };
    if (*format != song::SongFormat::Wav) {
        queue.run([=] { *result = song::writeFormat(path, *format, tune, program); }, this, finish);
        return;
    }
    const auto audio = std::make_shared<AudioExport>();
    queue.run([audio] { audio->failure = audio->opener.load(); }, this,
        [=, this] {
            if (audio->failure.isEmpty())
                audio->opened = audio->opener.create();
            jobs().run(
                [=] {
                    sound::SoundOutput *output = audio->opened.output.get();
                    QString failure
                        = !audio->failure.isEmpty() ? audio->failure : audio->opened.reason;
                    if (output && failure.isEmpty())
                        failure = audio->opener.open(*output);
                    if (!failure.isEmpty()) {
                        *result = {song::ExportStatus::Failed,
                            QStringLiteral("音声を作れません: %1").arg(failure)};
                        return;
                    }
                    *result = song::writeExport(path, song::renderWav(tune, program, *output));
                },
                this, finish);
        });
}

void ui::SongSharing::importClicked()
{
    const QString path = QFileDialog::getOpenFileName(m_window, QStringLiteral("インポート"),
        ui::startFolder(m_memoPath()), ChordProFilter + QStringLiteral(";;すべてのファイル (*)"));
    if (path.isEmpty())
        return;
    if (!song::readsAsChordPro(path)) {
        QMessageBox::warning(m_window, AppName,
            QStringLiteral(
                "ChordPro のファイル（.cho .chordpro .chopro .crd .pro）を選んでください。"));
        return;
    }
    if (m_boxes->readOnly()) {
        m_notice->show(QStringLiteral("この曲は読み取り専用です: インポートできません"));
        return;
    }
    if (m_boxes->holdsAnything()
        && QMessageBox::question(m_window, AppName,
               QStringLiteral("%1のコードを「%2」のコードで置き換えます。"
                              "（編集 → 元に戻す で戻せます）よろしいですか?")
                   .arg(m_boxes->holdsSong() ? QStringLiteral("曲") : QStringLiteral("メモ"),
                       QFileInfo(path).fileName()),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            != QMessageBox::Yes)
        return;
    importFrom(path);
}

void ui::SongSharing::importFrom(const QString &path)
{
    services::OffThread &queue = jobs();
    m_import->setEnabled(false);
    const song::SongSettings kept = m_store->load();
    const auto read = std::make_shared<song::SongRead>();
    const auto nearest = std::make_shared<song::SongRead>();
    queue.run(
        [=] {
            *read = song::readSongFile(path, kept.tempo, kept.beatsPerBar);
            if (read->beyondTables > 0)
                *nearest = song::readSongFile(
                    path, kept.tempo, kept.beatsPerBar, song::BeyondTables::Nearest);
        },
        this,
        [this, read, nearest] {
            m_import->setEnabled(true);
            imported(*read, *nearest);
        });
}

void ui::SongSharing::imported(const song::SongRead &kept, const song::SongRead &nearest)
{
    QStringList names;
    for (const memo::NameReplaced &name : nearest.replaced)
        names << name.written;
    const bool replace = kept.beyondTables > 0 && nearest.error.isEmpty() && m_question
        && m_question->choose(m_window, names) == chord::BeyondTables::Nearest;
    const song::SongRead &read = replace ? nearest : kept;
    if (!read.error.isEmpty()) {
        QMessageBox::warning(m_window, AppName, read.error);
        return;
    }
    if (std::ranges::all_of(read.song.bars, &song::Bar::isEmpty)) {
        m_notice->show(
            QStringLiteral("読み込んだファイルにはコードがありません: メモはそのままです"));
        return;
    }
    if (!m_store->keeps() || m_boxes->holdsSong()) {
        // A song takes the tempo, meter, key and capo into its own step.
        m_boxes->replaceAll(QStringLiteral("インポート"), read.song);
    } else {
        // Undone with the boxes: the memo's song comes back at its own tempo,
        // key and capo.
        m_boxes->replaceAll(QStringLiteral("インポート"), read.song,
            m_store->alongside(m_store->load(),
                {read.song.tempo, read.song.beatsPerBar, read.song.key, read.song.capo}));
    }
    QStringList notices;
    if (read.leftOut > 0 && !m_boxes->holdsSong())
        notices << QStringLiteral("メモは %1 個までです: %2 個のコードは読み込んでいません")
                       .arg(memo::MemoSlotCount)
                       .arg(read.leftOut);
    notices << beyondTablesNotice(read.beyondTables, read.replaced);
    notices.removeAll(QString());
    if (!notices.isEmpty())
        m_notice->show(notices.join(QStringLiteral("。")));
}

void ui::SongSharing::printClicked()
{
    QString error;
    const services::PluginLoader plugin(QStringLiteral(SORAMINA_PRINT_PLUGIN));
    auto *printer = plugin.instance<services::PagePrinter>(error);
    if (!printer) {
        QMessageBox::warning(m_window, AppName, QStringLiteral("印刷できません: %1").arg(error));
        return;
    }
    const song::Song tune = currentSong();
    const QString pdf = ui::startFolder(m_memoPath()) + u'/' + tune.title + QStringLiteral(".pdf");
    // Every page of the sheet, laid out once.
    song::ChordSheet sheet(tune);
    const auto printed = printer->print(m_window, tune.title, pdf,
        [&sheet](QPainter &painter, const QRectF &page, int index) {
            return sheet.draw(painter, page, index);
        });
    if (printed == services::PagePrinter::Printed::Failed)
        QMessageBox::warning(m_window, AppName, QStringLiteral("印刷できませんでした。"));
}
