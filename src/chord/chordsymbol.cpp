#include "chordsymbol.h"

#include "chordtables.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

namespace chord
{

namespace
{

// Longer than any chord symbol written in earnest ("Bbmaj7(#11,b13)/Ab" is
// 19 bytes): past this a text is no chord, and a megabyte costs nothing.
constexpr std::size_t LongestSymbol = 64;
constexpr int PitchClasses = 12;

enum class Third : std::uint8_t { Major, Minor, Sus4, Sus2, None };
enum class Fifth : std::uint8_t { Perfect, Flat, Sharp };
enum class Seventh : std::uint8_t { None, Minor, Major, Diminished };

// Tensions, as bits.
enum : unsigned {
    FlatNinth = 1u << 0,
    Ninth = 1u << 1,
    SharpNinth = 1u << 2,
    Eleventh = 1u << 3,
    SharpEleventh = 1u << 4,
    FlatThirteenth = 1u << 5,
    Thirteenth = 1u << 6,
    Altered = 1u << 7,
};
// In the order a chart writes them, with what the notice calls them.
constexpr std::array<std::pair<unsigned, std::string_view>, 8> TensionNames {{
    {FlatNinth, "b9"},
    {Ninth, "9th"},
    {SharpNinth, "#9"},
    {Eleventh, "11th"},
    {SharpEleventh, "#11"},
    {FlatThirteenth, "b13"},
    {Thirteenth, "13th"},
    {Altered, "alt"},
}};

struct Shape {
    Third third = Third::Major;
    Fifth fifth = Fifth::Perfect;
    Seventh seventh = Seventh::None;
    bool sixth = false;
    unsigned tensions = 0;
    friend bool operator==(const Shape &, const Shape &) = default;
};

// Our fourteen kinds as shapes, in ChordKind's order.
constexpr std::array<Shape, 14> KindShapes {{
    {},
    {.third = Third::Minor},
    {.seventh = Seventh::Minor},
    {.third = Third::Minor, .seventh = Seventh::Minor},
    {.seventh = Seventh::Major},
    {.third = Third::Minor, .fifth = Fifth::Flat, .seventh = Seventh::Diminished},
    {.third = Third::Minor, .fifth = Fifth::Flat, .seventh = Seventh::Minor},
    {.fifth = Fifth::Sharp},
    {.third = Third::Sus4},
    {.third = Third::Sus4, .seventh = Seventh::Minor},
    {.sixth = true},
    {.tensions = Ninth},
    {.third = Third::Minor, .sixth = true},
    {.third = Third::Minor, .seventh = Seventh::Major},
}};
static_assert(KindShapes.size() == ChordKind.size());

// Where a spelling may stand: "-" just after the root is minor, later a flat.
enum class Place : std::uint8_t { First, Later, Anywhere };

// How a number brings the seventh: 7 always; 9, 11 and 13 unless bracketed,
// since C(9) is an added ninth and C9 a dominant ninth.
enum class Number : std::uint8_t { None, Seven, Extension };

struct KindSpelling {
    std::string_view text;
    Place place = Place::Anywhere;
    std::optional<Third> third {};
    std::optional<Fifth> fifth {};
    std::optional<Seventh> seventh {};
    bool sixth = false;
    unsigned tensions = 0;
    Number number = Number::None;
    bool major = false; // maj, M: the seventh a number brings is the major one
};

// The pieces a chord's kind is written in, matched longest first. Δ, ° and
// ø arrive as UTF-8; ♯, ♭, △ and full-width letters are folded before.
// A ring alone is read as our dim, the four-note chord a player reaches for
// on a chart's C°, as Japanese charts write it dim.
constexpr KindSpelling KindSpellings[] {
    {.text = "m", .place = Place::First, .third = Third::Minor},
    {.text = "mi", .place = Place::First, .third = Third::Minor},
    {.text = "min", .place = Place::First, .third = Third::Minor},
    {.text = "Min", .place = Place::First, .third = Third::Minor},
    {.text = "-", .place = Place::First, .third = Third::Minor},
    {.text = "M", .major = true},
    {.text = "ma", .major = true},
    {.text = "maj", .major = true},
    {.text = "Maj", .major = true},
    {.text = "Ma", .major = true},
    {.text = "MA", .major = true},
    {.text = "MAJ", .major = true},
    {.text = "j", .major = true},
    {.text = "\u0394", .seventh = Seventh::Major, .major = true}, // Δ
    {.text = "^", .seventh = Seventh::Major, .major = true},
    {.text = "7", .number = Number::Seven},
    {.text = "9", .tensions = Ninth, .number = Number::Extension},
    {.text = "11", .tensions = Eleventh, .number = Number::Extension},
    {.text = "13", .tensions = Thirteenth, .number = Number::Extension},
    {.text = "6", .sixth = true},
    {.text = "6/9", .sixth = true, .tensions = Ninth},
    {.text = "69", .sixth = true, .tensions = Ninth},
    {.text = "add6", .sixth = true},
    // Before "ma", which would take the m of madd9 for maj.
    {.text = "madd9", .place = Place::First, .third = Third::Minor, .tensions = Ninth},
    {.text = "madd2", .place = Place::First, .third = Third::Minor, .tensions = Ninth},
    {.text = "madd11", .place = Place::First, .third = Third::Minor, .tensions = Eleventh},
    {.text = "add9", .tensions = Ninth},
    {.text = "add2", .tensions = Ninth},
    {.text = "add11", .tensions = Eleventh},
    {.text = "add4", .tensions = Eleventh},
    {.text = "add13", .tensions = Thirteenth},
    {.text = "2", .third = Third::Sus2},
    {.text = "4", .third = Third::Sus4},
    {.text = "sus", .third = Third::Sus4},
    {.text = "sus4", .third = Third::Sus4},
    {.text = "sus2", .third = Third::Sus2},
    {.text = "5", .third = Third::None},
    {.text = "dim", .third = Third::Minor, .fifth = Fifth::Flat, .seventh = Seventh::Diminished},
    {.text = "dim7", .third = Third::Minor, .fifth = Fifth::Flat, .seventh = Seventh::Diminished},
    {.text = "\u00B0", .third = Third::Minor, .fifth = Fifth::Flat, .seventh = Seventh::Diminished},
    {.text = "\u00B07",
        .third = Third::Minor,
        .fifth = Fifth::Flat,
        .seventh = Seventh::Diminished},
    {.text = "o", .third = Third::Minor, .fifth = Fifth::Flat, .seventh = Seventh::Diminished},
    {.text = "o7", .third = Third::Minor, .fifth = Fifth::Flat, .seventh = Seventh::Diminished},
    {.text = "\u00F8", .third = Third::Minor, .fifth = Fifth::Flat, .seventh = Seventh::Minor},
    {.text = "\u00F87", .third = Third::Minor, .fifth = Fifth::Flat, .seventh = Seventh::Minor},
    {.text = "aug", .fifth = Fifth::Sharp},
    {.text = "+", .fifth = Fifth::Sharp},
    {.text = "+5", .fifth = Fifth::Sharp},
    {.text = "#5", .fifth = Fifth::Sharp},
    {.text = "b5", .fifth = Fifth::Flat},
    {.text = "-5", .place = Place::Later, .fifth = Fifth::Flat},
    {.text = "b9", .tensions = FlatNinth},
    {.text = "-9", .place = Place::Later, .tensions = FlatNinth},
    {.text = "#9", .tensions = SharpNinth},
    {.text = "+9", .place = Place::Later, .tensions = SharpNinth},
    {.text = "#11", .tensions = SharpEleventh},
    {.text = "+11", .place = Place::Later, .tensions = SharpEleventh},
    {.text = "b13", .tensions = FlatThirteenth},
    {.text = "-13", .place = Place::Later, .tensions = FlatThirteenth},
    {.text = "alt", .tensions = Altered},
};

// Full-width ASCII, as a Japanese input method types it: Ｃ is C.
constexpr char32_t FullWidthFirst = 0xFF01;
constexpr char32_t FullWidthLast = 0xFF5E;
constexpr char32_t FullWidthOffset = 0xFEE0;

struct Fold {
    char32_t from;
    std::string_view to;
};
// The other marks charts write, as the reader's spellings hold them.
constexpr Fold Folds[] {
    {0x3000, " "}, // the full-width space
    {0x266F, "#"}, // ♯
    {0x266D, "b"}, // ♭
    {0x2212, "-"}, // the minus sign
    {0x25B3, "\u0394"}, // △ as Δ
    {0x2206, "\u0394"}, // ∆, the increment sign
    {0xBA, "\u00B0"}, // º, the ordinal, as the degree sign
    {0xD8, "\u00F8"}, // Ø as ø
};

// Folds full-width ASCII and the marks above into the reader's spellings.
// Nothing for text that is not UTF-8.
std::optional<std::string> folded(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const int length = byte < 0x80 ? 1
            : byte >> 5 == 0x6         ? 2
            : byte >> 4 == 0xE         ? 3
            : byte >> 3 == 0x1E        ? 4
                                       : 0;
        if (length == 0 || i + std::size_t(length) > text.size())
            return std::nullopt;
        char32_t code = length == 1 ? byte : byte & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + std::size_t(k)]);
            if (next >> 6 != 0x2)
                return std::nullopt;
            code = code << 6 | (next & 0x3F);
        }
        const std::string_view whole = text.substr(i, std::size_t(length));
        i += std::size_t(length);
        const auto fold = std::ranges::find(Folds, code, &Fold::from);
        if (code >= FullWidthFirst && code <= FullWidthLast)
            out += char(code - FullWidthOffset);
        else if (fold != std::end(Folds))
            out += fold->to;
        else
            out += whole;
    }
    return out;
}

