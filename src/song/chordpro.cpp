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

QString chordText(const Bar &bar)
{
    return u'[' + (bar.isEmpty() ? QString::fromLatin1(NoChord) : chordProText(bar.standardName()))
        + u']';
}

// The environment a section is written in, by its name.
QString environmentOf(const QString &name)
{
    if (name.contains(QLatin1String("chorus"), Qt::CaseInsensitive) || name == u"サビ")
        return QStringLiteral("chorus");
    if (name.contains(QLatin1String("bridge"), Qt::CaseInsensitive) || name == u"ブリッジ")
        return QStringLiteral("bridge");
    return QStringLiteral("verse");
}

// The label as written after the colon; quoted when it would otherwise read
// as a quoted label of its own.
QString labelText(const QString &name)
{
    if (!name.startsWith(QLatin1String("label="), Qt::CaseInsensitive))
        return name;
    const QChar quote = name.contains(u'"') ? u'\'' : u'"';
    return QStringLiteral("label=") + quote + QString(name).replace(quote, u'`') + quote;
}

// The chords from first to last (a run with no section inside it), starting
// at the beat given.
class RunWriter
{
public:
    RunWriter(
        const Song &song, const std::vector<qint64> &starts, std::size_t first, std::size_t last)
        : m_song(song)
        , m_starts(starts)
        , m_first(first)
        , m_last(last)
        , m_meter(song.beatsPerBar)
    {
    }

    QString lines() const { return wholeBars() ? plainLines() : barLines(); }

private:
    bool wholeBars() const
    {
        for (std::size_t k = m_first; k < m_last; ++k) {
            if (m_starts[k] % m_meter != 0 || beatsOf(m_song.bars[k], m_meter) != m_meter)
                return false;
        }
        return true;
    }

    QString plainLines() const
    {
        QString text;
        for (std::size_t row = m_first; row < m_last; row += BarsPerRow) {
            QStringList chords;
            for (std::size_t k = row; k < std::min(row + BarsPerRow, m_last); ++k)
                chords << chordText(m_song.bars[k]);
            text += chords.join(u' ') + u'\n';
        }
        return text;
    }

    // The beats from..to of one bar, from..to being inside it.
    QString bar(qint64 from, qint64 to, std::size_t &next) const
    {
        QStringList cells;
        int chords = 0;
        for (qint64 beat = from; beat < to; ++beat) {
            if (next < m_last && m_starts[next] == beat) {
                cells << chordText(m_song.bars[next++]);
                ++chords;
            } else {
                cells << QStringLiteral(".");
            }
        }
        const bool whole = to - from == m_meter;
        if (whole && chords == 0)
            return {};
        if (whole && chords == 1 && cells.front() != u".")
            return cells.front();
        return cells.join(u' ');
    }

    QString barLines() const
    {
        const qint64 begin = m_starts[m_first], end = m_starts[m_last];
        const qint64 firstBar = begin / m_meter, endBar = (end + m_meter - 1) / m_meter;
        QString text;
        std::size_t next = m_first;
        for (qint64 row = firstBar; row < endBar; row += BarsPerRow) {
            const qint64 rowEnd = std::min(row + BarsPerRow, endBar);
            QStringList bars;
            for (qint64 b = row; b < rowEnd; ++b)
                bars << bar(std::max(begin, b * m_meter), std::min(end, (b + 1) * m_meter), next);
            // A bar begun on the line before, or left open for the next.
            const bool openStart = row == firstBar && begin % m_meter != 0;
            const bool openEnd = rowEnd == endBar && end % m_meter != 0;
            QString line = bars.join(QStringLiteral(" | "));
            if (!openStart)
                line.prepend(QStringLiteral("| "));
            if (!openEnd)
                line += QStringLiteral(" |");
            text += line + u'\n';
        }
        return text;
    }

    const Song &m_song;
    const std::vector<qint64> &m_starts;
    std::size_t m_first;
    std::size_t m_last;
    int m_meter;
};
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
    if (song.key)
        text
            += QStringLiteral("{key: %1}\n").arg(QString::fromStdString(chord::keyName(*song.key)));
    if (song.capo > 0)
        text += QStringLiteral("{capo: %1}\n").arg(song.capo);

    const std::vector<qint64> starts = chordStarts(song);
    QString open; // the environment of the section being written
    std::size_t first = 0;
    for (std::size_t k = 0; k <= song.bars.size(); ++k) {
        const QString name
            = k < song.bars.size() ? chordProText(song.bars[k].section).trimmed() : QString();
        if (k < song.bars.size() && name.isEmpty())
            continue;
        text += RunWriter(song, starts, first, k).lines();
        if (!open.isEmpty())
            text += QStringLiteral("{end_of_%1}\n").arg(open);
        if (k < song.bars.size()) {
            open = environmentOf(name);
            text += QStringLiteral("{start_of_%1: %2}\n").arg(open, labelText(name));
        }
        first = k;
    }
    return text.toUtf8();
}

} // namespace song
