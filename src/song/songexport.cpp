#include "songexport.h"

#include "chordmemo.h"
#include "chordproreader.h"
#include "chordsheetfile.h"
#include "safefile.h"
#include "songrender.h"

#include <QBuffer>
#include <QFile>
#include <QObject>

#include <filesystem>

namespace song
{

SongBytes formatBytes(SongFormat format, const Song &song, int program)
{
    const auto sheet = [&song](QString (*write)(const Song &, QIODevice &)) {
        SongBytes made;
        QBuffer buffer(&made.bytes);
        made.error = write(song, buffer);
        return made;
    };
    switch (format) {
    case SongFormat::Pdf: return sheet(writeSheetPdf);
    case SongFormat::Png: return sheet(writeSheetPng);
    case SongFormat::Wav: return {};
    default: return {byteWriter(format)(song, program), {}};
    }
}

Exported writeExport(const QString &path, const QByteArray &bytes)
{
    if (const auto error = memofile::replaceFile(path, bytes))
        return {ExportStatus::Failed,
            QStringLiteral("「%1」に書けません: %2").arg(error->fileName, error->reason)};
    return {};
}

Exported writeFormat(const QString &path, SongFormat format, const Song &song, int program)
{
    const SongBytes made = formatBytes(format, song, program);
    if (!made.error.isEmpty())
        return {ExportStatus::Failed,
            QStringLiteral("「%1」を書き出せません: %2").arg(path, made.error)};
    return writeExport(path, made.bytes);
}

Exported exportSong(const Song &song, int program, const QString &path, const QStringList &folders)
{
    const std::optional<SongFormat> format = formatOfPath(path);
    if (!format)
        return {ExportStatus::UnknownFormat,
            QStringLiteral("「%1」の形式がわかりません（書ける形式: %2）")
                .arg(path, formatNames())};
    if (*format != SongFormat::Wav)
        return writeFormat(path, *format, song, program);
    const Rendered audio = renderWav(song, program, folders);
    if (audio.wav.isEmpty())
        return {ExportStatus::Failed, QStringLiteral("音声を作れません: %1").arg(audio.error)};
    return writeExport(path, audio.wav);
}

bool sameFile(const QString &a, const QString &b)
{
    const auto native = [](const QString &path) {
        return std::filesystem::path(QFile::encodeName(path).toStdString());
    };
    std::error_code error;
    return std::filesystem::equivalent(native(a), native(b), error) && !error;
}

SongRead readSongFile(const QString &path, int tempo, int beatsPerBar, BeyondTables beyond)
{
    const services::ReadResult read = memofile::readMemoFile(path);
    if (read.status == services::ReadStatus::Missing)
        return {{}, QStringLiteral("「%1」がありません").arg(path), 0, 0, {}};
    if (read.status == services::ReadStatus::Failed)
        return {{},
            QStringLiteral("「%1」を読めません: %2").arg(read.error->fileName, read.error->reason),
            0, 0, {}};
    if (!readsAsChordPro(path)) {
        memo::ChordMemo memo;
        memo.loadBytes(read.bytes, {});
        return {songFromMemo(memo, titleFromPath(path), tempo, beatsPerBar), {}, 0, 0, {}};
    }
    const ChordProSong chordPro = readChordPro(read.bytes, beyond);
    if (!chordPro.error.isEmpty())
        return {{}, QStringLiteral("「%1」を読めません: %2").arg(path, chordPro.error), 0, 0, {}};
    Song song {chordPro.title.isEmpty() ? titleFromPath(path) : chordPro.title,
        chordPro.tempo.value_or(tempo), chordPro.beatsPerBar.value_or(beatsPerBar), {}};
    for (const memo::ChordText &chord : chordPro.chords)
        song.bars.push_back(barOf(chord.root, chord.kind));
    // Rests after the last chord are no part of the song, as in a memo.
    while (!song.bars.empty() && song.bars.back().isEmpty())
        song.bars.pop_back();
    return {song, {}, chordPro.leftOut, chordPro.beyondTables, chordPro.replaced};
}

} // namespace song
