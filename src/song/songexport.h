#pragma once

#include "chordproreader.h"
#include "pluginloader.h"
#include "song.h"
#include "songformats.h"

#include <QByteArray>
#include <QString>

namespace sound
{
class SoundOutput;
}

// A song to a file and from one: the writers' bytes put on the disk
// atomically, and a memo or a ChordPro song read as safely as the memo is.
namespace song
{

enum class ExportStatus {
    Written = 0,
    Failed = 1, // the file, or the sound for audio, could not be had
    UnknownFormat = 2, // the output's extension names no format
};

struct Exported {
    ExportStatus status = ExportStatus::Written;
    QString error; // one line for the user, when not written
};

struct SongBytes {
    QByteArray bytes;
    QString error; // why there are none, for the user; empty when made
};

// The song's bytes in any format but audio, which needs the sound module.
// PDF and PNG need a QGuiApplication (the offscreen platform will do).
SongBytes formatBytes(SongFormat format, const Song &song, int program);

// The song written to path in any format but audio; nothing is written when
// its bytes cannot be made.
Exported writeFormat(const QString &path, SongFormat format, const Song &song, int program);

// Puts the bytes at path as the memo is saved: a new file beside it, synced,
// renamed over it, so that a failure leaves no file and no half of one.
Exported writeExport(const QString &path, const QByteArray &bytes);

// The whole export on the calling thread, in the format path's extension
// names; audio through the sound module in the first of the folders.
Exported exportSong(const Song &song, int program, const QString &path,
    const QStringList &folders = services::pluginFolders());

// Whether two paths name one file, after symbolic links and through hard
// ones: an export is never written over the file it is made from. False when
// either does not exist.
bool sameFile(const QString &a, const QString &b);

struct SongRead {
    Song song; // the whole song, however long
    QString error; // why the file gives no song; empty when read
    int leftOut = 0; // a ChordPro song's chords past the memo's 30 boxes, for an import
    LeftOver left; // what of a ChordPro file the song does not keep
    int beyondTables = 0; // a ChordPro song's names beyond our tables
    std::vector<NameReplaced> replaced; // those replaced by their nearest chord
};

// A song from a file: ChordPro by its extension, otherwise a memo. Read as
// the memo is read: a FIFO, a device, a folder or anything over 1 MiB is
// refused at once, and so is a file that does not exist. The title is the
// ChordPro song's own, else the file's name; tempo and meter are the
// song's when it gives them, else these. A ChordPro song is read whole, with
// its lengths, sections, key and capo; one of more than MaxSongChords is
// refused. Its names beyond our tables are kept as written or replaced, as
// beyond says.
SongRead readSongFile(const QString &path, int tempo = DefaultTempo, int beatsPerBar = DefaultBeats,
    BeyondTables beyond = BeyondTables::KeepAsWritten);

} // namespace song
