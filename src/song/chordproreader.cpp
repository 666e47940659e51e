#include "chordproreader.h"

#include "chordname.h"
#include "chordpro.h"

#include <QStringDecoder>

#include <algorithm>
#include <cmath>
#include <limits>

namespace song
{

namespace
{
constexpr QByteArrayView ByteOrderMark("\xEF\xBB\xBF");
constexpr int QuarterNote = 4; // {time: 6/8} is three quarter notes a bar
// A chord's length while reading when it is a bar of whatever meter the
// song turns out to have.
constexpr int WholeBar = 0;

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

std::optional<int> capoOf(const QString &value)
{
    bool ok = false;
    const int capo = value.toInt(&ok);
    if (!ok || capo < 0 || capo > MaxCapo)
        return std::nullopt;
    return capo;
}

// label="A" or label='A', else the text itself; empty: the section's own name.
QString sectionName(QStringView value, const char *unlabelled)
{
    if (value.startsWith(QLatin1String("label="), Qt::CaseInsensitive)) {
        const QStringView quoted = value.sliced(6);
        if (quoted.size() >= 2 && (quoted.front() == u'"' || quoted.front() == u'\'')
            && quoted.back() == quoted.front())
            return quoted.sliced(1, quoted.size() - 2).toString();
    }
    return value.isEmpty() ? QString::fromLatin1(unlabelled) : value.toString();
}

struct SectionDirective {
    const char *names[2];
    const char *unlabelled;
};
const SectionDirective SectionDirectives[] {
    {{"start_of_verse", "sov"}, "Verse"},
    {{"start_of_chorus", "soc"}, "Chorus"},
    {{"start_of_bridge", "sob"}, "Bridge"},
};
// Read and nothing kept: where a section, or a grid, ends.
constexpr const char *Silent[] {
    "end_of_verse", "eov", "end_of_chorus", "eoc", "end_of_bridge", "eob", "end_of_grid", "eog"};
constexpr const char *Comments[] {"comment", "c", "comment_italic", "ci", "comment_box", "cb"};

bool isOneOf(const QString &name, std::initializer_list<const char *> names)
{
    return std::ranges::any_of(names, [&name](const char *n) { return name == QLatin1String(n); });
}

template<std::size_t N> bool isOneOf(const QString &name, const char *const (&names)[N])
{
    return std::ranges::any_of(names, [&name](const char *n) { return name == QLatin1String(n); });
}

// What a line holds outside its words, in order.
struct Item {
    enum Kind { Chord, Beat, BarLine, Repeat } kind;
    QString text; // a chord's
};

struct LineItems {
    std::vector<Item> items;
    bool words = false; // lyrics, or in a grid its margin notes
    int annotations = 0;
    int barLines = 0;
};

// Text outside brackets: bar lines (a run of | with the : and final . of
// repeat and end signs), beats (a lone . or /), in a grid its chords and %.
void readOutside(QStringView text, bool grid, LineItems &line)
{
    QString word;
    const auto endWord = [&] {
        if (word == u"." || (grid && word == u"/"))
            line.items.push_back({Item::Beat, {}});
        else if (grid && word == u"%")
            line.items.push_back({Item::Repeat, {}});
        else if (grid && !word.isEmpty())
            line.items.push_back({Item::Chord, word});
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
            line.items.push_back({Item::BarLine, {}});
            ++line.barLines;
        } else if (c.isSpace()) {
            endWord();
        } else {
            word += c;
        }
    }
    endWord();
}

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
            // A byte order mark inside a line, left where two files were
            // joined, is no part of a chord's name.
            const QString chord = text.sliced(open + 1, i - open - 1)
                                      .toString()
                                      .remove(QChar::ByteOrderMark)
                                      .trimmed();
            if (chord.startsWith(u'*'))
                ++line.annotations;
            else if (!chord.isEmpty())
                line.items.push_back({Item::Chord, chord});
            open = -1;
            outside = i + 1;
        }
    }
    readOutside(text.sliced(outside, (open < 0 ? text.size() : open) - outside), grid, line);
    if (open >= 0)
        line.words = true;
    return line;
}

class Reader
{
public:
    ChordProSong song;
    bool inGrid = false;

