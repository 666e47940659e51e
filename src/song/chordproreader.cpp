#include "chordproreader.h"

#include "chordname.h"
#include "chordpro.h"
#include "song.h"

#include <QStringDecoder>
#include <QStringList>

#include <cmath>
#include <limits>

namespace song
{

namespace
{
constexpr QByteArrayView ByteOrderMark("\xEF\xBB\xBF");
constexpr int QuarterNote = 4; // {time: 6/8} is three quarter notes a bar

std::optional<int> tempoOf(const QString &value)
{
    bool ok = false;
    const double tempo = value.toDouble(&ok);
    if (!ok || !(tempo >= MinTempo && tempo <= MaxTempo))
        return std::nullopt;
    return int(std::lround(tempo));
}

std::optional<int> beatsOf(const QString &value)
{
    const QStringList parts = value.split(u'/');
    bool numberOk = false, unitOk = false;
    const int number = parts.value(0).trimmed().toInt(&numberOk);
    const int unit = parts.value(1).trimmed().toInt(&unitOk);
    // Checked before multiplying: a number past this would overflow.
    constexpr int LargestNumber = std::numeric_limits<int>::max() / QuarterNote;
    if (parts.size() != 2 || !numberOk || !unitOk || unit <= 0 || number < 0
        || number > LargestNumber || number * QuarterNote % unit != 0)
        return std::nullopt;
    const int beats = number * QuarterNote / unit;
    if (beats < MinBeats || beats > MaxBeats)
        return std::nullopt;
    return beats;
}

void readDirective(QStringView line, ChordProSong &song)
{
    QStringView inside = line.sliced(1);
    if (const qsizetype close = inside.lastIndexOf(u'}'); close >= 0)
        inside = inside.first(close);
    qsizetype end = 0;
    while (end < inside.size() && inside[end] != u':' && !inside[end].isSpace())
        ++end;
    const QString name = inside.first(end).toString().toLower();
    QStringView value = inside.sliced(end).trimmed();
    if (value.startsWith(u':'))
        value = value.sliced(1).trimmed();

    if ((name == u"title" || name == u"t") && song.title.isEmpty())
        song.title = value.toString();
    else if (name == u"tempo" && !song.tempo)
        song.tempo = tempoOf(value.toString());
    else if (name == u"time" && !song.beatsPerBar)
        song.beatsPerBar = beatsOf(value.toString());
}

void addChord(QStringView text, ChordProSong &song, BeyondTables beyond)
{
    // A byte order mark inside a line, left where two files were joined,
    // is no part of a chord's name.
    const QString chord = text.toString().remove(QChar::ByteOrderMark).trimmed();
    if (chord.isEmpty() || chord.startsWith(u'*'))
        return;
    if (song.chords.size() == std::size_t(memo::MemoSlotCount)) {
        ++song.leftOut;
        return;
    }
    if (chord == QLatin1String(NoChord)) {
        song.chords.push_back({});
        return;
    }
    const chord::StoredName name = chord::storedName(chord.toStdString(), beyond);
    song.chords.push_back(
        {QString::fromStdString(name.lines.root), QString::fromStdString(name.lines.kind)});
    song.beyondTables += name.beyondTables ? 1 : 0;
    if (name.replaced)
        song.replaced.push_back({chord, song.chords.back(), name.leftOut});
}

void readLyrics(QStringView line, ChordProSong &song, BeyondTables beyond)
{
    qsizetype open = -1;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'[') {
            open = i;
        } else if (line[i] == u']' && open >= 0) {
            addChord(line.sliced(open + 1, i - open - 1), song, beyond);
            open = -1;
        }
    }
}

void readLine(QStringView line, ChordProSong &song, BeyondTables beyond)
{
    if (line.startsWith(u'#'))
        return;
    if (const QStringView text = line.trimmed(); text.startsWith(u'{'))
        readDirective(text, song);
    else
        readLyrics(line, song, beyond);
}
} // namespace

ChordProSong readChordPro(QByteArrayView bytes, BeyondTables beyond)
{
    if (bytes.startsWith(ByteOrderMark))
        bytes = bytes.sliced(ByteOrderMark.size());
    ChordProSong song;
    int lineNumber = 1;
    qsizetype start = 0;
    // CR LF, a lone CR and a lone LF each end a line, as in the memo file.
    while (start <= bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString line = utf8(bytes.sliced(start, end - start));
        if (utf8.hasError()) {
            ChordProSong refused;
            refused.error = QStringLiteral("%1 行目が UTF-8 ではありません").arg(lineNumber);
            return refused;
        }
        readLine(line, song, beyond);
        if (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n')
            ++end;
        start = end + 1;
        ++lineNumber;
    }
    return song;
}

} // namespace song
