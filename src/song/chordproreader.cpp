#include "chordproreader.h"

#include "chordname.h"
#include "chordpro.h"
#include "chordproline.h"
#include "songtext.h"

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
    if (!ok || capo < 0 || capo > chord::MaxCapo)
        return std::nullopt;
    return capo;
}

// label="A" or label='A', else the text itself, on one line; empty: the
// section's own name.
QString sectionName(QStringView value, const char *unlabelled)
{
    QString name = value.toString();
    if (value.startsWith(QLatin1String("label="), Qt::CaseInsensitive)) {
        const QStringView quoted = value.sliced(6);
        if (quoted.size() >= 2 && (quoted.front() == u'"' || quoted.front() == u'\'')
            && quoted.back() == quoted.front())
            name = quoted.sliced(1, quoted.size() - 2).toString();
    }
    name = singleLine(name).trimmed();
    return name.isEmpty() ? QString::fromLatin1(unlabelled) : name;
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

using chordpro::Item;
using chordpro::LineItems;

class Reader
{
public:
    explicit Reader(BeyondTables beyond)
        : beyond(beyond)
    {
    }

    ChordProSong song;
    BeyondTables beyond;
    bool inGrid = false;

    void readLine(QStringView line)
    {
        if (line.startsWith(u'#'))
            return;
        if (const QStringView text = line.trimmed(); text.startsWith(u'{')) {
            readDirective(text);
            return;
        }
        LineItems items = chordpro::readItems(line, inGrid);
        song.left.annotations += items.annotations;
        if (items.words && !inGrid)
            ++song.left.lyricLines;
        // The section named last begins with the line's first chord.
        if (const auto first = std::ranges::find(items.items, Item::Chord, &Item::kind);
            first != items.items.end() && !(inGrid && items.barLines == 0))
            first->section = std::exchange(m_section, {});
        if (items.barLines > 0) {
            readBars(items);
        } else if (!m_open.empty() && !items.words && !inGrid) {
            // A section that begins and ends inside one bar.
            m_open.insert(m_open.end(), items.items.begin(), items.items.end());
        } else if (!inGrid) {
            if (!items.items.empty() || items.words)
                closeOpenBar();
            for (const Item &item : items.items) {
                if (item.kind == Item::Chord)
                    add(item.text, WholeBar, item.section);
            }
        }
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
            if (!song.key)
                song.key = chord::parseKey(value.toString().toStdString());
        } else if (name == u"capo") {
            if (!song.capo)
                song.capo = capoOf(value.toString());
        } else if (isOneOf(name, {"start_of_grid", "sog"})) {
            inGrid = true;
        } else if (isOneOf(name, {"end_of_grid", "eog"})) {
            inGrid = false;
        } else if (isOneOf(name, Comments)) {
            if (const QString name = singleLine(value.toString()).trimmed(); !name.isEmpty())
                m_section = name;
        } else if (const auto section = std::ranges::find_if(SectionDirectives,
                       [&name](const SectionDirective &d) { return isOneOf(name, d.names); });
                   section != std::end(SectionDirectives)) {
            m_section = sectionName(value, section->unlabelled);
        } else if (!isOneOf(name, Silent) && !name.isEmpty()
            && !song.left.directives.contains(name)) {
            song.left.directives << name;
        }
    }

    void add(const QString &chord, int beats, const QString &section)
    {
        if (song.chords.size() == std::size_t(MaxSongChords)) {
            m_tooMany = true;
            return;
        }
        Bar bar;
        if (chord != QLatin1String(NoChord)) {
            const chord::StoredName name = chord::storedName(chord.toStdString(), beyond);
            bar = barOf(
                QString::fromStdString(name.lines.root), QString::fromStdString(name.lines.kind));
            song.beyondTables += name.beyondTables ? 1 : 0;
            if (name.replaced)
                song.replaced.push_back({chord, {bar.root, bar.kind}, name.leftOut});
        }
        push(std::move(bar), beats, section);
    }

    void push(Bar bar, int beats, const QString &section)
    {
        if (song.chords.size() == std::size_t(MaxSongChords)) {
            m_tooMany = true;
            return;
        }
        bar.beats = beats == WholeBar ? WholeBar : std::clamp(beats, 1, MaxChordBeats);
        bar.section = section;
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

    // A line with bar lines. A bar left open at the end of the line before
    // is closed by what this line has before its first bar line; a line
    // without words leaves open what it has after its last one. Those parts
    // of a bar, where a section begins inside it, are read beat by beat.
    void readBars(const LineItems &line)
    {
        std::vector<std::vector<Item>> bars(1);
        for (const Item &item : line.items) {
            if (item.kind == Item::BarLine)
                bars.emplace_back();
            else
                bars.back().push_back(item);
        }
        const bool open = !line.words && !inGrid;
        if (inGrid)
            sectionPastMargin(bars);
        for (std::size_t b = 0; b < bars.size(); ++b) {
            const bool between = b > 0 && b + 1 < bars.size();
            if (inGrid && !between)
                continue; // a margin note
            if (b == 0 && open && !m_open.empty()) {
                m_open.insert(m_open.end(), bars[b].begin(), bars[b].end());
                closeOpenBar();
                continue;
            }
            if (b == 0)
                closeOpenBar();
            if (!between && open && !bars[b].empty()) {
                if (b == 0) {
                    readBeats(bars[b]);
                } else {
                    m_open = bars[b];
                }
                continue;
            }
            readBar(bars[b], between);
        }
    }

    // A section named before a grid line begins with its first chord in a
    // bar, not with a margin note.
    void sectionPastMargin(std::vector<std::vector<Item>> &bars)
    {
        QString section;
        for (Item &item : bars.front())
            section += std::exchange(item.section, {});
        for (std::size_t b = 1; b + 1 < bars.size() && !section.isEmpty(); ++b) {
            const auto first = std::ranges::find(bars[b], Item::Chord, &Item::kind);
            if (first != bars[b].end())
                first->section = std::exchange(section, {});
        }
        if (!section.isEmpty())
            m_section = section;
    }

    void closeOpenBar()
    {
        if (!m_open.empty())
            readBeats(std::exchange(m_open, {}));
    }

    // Each chord a beat and a beat for each dot after it; dots before the
    // first chord hold the chord before.
    void readBeats(const std::vector<Item> &items)
    {
        m_measure.clear();
        for (const Item &item : items) {
            if (item.kind == Item::Chord)
                add(item.text, 1, item.section);
            else if (item.kind == Item::Beat)
                hold(1);
        }
    }

    void readBar(const std::vector<Item> &items, bool between)
    {
        if (std::ranges::any_of(items, [](const Item &i) { return i.kind == Item::Repeat; })) {
            const std::vector<std::size_t> before = std::exchange(m_measure, {});
            QString section = std::exchange(m_section, {});
            // The bar again as it was read, its names not read a second time.
            for (const std::size_t k : before) {
                const Bar copy = song.chords[k];
                push(copy, copy.beats, std::exchange(section, {}));
            }
            m_section = section; // no chord came to take it
            return;
        }
        const auto chords = std::ranges::count(items, Item::Chord, &Item::kind);
        if (std::ranges::any_of(items, [](const Item &i) { return i.kind == Item::Beat; })) {
            readBeats(items);
            return;
        }
        m_measure.clear();
        if (chords == 0) {
            if (between)
                hold(meter());
        } else if (chords == 1) {
            add(items.front().text, WholeBar, items.front().section);
        } else {
            // Shared evenly, the first chords taking what does not divide.
            const int each = meter() / int(chords);
            int more = meter() % int(chords);
            for (const Item &item : items)
                add(item.text, std::max(1, each + (more-- > 0 ? 1 : 0)), item.section);
        }
    }

    std::vector<Item> m_open; // a bar that the line before left open
    QString m_section; // names the section the next chord begins
    std::vector<std::size_t> m_measure; // the chords of the bar read last, for %
    bool m_tooMany = false;
};
} // namespace

ChordProSong readChordPro(QByteArrayView bytes, BeyondTables beyond)
{
    if (bytes.startsWith(ByteOrderMark))
        bytes = bytes.sliced(ByteOrderMark.size());
    Reader reader(beyond);
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
