#include "songtext.h"

#include <QStringList>

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
    QByteArray text;
    for (std::size_t row = 0; row < song.bars.size(); row += BarsPerRow) {
        QStringList names;
        for (std::size_t i = row; i < std::min(row + BarsPerRow, song.bars.size()); ++i) {
            if (!song.bars[i].isEmpty())
                names << singleLine(song.bars[i].name());
        }
        text += names.join(u' ').toUtf8() + '\n';
    }
    return text;
}

} // namespace song
