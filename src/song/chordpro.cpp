#include "chordpro.h"

#include "songtext.h"

#include <QStringList>

namespace song
{

namespace
{
// The quarter note that beats are counted in: {time: 3/4}.
constexpr int BeatUnit = 4;

QString chordProText(const QString &text)
{
    QString safe = singleLine(text);
    for (QChar &c : safe) {
        if (c == u'[' || c == u'{')
            c = u'(';
        else if (c == u']' || c == u'}')
            c = u')';
    }
    return safe;
}
} // namespace

QByteArray chordProBytes(const Song &song)
{
    QString text;
    // chordii crashes on a title directive with nothing after the colon.
    if (const QString title = chordProText(song.title).trimmed(); !title.isEmpty())
        text += QStringLiteral("{title: %1}\n").arg(title);
    text += QStringLiteral("{tempo: %1}\n{time: %2/%3}\n")
                .arg(song.tempo)
                .arg(song.beatsPerBar)
                .arg(BeatUnit);
    for (std::size_t row = 0; row < song.bars.size(); row += BarsPerRow) {
        QStringList chords;
        for (std::size_t i = row; i < std::min(row + BarsPerRow, song.bars.size()); ++i) {
            const Bar &bar = song.bars[i];
            chords << u'['
                    + (bar.isEmpty() ? QString::fromLatin1(NoChord)
                                     : chordProText(bar.standardName()))
                    + u']';
        }
        text += chords.join(u' ') + u'\n';
    }
    return text.toUtf8();
}

} // namespace song
