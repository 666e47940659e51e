#include "form1.h"

#include "chordsheet.h"
#include "memohistory.h"
#include "memokeeper.h"
#include "offthread.h"
#include "pageprinter.h"
#include "pluginloader.h"
#include "songrender.h"
#include "songsettings.h"
#include "soundloader.h"
#include "startfolder.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <memory>

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

song::SongSettings Form1::keptSongSettings() const
{
    return m_settings ? song::loadSongSettings(*m_settings, m_keeper->path())
                      : song::SongSettings {};
}

song::Song Form1::currentSong() const
{
    const song::SongSettings kept = keptSongSettings();
    return song::songFromMemo(
        m_memo, song::titleFromPath(m_keeper->path()), kept.tempo, kept.beatsPerBar);
}

void Form1::export_Click()
{
    QFileDialog dialog(this, QStringLiteral("エクスポート"), ui::startFolder(m_keeper->path()));
    dialog.setObjectName(QStringLiteral("exportdialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(song::saveFilters());
    const QString title = song::titleFromPath(m_keeper->path());
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

void Form1::exportTo(const QString &path)
{
    const std::optional<song::SongFormat> format = song::formatOfPath(path);
    if (!format) {
        QMessageBox::warning(this, AppName,
            QStringLiteral("この形式には書き出せません: %1\n書ける形式: %2")
                .arg(QFileInfo(path).fileName(), song::formatNames()));
        return;
    }
    if (song::sameFile(path, m_keeper->path())) {
        refuse(QStringLiteral("「%1」は開いているメモです: 別の名前に書き出してください")
                   .arg(QFileInfo(path).fileName()));
        return;
    }
    if (!m_sharing)
        m_sharing = std::make_unique<services::OffThread>();
    exportItem->setEnabled(false);
    const song::Song tune = currentSong();
    const int program = m_settings ? song::chosenProgram(*m_settings) : 0;
    const auto result = std::make_shared<song::Exported>();
    const auto finish = [this, result, path] {
        exportItem->setEnabled(true);
        if (result->status == song::ExportStatus::Written)
            showNotice(QStringLiteral("「%1」に書き出しました").arg(QFileInfo(path).fileName()));
        else
            QMessageBox::warning(this, AppName, result->error);
    };
    if (*format != song::SongFormat::Wav) {
        m_sharing->run(
            [=] { *result = song::writeFormat(path, *format, tune, program); }, this, finish);
        return;
    }
    const auto audio = std::make_shared<AudioExport>();
    m_sharing->run([audio] { audio->failure = audio->opener.load(); }, this,
        [=, this] {
            if (audio->failure.isEmpty())
                audio->opened = audio->opener.create();
            m_sharing->run(
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

void Form1::import_Click()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("インポート"),
        ui::startFolder(m_keeper->path()),
        ChordProFilter + QStringLiteral(";;すべてのファイル (*)"));
    if (path.isEmpty())
        return;
    if (!song::readsAsChordPro(path)) {
        QMessageBox::warning(this, AppName,
            QStringLiteral(
                "ChordPro のファイル（.cho .chordpro .chopro .crd .pro）を選んでください。"));
        return;
    }
    const bool holdsChords = std::ranges::any_of(
        memo::boxesOf(m_memo), [](const memo::Box &box) { return box.holdsAnything(); });
    if (holdsChords
        && QMessageBox::question(this, AppName,
               QStringLiteral("メモのコードを「%1」のコードで置き換えます。"
                              "（編集 → 元に戻す で戻せます）よろしいですか?")
                   .arg(QFileInfo(path).fileName()),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            != QMessageBox::Yes)
        return;
    importFrom(path);
}

void Form1::importFrom(const QString &path)
{
    if (!m_sharing)
        m_sharing = std::make_unique<services::OffThread>();
    importItem->setEnabled(false);
    const song::SongSettings kept = keptSongSettings();
    const auto read = std::make_shared<song::SongRead>();
    m_sharing->run([=] { *read = song::readSongFile(path, kept.tempo, kept.beatsPerBar); }, this,
        [this, read] {
            importItem->setEnabled(true);
            imported(*read);
        });
}

void Form1::imported(const song::SongRead &read)
{
    if (!read.error.isEmpty()) {
        QMessageBox::warning(this, AppName, read.error);
        return;
    }
    if (std::ranges::all_of(read.song.bars, &song::Bar::isEmpty)) {
        refuse(QStringLiteral("読み込んだファイルにはコードがありません: メモはそのままです"));
        return;
    }
    memo::Boxes boxes;
    for (std::size_t k = 0; k < read.song.bars.size() && k < boxes.size(); ++k)
        boxes[k] = memo::boxOf(read.song.bars[k].root, read.song.bars[k].kind);
    if (!m_settings) {
        m_history->change(QStringLiteral("インポート"), boxes);
    } else {
        // Undone with the boxes: the memo's song comes back at its own tempo.
        const song::SongSettings before = keptSongSettings();
        const song::SongSettings after {read.song.tempo, read.song.beatsPerBar};
        const auto keep
            = [settings = m_settings, path = m_keeper->path(), before, after](
                  bool done) { song::saveSongSettings(*settings, path, done ? after : before); };
        m_history->change(QStringLiteral("インポート"), boxes, keep);
    }
    if (read.leftOut > 0)
        refuse(QStringLiteral("メモは %1 個までです: %2 個のコードは読み込んでいません")
                   .arg(memo::MemoSlotCount)
                   .arg(read.leftOut));
}

void Form1::print_Click()
{
    QString error;
    const services::PluginLoader plugin(QStringLiteral(SORAMINA_PRINT_PLUGIN));
    auto *printer = plugin.instance<services::PagePrinter>(error);
    if (!printer) {
        QMessageBox::warning(this, AppName, QStringLiteral("印刷できません: %1").arg(error));
        return;
    }
    const song::Song tune = currentSong();
    const QString pdf
        = ui::startFolder(m_keeper->path()) + u'/' + tune.title + QStringLiteral(".pdf");
    const auto printed
        = printer->print(this, tune.title, pdf, [&tune](QPainter &painter, const QRectF &page) {
              song::drawChordSheet(painter, page, tune);
          });
    if (printed == services::PagePrinter::Printed::Failed)
        QMessageBox::warning(this, AppName, QStringLiteral("印刷できませんでした。"));
}