struct Root {
    std::string text;
    std::size_t length = 0; // bytes read
};

// A letter A to G in either case and at most one sharp or flat. E#, B#, Cb
// and Fb take the name of their key in our table.
std::optional<Root> readRoot(std::string_view text)
{
    constexpr std::array<int, 7> LetterPitch {9, 11, 0, 2, 4, 5, 7}; // A to G
    if (text.empty())
        return std::nullopt;
    const char letter = char(text[0] & ~0x20);
    if (letter < 'A' || letter > 'G')
        return std::nullopt;
    std::string name(1, letter);
    int pitch = LetterPitch[std::size_t(letter - 'A')];
    if (text.size() > 1 && (text[1] == '#' || text[1] == 'b')) {
        name += text[1];
        pitch += text[1] == '#' ? 1 : -1;
    }
    if (!lookupRoot(name))
        return Root {std::string(rootText((pitch + PitchClasses) % PitchClasses)), name.size()};
    return Root {name, name.size()};
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// A bass that ends the symbol: a root, then only blanks and closing brackets.
std::optional<std::string> readBass(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    const auto root = readRoot(text);
    if (!root)
        return std::nullopt;
    for (const char c : text.substr(root->length)) {
        if (!isBlank(c) && c != ')')
            return std::nullopt;
    }
    return root->text;
}

const KindSpelling *longestSpelling(std::string_view text, bool first)
{
    const KindSpelling *found = nullptr;
    for (const KindSpelling &spelling : KindSpellings) {
        const bool placed
            = spelling.place == Place::Anywhere || (spelling.place == Place::First) == first;
        if (placed && text.starts_with(spelling.text)
            && (!found || spelling.text.size() > found->text.size()))
            found = &spelling;
    }
    return found;
}

struct Written {
    Shape shape;
    std::string bass; // empty: none
};

std::optional<Written> readKind(std::string_view text)
{
    Written written;
    Shape &shape = written.shape;
    bool first = true;
    bool major = false;
    int depth = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::string_view rest = text.substr(at);
        const char c = rest.front();
        if (isBlank(c) || c == ',' || c == '(' || c == ')') {
            depth += c == '(' ? 1 : c == ')' ? -1 : 0;
            ++at;
            continue;
        }
        if (c == '/' || rest.starts_with("on")) {
            const std::size_t mark = c == '/' ? 1 : 2;
            if (const auto bass = readBass(rest.substr(mark))) {
                written.bass = *bass;
                return written;
            }
            if (c == '/' && rest.size() > 1) { // C7/9, m/maj7: a slash between parts
                ++at;
                continue;
            }
            return std::nullopt;
        }
        const KindSpelling *spelling = longestSpelling(rest, first);
        if (!spelling)
            return std::nullopt;
        shape.third = spelling->third.value_or(shape.third);
        shape.fifth = spelling->fifth.value_or(shape.fifth);
        shape.seventh = spelling->seventh.value_or(shape.seventh);
        shape.sixth = shape.sixth || spelling->sixth;
        shape.tensions |= spelling->tensions;
        major = major || spelling->major;
        const bool bringsSeventh = spelling->number == Number::Seven
            || (spelling->number == Number::Extension && (depth <= 0 || major));
        if (bringsSeventh && major)
            shape.seventh = Seventh::Major;
        else if (bringsSeventh && shape.seventh == Seventh::None)
            shape.seventh = Seventh::Minor;
        first = false;
        at += spelling->text.size();
    }
    return written;
}

