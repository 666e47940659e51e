// Feeds arbitrary bytes to the ChordPro reader, checks what it gives, then
// writes that as ChordPro and reads it again: the song read back is the song
// written, lengths and sections too, and writing it again gives the same
// bytes. The same bytes go to the chord-symbol reader, whose chord, written
// in the standard spelling, reads back as itself.
#include "chordname.h"
#include "chordpro.h"
#include "chordproreader.h"
#include "chordsymbol.h"
#include "chordtables.h"
#include "typinghint.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace
{
// Says which check failed before stopping: the crash report does not.
void check(bool condition, int line = __builtin_LINE())
{
    if (!condition) {
        std::fprintf(stderr, "check failed at line %d\n", line);
        std::abort();
    }
}

bool isOneLine(const QString &text)
{
    return !text.contains(u'\n') && !text.contains(u'\r');
}

song::ChordProSong checkedRead(QByteArrayView bytes)
{
    const song::ChordProSong read = song::readChordPro(bytes);
    check(read.chords.size() <= std::size_t(song::MaxSongChords));
    if (!read.error.isEmpty())
        check(read.chords.empty() && read.title.isEmpty() && !read.tempo && !read.beatsPerBar
            && !read.key && !read.capo && read.left == song::LeftOver {});
    check(!read.tempo || (*read.tempo >= song::MinTempo && *read.tempo <= song::MaxTempo));
    check(!read.beatsPerBar
        || (*read.beatsPerBar >= song::MinBeats && *read.beatsPerBar <= song::MaxBeats));
    check(!read.capo || (*read.capo >= 0 && *read.capo <= chord::MaxCapo));
    check(isOneLine(read.title));
    check(read.left.lyricLines >= 0 && read.left.annotations >= 0);
    const int meter = read.beatsPerBar.value_or(song::DefaultBeats);
    // A chord has a root; a rest, [N.C.], is an empty box. A whole bar is 0.
    for (const song::Bar &chord : read.chords) {
        check(isOneLine(chord.root) && isOneLine(chord.kind) && isOneLine(chord.section)
            && (!chord.root.isEmpty() || chord.kind.isEmpty()));
        check(chord.beats >= 0 && chord.beats <= song::MaxChordBeats && chord.beats != meter);
    }
    return read;
}

void checkSymbol(std::string_view text)
{
    // The window's hint for the text typed into the root box: there is one
    // unless it is a root of ours, and a chord it offers is one of ours.
    const chord::TypingHint hint = chord::typingHint(text, {});
    check(hint.text.empty() == chord::lookupRoot(text).has_value());
    check(!hint.fix || (chord::lookupRoot(hint.fix->root) && chord::kindIndex(hint.fix->kind)));
    const chord::ChordSymbol symbol = chord::readChordSymbol(text);
    if (!symbol.isChord) {
        check(symbol.root.empty() && symbol.kind.empty() && symbol.leftOut.empty());
        return;
    }
    check(chord::lookupRoot(symbol.root) && chord::kindIndex(symbol.kind));
    check(!symbol.inTables || symbol.leftOut.empty());
    const chord::ChordSymbol again
        = chord::readChordSymbol(chord::standardChordName(symbol.root, symbol.kind));
    check(again.inTables && again.root == symbol.root && again.kind == symbol.kind);
}

song::Song songOf(const song::ChordProSong &read)
{
    return {read.title, read.tempo.value_or(song::DefaultTempo),
        read.beatsPerBar.value_or(song::DefaultBeats), read.chords, read.key,
        read.capo.value_or(0)};
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    checkSymbol(std::string_view(reinterpret_cast<const char *>(data), size));
    const song::ChordProSong first = checkedRead(QByteArrayView(data, qsizetype(size)));
    // The nearest chords replace the same names, one for one.
    const song::ChordProSong nearest
        = song::readChordPro(QByteArrayView(data, qsizetype(size)), song::BeyondTables::Nearest);
    check(first.replaced.empty() && nearest.chords.size() == first.chords.size());
    check(nearest.beyondTables == first.beyondTables
        && nearest.replaced.size() == std::size_t(nearest.beyondTables));
    if (!first.error.isEmpty())
        return 0;
    const QByteArray once = song::chordProBytes(songOf(first));
    const song::ChordProSong second = checkedRead(once);
    check(second.error.isEmpty() && second.left == song::LeftOver {});
    check(second.tempo == first.tempo.value_or(song::DefaultTempo));
    check(second.beatsPerBar == first.beatsPerBar.value_or(song::DefaultBeats));
    check(second.chords.size() == first.chords.size());
    // Brackets and braces in a name become parentheses, which the name is then
    // read as; nothing else changes.
    for (std::size_t k = 0; k < first.chords.size(); ++k) {
        const song::Bar &a = first.chords[k], &b = second.chords[k];
        QString name = a.standardName();
        name.replace(u'[', u'(').replace(u'{', u'(').replace(u']', u')').replace(u'}', u')');
        const chord::SplitName lines
            = chord::storedName(name.toStdString(), song::BeyondTables::KeepAsWritten).lines;
        if (!a.isEmpty())
            name = QString::fromStdString(lines.root + lines.kind);
        check(a.beats == b.beats && b.name() == name && a.section.isEmpty() == b.section.isEmpty());
    }
    const QByteArray twice = song::chordProBytes(songOf(second));
    const song::ChordProSong third = checkedRead(twice);
    check(songOf(third) == songOf(second));
    check(song::chordProBytes(songOf(third)) == twice);
    return 0;
}
