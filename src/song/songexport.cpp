#include "songexport.h"

#include "chordmemo.h"
#include "chordproreader.h"
#include "chordsheetfile.h"
#include "safefile.h"
#include "songrender.h"

#include <QBuffer>
#include <QFile>
#include <QObject>

#include <algorithm>
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
    SongRead read;
    const services::ReadResult file = memofile::readMemoFile(path);
    if (file.status == services::ReadStatus::Missing) {
        read.error = QStringLiteral("「%1」がありません").arg(path);
        return read;
    }
    if (file.status == services::ReadStatus::Failed) {
        read.error = QStringLiteral("「%1」を読めません: %2")
                         .arg(file.error->fileName, file.error->reason);
        return read;
    }
    if (!readsAsChordPro(path)) {
        memo::ChordMemo memo;
        memo.loadBytes(file.bytes, {});
        read.song = songFromMemo(memo, titleFromPath(path), tempo, beatsPerBar);
        return read;
    }
    const ChordProSong chordPro = readChordPro(file.bytes, beyond);
    if (!chordPro.error.isEmpty()) {
        read.error = QStringLiteral("「%1」を読めません: %2").arg(path, chordPro.error);
        return read;
    }
    read.song = songOfChordPro(chordPro, titleFromPath(path), tempo, beatsPerBar);
    read.leftOut = std::max(0, int(chordPro.chords.size()) - memo::MemoSlotCount);
    read.left = chordPro.left;
    read.beyondTables = chordPro.beyondTables;
    read.replaced = chordPro.replaced;
    return read;
}

} // namespace song