std::optional<int> kindOfShape(const Shape &shape)
{
    const auto row = std::ranges::find(KindShapes, shape);
    if (row == KindShapes.end())
        return std::nullopt;
    return int(row - KindShapes.begin());
}

// The chord of our tables a player would use for one beyond them: what our
// chords cannot hold is dropped, and said.
int nearestKind(Shape shape, std::vector<std::string> &leftOut)
{
    // Without a third: sus2 becomes add9, which keeps all of its notes and
    // adds the third; a sus4 would move the second a player hears in the
    // melody. The power chord becomes the major chord.
    if (shape.third == Third::Sus2 || shape.third == Third::None) {
        if (shape.third == Third::Sus2)
            shape.tensions |= Ninth;
        shape.third = Third::Major;
        leftOut.emplace_back("no 3rd");
    }
    // A dominant eleventh is played without its third: the 7sus4 and a ninth.
    if (shape.third == Third::Major && shape.seventh == Seventh::Minor
        && (shape.tensions & Eleventh)) {
        shape.third = Third::Sus4;
        shape.tensions = (shape.tensions & ~Eleventh) | Ninth;
    }
    const bool minorFlat = shape.third == Third::Minor && shape.fifth == Fifth::Flat;
    if (minorFlat && shape.seventh == Seventh::None) {
        // The diminished triad, and m6(b5) which is our dim's notes.
        shape.seventh = Seventh::Diminished;
        shape.sixth = false;
    } else if (shape.fifth == Fifth::Flat && !minorFlat) {
        leftOut.emplace_back("b5");
        shape.fifth = Fifth::Perfect;
    }
    if (shape.fifth == Fifth::Sharp
        && (shape.third != Third::Major || shape.seventh != Seventh::None || shape.sixth)) {
        leftOut.emplace_back("#5");
        shape.fifth = Fifth::Perfect;
    }
    if (shape.sixth && (shape.seventh != Seventh::None || shape.third == Third::Sus4)) {
        leftOut.emplace_back("6th");
        shape.sixth = false;
    }
    const bool addNine = shape.tensions == Ninth && shape.third == Third::Major
        && shape.fifth == Fifth::Perfect && shape.seventh == Seventh::None && !shape.sixth;
    if (!addNine) {
        for (const auto &[bit, name] : TensionNames) {
            if (shape.tensions & bit)
                leftOut.emplace_back(name);
        }
        shape.tensions = 0;
    }
    auto kind = kindOfShape(shape);
    if (!kind) {
        // A seventh our chords do not pair with this triad (sus4 with M7,
        // a diminished one over a perfect fifth): the triad, or our dim.
        leftOut.emplace_back(shape.seventh == Seventh::Major ? "M7" : "bb7");
        shape.seventh = minorFlat ? Seventh::Diminished : Seventh::None;
        kind = kindOfShape(shape);
    }
    return kind.value_or(0);
}

