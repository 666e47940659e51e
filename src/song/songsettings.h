#pragma once

#include "musickey.h"
#include "song.h"

#include <optional>

class QSettings;

// What the program keeps of a song beside its memo, in the program's
// settings (never in the memo file, whose format stays as it is): the tempo,
// the beats a bar, the key and the capo, by the memo's path; and the
// instrument the sound menu plays, which MIDI files and audio take too.
namespace song
{

struct SongSettings {
    int tempo = DefaultTempo;
    int beatsPerBar = DefaultBeats;
    // The key the user chose; none for 自動, the key found from the chords.
    std::optional<chord::Key> key {};
    int capo = 0; // the capo's fret, 0 (none) to chord::MaxCapo
    friend bool operator==(const SongSettings &, const SongSettings &) = default;
};

// The settings kept for the memo at path; the defaults for a memo with none,
// and for any value out of range (an edited settings file).
SongSettings loadSongSettings(const QSettings &settings, const QString &memoPath);
void saveSongSettings(QSettings &settings, const QString &memoPath, const SongSettings &song);
// Gives the memo at to all that is kept for the memo at from, in place of its own.
void copySongSettings(QSettings &settings, const QString &from, const QString &to);

inline constexpr char ProgramKey[] = "sound/program"; // the sound menu's instrument
inline constexpr int Programs = 128; // General MIDI 0 to 127
// The instrument chosen in the sound menu, as a General MIDI program.
int chosenProgram(const QSettings &settings);

} // namespace song
