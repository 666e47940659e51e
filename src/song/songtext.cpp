#include "songtext.h"

#include <QStringList>

#include <utility>

namespace song
{

QString singleLine(const QString &text)
{
    QString line = text;
    for (QChar &c : line) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator)
            c = u' ';
    }
    return line;
}

QByteArray songTextBytes(const Song &song)
{
    const std::vector<qint64> starts = chordStarts(song);
    const std::optional<chord::Key> key = keyInEffect(song);
    QString text, line;
    if (!song.bars.empty())
        text = QStringLiteral("Key: %1\n")
                   .arg(key ? QString::fromStdString(chord::keyName(*key)) : QStringLiteral("?"));
    qint64 anchor = 0; // the bar the section's first line starts at
    qint64 row = 0;
    for (std::size_t k = 0; k < song.bars.size(); ++k) {
        const Bar &bar = song.bars[k];
        const qint64 at = starts[k] / song.beatsPerBar;
        if (!bar.section.isEmpty()) {
            if (k > 0)
                text += line + u'\n';
            line = singleLine(bar.section) + u':';
            anchor = at;
            row = 0;
        }
        for (; (at - anchor) / BarsPerRow > row; ++row)
            text += std::exchange(line, {}) + u'\n';
        if (bar.isEmpty())
            continue;
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + singleLine(bar.name());
        if (const QString degree = asciiDegree(bar, key); !degree.isEmpty())
            line += u'(' + degree + u')';
    }
    if (!song.bars.empty())
        text += line + u'\n';
    return text.toUtf8();
}

} // namespace song