    void readLine(QStringView line)
    {
        if (line.startsWith(u'#'))
            return;
        if (const QStringView text = line.trimmed(); text.startsWith(u'{')) {
            readDirective(text);
            return;
        }
        const LineItems items = readItems(line, inGrid);
        song.left.annotations += items.annotations;
        if (items.words && !inGrid)
            ++song.left.lyricLines;
        if (items.barLines == 0) {
            if (!items.items.empty() || items.words)
                closeOpenBar();
            if (!inGrid) {
                for (const Item &item : items.items) {
                    if (item.kind == Item::Chord)
                        add(item.text, WholeBar);
                }
            }
            return;
        }
        readBars(items);
    }

    ChordProSong finish()
    {
        closeOpenBar();
        if (m_tooMany) {
            ChordProSong refused;
            refused.error = QStringLiteral("コードが多すぎます: 曲は %1 個までのコードで読めます")
                                .arg(MaxSongChords);
            return refused;
        }
        for (Bar &bar : song.chords) {
            if (bar.beats == meter())
                bar.beats = 0;
        }
        return song;
    }

private:
    int meter() const { return song.beatsPerBar.value_or(DefaultBeats); }

    void readDirective(QStringView line)
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

        if (isOneOf(name, {"title", "t"})) {
            if (song.title.isEmpty())
                song.title = value.toString();
        } else if (name == u"tempo") {
            if (!song.tempo)
                song.tempo = tempoOf(value.toString());
        } else if (name == u"time") {
            if (!song.beatsPerBar)
                song.beatsPerBar = beatsOf(value.toString());
        } else if (name == u"key") {
            if (song.key.isEmpty())
                song.key = value.toString();
        } else if (name == u"capo") {
            if (!song.capo)
                song.capo = capoOf(value.toString());
        } else if (isOneOf(name, {"start_of_grid", "sog"})) {
            inGrid = true;
        } else if (isOneOf(name, {"end_of_grid", "eog"})) {
            inGrid = false;
        } else if (isOneOf(name, Comments)) {
            if (!value.isEmpty())
                m_section = value.toString();
        } else if (const auto section = std::ranges::find_if(SectionDirectives,
                       [&name](const SectionDirective &d) { return isOneOf(name, d.names); });
                   section != std::end(SectionDirectives)) {
            m_section = sectionName(value, section->unlabelled);
        } else if (!isOneOf(name, Silent) && !name.isEmpty()
            && !song.left.directives.contains(name)) {
            song.left.directives << name;
        }
    }

    void add(const QString &chord, int beats)
    {
        if (song.chords.size() == std::size_t(MaxSongChords)) {
            m_tooMany = true;
            return;
        }
        Bar bar;
        if (chord != QLatin1String(NoChord)) {
            const chord::SplitName name = chord::splitChordName(chord.toStdString());
            bar = barOf(QString::fromStdString(name.root), QString::fromStdString(name.kind));
        }
        bar.beats = beats == WholeBar ? WholeBar : std::clamp(beats, 1, MaxChordBeats);
        bar.section = std::exchange(m_section, {});
        song.chords.push_back(std::move(bar));
        m_measure.push_back(song.chords.size() - 1);
    }

    void hold(int beats)
    {
        if (song.chords.empty())
            return;
        int &held = song.chords.back().beats;
        held = std::min((held == WholeBar ? meter() : held) + beats, MaxChordBeats);
    }

    void readBars(const LineItems &line)
    {
        std::vector<std::vector<Item>> bars(1);
        for (const Item &item : line.items) {
            if (item.kind == Item::BarLine)
                bars.emplace_back();
            else
                bars.back().push_back(item);
        }
        std::size_t from = 0;
        // A bar left open at the end of the line before (where a section
        // begins inside it) is closed by what this line has before its first
        // bar line.
        if (!m_open.empty() && !inGrid && !bars.front().empty()) {
            const std::size_t carried = m_open.size();
            std::vector<Item> whole = std::exchange(m_open, {});
            whole.insert(whole.end(), bars.front().begin(), bars.front().end());
            readBar(whole, true, carried, std::exchange(m_openSection, {}));
            from = 1;
        }
        closeOpenBar();
        for (std::size_t b = from; b < bars.size(); ++b) {
            const bool between = b > 0 && b + 1 < bars.size();
            if (inGrid && !between)
                continue; // a margin note
            if (b + 1 == bars.size() && b > 0 && !bars[b].empty()) {
                m_open = bars[b];
                m_openSection = std::exchange(m_section, {});
                continue;
            }
            readBar(bars[b], between);
        }
    }

    void closeOpenBar()
    {
        if (!m_open.empty()) {
            const std::size_t all = m_open.size();
            readBar(std::exchange(m_open, {}), false, all, std::exchange(m_openSection, {}));
        }
    }

    // The items of one bar. Those before sectionAt were written before the
    // directive of the section named last, with the section named before
    // them (early); that one goes to the first chord from sectionAt on.
    void readBar(
        const std::vector<Item> &items, bool between, std::size_t sectionAt = 0, QString early = {})
    {
        QString section = std::exchange(m_section, {});
        const auto adding = [&](std::size_t i, const QString &chord, int beats) {
            QString &mine = i < sectionAt ? early : section;
            if (!mine.isEmpty())
                m_section = std::exchange(mine, {});
            add(chord, beats);
        };
        // A name no chord took waits for the next.
        const auto keepUntaken = [&] { m_section = section.isEmpty() ? early : section; };
        if (std::ranges::any_of(items, [](const Item &i) { return i.kind == Item::Repeat; })) {
            const std::vector<std::size_t> before = std::exchange(m_measure, {});
            for (const std::size_t k : before) {
                const Bar copy = song.chords[k];
                adding(0, copy.isEmpty() ? QString::fromLatin1(NoChord) : copy.name(), copy.beats);
            }
            keepUntaken();
            return;
        }
        const auto chords = std::ranges::count(items, Item::Chord, &Item::kind);
        const bool beats
            = std::ranges::any_of(items, [](const Item &i) { return i.kind == Item::Beat; });
        m_measure.clear();
        if (chords == 0 && !beats) {
            if (between)
                hold(meter());
        } else if (beats) {
            for (std::size_t i = 0; i < items.size(); ++i) {
                if (items[i].kind == Item::Chord)
                    adding(i, items[i].text, 1);
                else
                    hold(1);
            }
        } else if (chords == 1) {
            adding(0, items.front().text, WholeBar);
        } else {
            // Shared evenly, the first chords taking what does not divide.
            const int each = meter() / int(chords);
            int more = meter() % int(chords);
            for (std::size_t i = 0; i < items.size(); ++i)
                adding(i, items[i].text, std::max(1, each + (more-- > 0 ? 1 : 0)));
        }
        keepUntaken();
    }

    std::vector<Item> m_open; // a bar that the line before left open
    QString m_openSection; // the section named before it
    QString m_section; // names the section the next chord begins
    std::vector<std::size_t> m_measure; // the chords of the bar read last, for %
    bool m_tooMany = false;
};
} // namespace