// Our kinds in the spelling of chord-sheet programs, in ChordKind's order.
// chordii's own table holds maj7 for every root, m(maj7) where it has the
// chord at all, and neither M7 nor mM7; dim7 says the four-note chord
// everywhere, where dim alone is the triad to chord libraries.
constexpr std::array<std::string_view, 14> StandardKinds {"", "m", "7", "m7", "maj7", "dim7",
    "m7b5", "aug", "sus4", "7sus4", "6", "add9", "m6", "m(maj7)"};
static_assert(StandardKinds.size() == ChordKind.size());

} // namespace

ChordSymbol readChordSymbol(std::string_view text)
{
    while (!text.empty() && (isBlank(text.front()) || text.front() == '\n' || text.front() == '\r'))
        text.remove_prefix(1);
    while (!text.empty() && (isBlank(text.back()) || text.back() == '\n' || text.back() == '\r'))
        text.remove_suffix(1);
    if (text.size() > LongestSymbol)
        return {};
    const auto plain = folded(text);
    if (!plain)
        return {};
    std::string_view symbol(*plain);
    while (!symbol.empty() && isBlank(symbol.front()))
        symbol.remove_prefix(1);
    while (!symbol.empty() && isBlank(symbol.back()))
        symbol.remove_suffix(1);
    const auto root = readRoot(symbol);
    if (!root)
        return {};
    const auto written = readKind(symbol.substr(root->length));
    if (!written)
        return {};
    ChordSymbol result {true, false, root->text, {}, {}};
    const auto exact = kindOfShape(written->shape);
    if (exact && written->bass.empty()) {
        result.inTables = true;
        result.kind = ChordKind[std::size_t(*exact)].text;
        return result;
    }
    const int nearest = nearestKind(written->shape, result.leftOut);
    result.kind = ChordKind[std::size_t(nearest)].text;
    if (!written->bass.empty())
        result.leftOut.push_back("bass " + written->bass);
    return result;
}

std::string leftOutInJapanese(const std::vector<std::string> &leftOut)
{
    constexpr std::string_view Bass = "bass ";
    std::string text;
    for (const std::string &part : leftOut) {
        text += "「";
        if (part.starts_with(Bass))
            text += "ベース " + part.substr(Bass.size());
        else if (part == "no 3rd")
            text += "3度なし";
        else if (part == "alt")
            text += "オルタード";
        else
            text += part;
        text += "」";
    }
    return text;
}

std::string standardChordName(std::string_view root, std::string_view kind)
{
    const auto row = kindIndex(kind);
    std::string name(root);
    if (!row || !lookupRoot(root))
        return name + std::string(kind);
    return name + std::string(StandardKinds[std::size_t(*row)]);
}

} // namespace chord
