#pragma once

#include "musickey.h"
#include "transpose.h"

#include <QString>

#include <optional>
#include <vector>

namespace memo
{
class ChordMemo;
}

// The song the memo holds: its boxes from the first to the last that holds
// anything, one bar each. What the exporters, the importer, printing and
// playback share; none of them reads the memo or the settings itself.
namespace song
{

inline constexpr int DefaultTempo = 120; // quarter notes a minute
inline constexpr int MinTempo = 20;
inline constexpr int MaxTempo = 300;
inline constexpr int DefaultBeats = 4; // quarter-note beats a bar
inline constexpr int MinBeats = 1;
inline constexpr int MaxBeats = 12;
// A row of the memo's grid: a line of a chord sheet or a text export.
inline constexpr int BarsPerRow = 10;
// The most chords a song holds: a long song has a few hundred; a file past
// this is refused rather than read in part.
inline constexpr int MaxSongChords = 4000;
// The longest a chord lasts, in beats: eight bars of the longest meter.
inline constexpr int MaxChordBeats = 8 * MaxBeats;

// One box: a chord and how long it lasts. Each is a whole bar unless it says
// otherwise, so a memo's song (one chord a bar) is a song like any other.
struct Bar {
    QString root; // the box's root line, as written
    QString kind; // its kind line
    // The MIDI notes struck when it begins, low to high: those the markers
    // show for a known chord; none (a rest) for an unknown or empty one.
    std::vector<int> notes;
    int beats = 0; // its length in beats; 0: a whole bar of the song's meter
    QString section {}; // the name of the section it begins; empty: none

    QString name() const { return root + kind; }
    // The name as other programs read it: the standard spelling of a known
    // chord (Bbmaj7 for BbM7), any other name as written.
    QString standardName() const;
    bool isEmpty() const { return root.isEmpty() && kind.isEmpty(); }
    bool isRest() const { return notes.empty(); }
    friend bool operator==(const Bar &, const Bar &) = default;
};

struct Song {
    QString title;
    int tempo = DefaultTempo;
    int beatsPerBar = DefaultBeats;
    std::vector<Bar> bars; // the chords in order, a box each
    std::optional<chord::Key> key {}; // its {key}; none: not said
    int capo = 0; // 0: none, up to chord::MaxCapo
    friend bool operator==(const Song &, const Song &) = default;
};

// A length for the user: "1 小節" for a whole bar (0), "2 小節", "3 拍".
QString lengthName(int beats, int beatsPerBar);
// A chord's length in beats at a meter.
inline int beatsOf(const Bar &bar, int beatsPerBar)
{
    return bar.beats > 0 ? bar.beats : beatsPerBar;
}
// Where each chord begins, in beats from the song's start, and after them
// where the song ends: one more entry than the song has chords.
std::vector<qint64> chordStarts(const Song &song);

// A bar holding the chord of a root and a kind text.
Bar barOf(const QString &root, const QString &kind);

// The song's length in bars: up to the last box that holds anything.
int songLength(const memo::ChordMemo &memo);
// The bar of one box, 0 to MemoSlotCount - 1.
Bar memoBar(const memo::ChordMemo &memo, int box);

// Boxes 1 to the last that holds anything; an empty memo is a song of no bars.
Song songFromMemo(const memo::ChordMemo &memo, const QString &title, int tempo = DefaultTempo,
    int beatsPerBar = DefaultBeats);

// The song in another key, each known root moved as 移調 moves a memo's;
// lengths and sections stay, and the song's own key moves with its chords.
// Auto spells in the key it lands in (chord::keySpelling), from the key given,
// else the song's own, else the key its roots imply.
Song transposed(const Song &song, int semitones, chord::Spelling spelling,
    std::optional<chord::Key> key = std::nullopt);

// The key the exports name the song and number its chords by: its own, else
// the one found from its known chords; none when neither is.
std::optional<chord::Key> keyInEffect(const Song &song);
// The bar's degree in that key for files read by other programs ("VIm7");
// empty for an unknown chord or no key.
QString asciiDegree(const Bar &bar, std::optional<chord::Key> key);

// The bar's length in seconds at the song's tempo.
double barSeconds(const Song &song);

// A song's title from its memo file: the file's name without its extension.
QString titleFromPath(const QString &path);

} // namespace song