ChordProSong readChordPro(QByteArrayView bytes)
{
    if (bytes.startsWith(ByteOrderMark))
        bytes = bytes.sliced(ByteOrderMark.size());
    Reader reader;
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
        reader.readLine(line);
        if (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n')
            ++end;
        start = end + 1;
        ++lineNumber;
    }
    return reader.finish();
}

QString leftOverNotice(const LeftOver &left)
{
    QStringList parts;
    if (left.lyricLines > 0)
        parts << QStringLiteral("歌詞 %1 行").arg(left.lyricLines);
    if (left.annotations > 0)
        parts << QStringLiteral("注釈 %1 個").arg(left.annotations);
    if (!left.directives.isEmpty())
        parts << QStringLiteral("指示 {%1}").arg(left.directives.join(QStringLiteral("} {")));
    if (parts.isEmpty())
        return {};
    return parts.join(u'、') + QStringLiteral("は読み込んでいません");
}

Song songOfChordPro(const ChordProSong &read, const QString &title, int tempo, int beatsPerBar)
{
    Song song {read.title.isEmpty() ? title : read.title, read.tempo.value_or(tempo),
        read.beatsPerBar.value_or(beatsPerBar), read.chords, read.key, read.capo.value_or(0)};
    // Rests after the last chord are no part of the song, as in a memo.
    while (!song.bars.empty() && song.bars.back().isEmpty() && song.bars.back().section.isEmpty())
        song.bars.pop_back();
    return song;
}

} // namespace song
