// Feeds arbitrary bytes to the ChordPro reader, checks what it gives, then
// writes that as ChordPro and reads it again: a file the writer made of its
// own reading reads back as the song that writes it byte for byte. The same
// bytes go to the chord-symbol reader, whose chord, written in the standard
// spelling, reads back as itself.
#include "chordpro.h"
#include "chordproreader.h"
#include "chordsymbol.h"
#include "chordtables.h"
#include "typinghint.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace
{
void check(bool condition)
{
    if (!condition) {
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
    check(read.chords.size() <= std::size_t(memo::MemoSlotCount));
    check(read.leftOut >= 0);
    check(read.chords.size() == std::size_t(memo::MemoSlotCount) || read.leftOut == 0);
    if (!read.error.isEmpty())
        check(read.chords.empty() && read.title.isEmpty() && !read.tempo && !read.beatsPerBar);
    check(!read.tempo || (*read.tempo >= song::MinTempo && *read.tempo <= song::MaxTempo));
    check(!read.beatsPerBar
        || (*read.beatsPerBar >= song::MinBeats && *read.beatsPerBar <= song::MaxBeats));
    check(isOneLine(read.title));
    // A chord has a root; a rest, [N.C.], is an empty box.
    for (const memo::ChordText &chord : read.chords)
        check(isOneLine(chord.root) && isOneLine(chord.kind)
            && (!chord.root.isEmpty() || chord.kind.isEmpty()));
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

QByteArray written(const song::ChordProSong &read)
{
    song::Song s {read.title, read.tempo.value_or(song::DefaultTempo),
        read.beatsPerBar.value_or(song::DefaultBeats), {}};
    for (const memo::ChordText &chord : read.chords)
        s.bars.push_back(song::barOf(chord.root, chord.kind));
    return song::chordProBytes(s);
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
    const QByteArray once = written(first);
    const song::ChordProSong second = checkedRead(once);
    check(second.error.isEmpty() && second.leftOut == 0);
    check(second.tempo == first.tempo.value_or(song::DefaultTempo));
    check(second.beatsPerBar == first.beatsPerBar.value_or(song::DefaultBeats));
    const QByteArray twice = written(second);
    const song::ChordProSong third = checkedRead(twice);
    check(written(third) == twice);
    return 0;
}
