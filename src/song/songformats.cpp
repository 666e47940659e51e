#include "songformats.h"

#include "chordpro.h"
#include "midifile.h"
#include "songtext.h"

#include <QFileInfo>

#include <algorithm>
#include <array>

namespace song
{

namespace
{
struct FormatRow {
    SongFormat format;
    const char *label; // UTF-8
    std::array<const char *, 2> extensions; // the first is the usual one; null: none
    ByteWriter writer;
};

const FormatRow Formats[] {
    {SongFormat::ChordPro, "ChordPro", {"cho", "chordpro"},
        [](const Song &song, int) { return chordProBytes(song); }},
    {SongFormat::Midi, "MIDI ファイル", {"mid", nullptr}, midiFileBytes},
    {SongFormat::Pdf, "PDF コード譜", {"pdf", nullptr}, nullptr},
    {SongFormat::Png, "PNG 画像", {"png", nullptr}, nullptr},
    {SongFormat::Wav, "WAV 音声", {"wav", nullptr}, nullptr},
    {SongFormat::Text, "テキスト", {"txt", nullptr},
        [](const Song &song, int) { return songTextBytes(song); }},
};

// Files that chord-sheet apps save as ChordPro, under any of their names.
constexpr const char *ChordProReadExtensions[] {"cho", "chordpro", "chopro", "crd", "pro"};

QString extensionOf(const QString &path)
{
    return QFileInfo(path).suffix().toLower();
}

template<typename F> void forEachExtension(F &&f)
{
    for (const FormatRow &row : Formats) {
        for (const char *extension : row.extensions) {
            if (extension)
                f(row, QLatin1String(extension));
        }
    }
}
} // namespace

std::optional<SongFormat> formatOfPath(const QString &path)
{
    const QString extension = extensionOf(path);
    std::optional<SongFormat> found;
    forEachExtension([&](const FormatRow &row, QLatin1String known) {
        if (extension == known)
            found = row.format;
    });
    return found;
}

QString formatNames()
{
    QStringList names;
    forEachExtension(
        [&](const FormatRow &, QLatin1String extension) { names << u'.' + extension; });
    return names.join(QStringLiteral(", "));
}

QStringList saveFilters()
{
    QStringList filters;
    for (const FormatRow &row : Formats) {
        QStringList patterns;
        for (const char *extension : row.extensions) {
            if (extension)
                patterns << QStringLiteral("*.") + QLatin1String(extension);
        }
        filters << QStringLiteral("%1 (%2)").arg(QString::fromUtf8(row.label), patterns.join(u' '));
    }
    return filters;
}

bool readsAsChordPro(const QString &path)
{
    const QString extension = extensionOf(path);
    return std::ranges::any_of(ChordProReadExtensions,
        [&extension](const char *known) { return extension == QLatin1String(known); });
}

ByteWriter byteWriter(SongFormat format)
{
    const auto row = std::ranges::find(Formats, format, &FormatRow::format);
    return row == std::end(Formats) ? nullptr : row->writer;
}

} // namespace song
