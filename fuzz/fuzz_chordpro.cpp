// Feeds arbitrary bytes to the ChordPro reader, checks what it gives, then
// writes that as ChordPro and reads it again: a file the writer made of its
// own reading reads back as the song that writes it byte for byte.
#include "chordpro.h"
#include "chordproreader.h"

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
    const song::ChordProSong first = checkedRead(QByteArrayView(data, qsizetype(size)));
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
