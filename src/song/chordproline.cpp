#include "chordproline.h"

#include "songtext.h"

namespace song::chordpro
{

namespace
{
QString chordName(QStringView text)
{
    return singleLine(text.toString().remove(QChar::ByteOrderMark)).trimmed();
}

// An annotation ([*Coda]) is no chord, and an empty name none either.
void chordOrAnnotation(const QString &name, LineItems &line)
{
    if (name.startsWith(u'*'))
        ++line.annotations;
    else if (!name.isEmpty())
        line.items.push_back({Item::Chord, name, {}});
}

// Text outside brackets: bar lines (a run of | with the : and final . of
// repeat and end signs), beats (a lone . or /), in a grid its chords and %.
void readOutside(QStringView text, bool grid, LineItems &line)
{
    QString word;
    const auto endWord = [&] {
        if (word == u"." || (grid && word == u"/"))
            line.items.push_back({Item::Beat, {}, {}});
        else if (grid && word == u"%")
            line.items.push_back({Item::Repeat, {}, {}});
        else if (grid)
            chordOrAnnotation(chordName(word), line);
        else if (!word.isEmpty() && word.count(u':') != word.size())
            line.words = true;
        word.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'|') {
            while (word.endsWith(u':'))
                word.chop(1);
            endWord();
            while (i + 1 < text.size() && (text[i + 1] == u'|' || text[i + 1] == u':'))
                ++i;
            if (i + 1 < text.size() && text[i + 1] == u'.'
                && (i + 2 == text.size() || text[i + 2].isSpace()))
                ++i;
            line.items.push_back({Item::BarLine, {}, {}});
            ++line.barLines;
        } else if (c.isSpace()) {
            endWord();
        } else {
            word += c;
        }
    }
    endWord();
}
} // namespace

LineItems readItems(QStringView text, bool grid)
{
    LineItems line;
    qsizetype open = -1;
    qsizetype outside = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'[') {
            if (open < 0)
                readOutside(text.sliced(outside, i - outside), grid, line);
            open = i;
        } else if (text[i] == u']' && open >= 0) {
            chordOrAnnotation(chordName(text.sliced(open + 1, i - open - 1)), line);
            open = -1;
            outside = i + 1;
        }
    }
    readOutside(text.sliced(outside, (open < 0 ? text.size() : open) - outside), grid, line);
    if (open >= 0)
        line.words = true;
    return line;
}

} // namespace song::chordpro
