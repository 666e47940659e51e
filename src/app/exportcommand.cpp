#include "exportcommand.h"

#include "memoedit.h"
#include "chordsymbol.h"
#include "memolocation.h"
#include "songexport.h"
#include "songsettings.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QSettings>

#include <cstdio>

namespace app
{

namespace
{
// Qt's own notes (a missing runtime folder, say) are no part of an
// export's one line; its failures are.
void keepQtQuiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

void say(const QString &program, const QString &what)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(program), what.toLocal8Bit().constData());
}

int fail(const QString &program, int status, const QString &why)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(program), why.toLocal8Bit().constData());
    return status;
}
} // namespace

int runExport(const CommandLine &command, const QString &program, int argc, char **argv)
{
    // Drawn off screen whatever display there is: nothing is shown.
    if (!command.platformGiven)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(keepQtQuiet);
    const QGuiApplication application(argc, argv);
    const QString file
        = command.memoFile.isEmpty() ? memofile::defaultMemoPath() : command.memoFile;
    const QSettings settings(QStringLiteral("soramina"), QStringLiteral("soramina"));
    const song::SongSettings kept = song::loadSongSettings(settings, file);
    if (song::sameFile(command.exportFile, file))
        return fail(program, int(song::ExportStatus::Failed),
            QStringLiteral("「%1」は書き出し元のファイルです: 別の名前に書き出してください")
                .arg(command.exportFile));

    song::SongRead read = song::readSongFile(file, kept.tempo, kept.beatsPerBar,
        command.nearest ? song::BeyondTables::Nearest : song::BeyondTables::KeepAsWritten);
    if (!read.error.isEmpty()) {
        // No memo yet where it usually is: the song may be in a file of its own.
        const bool noMemoYet = command.memoFile.isEmpty() && !QFileInfo::exists(file);
        return fail(program, int(song::ExportStatus::Failed),
            noMemoYet ? read.error
                    + QStringLiteral(": メモはまだありません。書き出すメモか ChordPro の曲は "
                                     "FILE として渡せます")
                      : read.error);
    }
    song::Song &tune = read.song;
    tune.tempo = command.tempo.value_or(tune.tempo);
    tune.beatsPerBar = command.beats.value_or(tune.beatsPerBar);
    // A memo's key and capo are kept beside it; a ChordPro song's are its own.
    if (!song::readsAsChordPro(file)) {
        tune.key = kept.key;
        tune.capo = kept.capo;
    }
    if (command.keyGiven)
        tune.key = command.key;
    tune.capo = command.capo.value_or(tune.capo);
    if (command.transposition)
        tune = song::transposed(
            tune, command.transposition->semitones, command.transposition->spelling);
    if (!read.replaced.empty())
        say(program, memo::replacedNotice(read.replaced));
    else if (read.beyondTables > 0)
        say(program,
            QStringLiteral("一覧にない %1 個のコードは書かれたまま書き出します（--nearest "
                           "で近いコードにします）")
                .arg(read.beyondTables));

    const song::Exported exported
        = song::exportSong(tune, song::chosenProgram(settings), command.exportFile);
    if (exported.status != song::ExportStatus::Written)
        return fail(program, int(exported.status), exported.error);
    return 0;
}

} // namespace app
