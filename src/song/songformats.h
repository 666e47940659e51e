#pragma once

#include "song.h"

#include <QByteArray>
#include <QStringList>

#include <optional>

namespace song
{

enum class SongFormat {
    ChordPro,
    Midi,
    Pdf,
    Png,
    Wav,
    Text,
};

// Writes a song as a file's bytes; the program is the General MIDI
// instrument chosen for the sound, which only a MIDI file keeps.
using ByteWriter = QByteArray (*)(const Song &song, int program);

// The format a song is written in, by the output's extension, in any case;
// nothing for an extension that names none.
std::optional<SongFormat> formatOfPath(const QString &path);

// The extensions written, for an error line: ".cho, .chordpro, .mid, ...".
QString formatNames();

// One filter a format, for a save dialog: "ChordPro (*.cho *.chordpro)".
QStringList saveFilters();

// Whether a file is read as ChordPro, by its extension in any case.
bool readsAsChordPro(const QString &path);
// What a song's file is named with when the user gives no extension.
inline const QString SongSuffix = QStringLiteral("cho");

// The writer of a format that is bytes made from the song alone; null for
// the chord sheet (PDF and PNG are drawn) and for WAV (rendered by the sound
// module, which may be missing).
ByteWriter byteWriter(SongFormat format);

} // namespace song
