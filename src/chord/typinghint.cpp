#include "typinghint.h"

#include "chordsymbol.h"
#include "chordtables.h"

namespace chord
{

namespace
{
constexpr std::string_view Accept = " — Tab で直す";
constexpr std::string_view RootsWritten = "根音は C, C#, Db, D ... B の半角で";
constexpr std::string_view KindsWritten = "種類は m, 7, m7, M7, dim ... の半角で（メジャーは空欄）";

std::string quoted(std::string_view text)
{
    return "「" + std::string(text) + "」";
}

std::string quotedKind(std::string_view kind)
{
    return kind.empty() ? "空欄" : quoted(kind);
}

// How our tables write what was typed: only the half that differs, or both
// as a user reads them, ①「C」 ②「M7」.
std::string written(std::string_view root, std::string_view kind, const SplitName &ours)
{
    const bool rootSame = root == ours.root;
    const bool kindSame = kind == ours.kind;
    if (rootSame && !kindSame)
        return quoted(kind) + "は" + quotedKind(ours.kind);
    if (!rootSame && kindSame)
        return quoted(root) + "は" + quoted(ours.root);
    return quoted(std::string(root) + std::string(kind)) + "は ①" + quoted(ours.root) + " ②"
        + quotedKind(ours.kind) + " ";
}
} // namespace

bool holdsFullWidth(std::string_view text)
{
    for (std::size_t i = 0; i + 2 < text.size(); ++i) {
        const auto a = static_cast<unsigned char>(text[i]);
        const auto b = static_cast<unsigned char>(text[i + 1]);
        const auto c = static_cast<unsigned char>(text[i + 2]);
        // U+FF01 to U+FF5E, and U+3000.
        if ((a == 0xEF && b == 0xBC && c >= 0x81) || (a == 0xEF && b == 0xBD && c <= 0x9E)
            || (a == 0xE3 && b == 0x80 && c == 0x80))
            return true;
    }
    return false;
}

TypingHint typingHint(std::string_view root, std::string_view kind)
{
    const bool rootKnown = lookupRoot(root).has_value();
    const bool kindKnown = lookupKind(kind).has_value();
    if (rootKnown && kindKnown)
        return {};
    std::string whole = std::string(root) + std::string(kind);
    ChordSymbol symbol = readChordSymbol(whole);
    // A whole name typed into the root box, the kind box still holding what
    // it held before: the root box alone, both halves from it.
    const bool rootAlone = !symbol.isChord && !rootKnown && readChordSymbol(root).isChord;
    if (rootAlone) {
        symbol = readChordSymbol(root);
        whole = root;
    }
    if (symbol.isChord) {
        const SplitName fix {symbol.root, symbol.kind};
        if (!symbol.inTables) {
            std::string text
                = quoted(whole) + "は一覧にありません: 近いのは" + quoted(fix.root + fix.kind);
            if (!symbol.leftOut.empty())
                text += "（" + leftOutInJapanese(symbol.leftOut) + "なし）";
            return {text + std::string(Accept), fix};
        }
        std::string text = written(root, rootAlone ? std::string_view() : kind, fix);
        if (rootAlone && fix.kind.empty())
            text = quoted(whole) + "は ①" + quoted(fix.root) + " ②空欄 ";
        text += "と書きます";
        if (holdsFullWidth(whole))
            text += "（半角）";
        return {text + std::string(Accept), fix};
    }
    if (root.empty() && !kindKnown)
        return {
            "根音は空欄、種類" + quoted(kind) + "は一覧にありません — " + std::string(RootsWritten),
            std::nullopt};
    if (root.empty())
        return {"根音が空欄です — " + std::string(RootsWritten), std::nullopt};
    if (!rootKnown && !kindKnown)
        return {"根音" + quoted(root) + "も種類" + quoted(kind) + "も一覧にありません — "
                + std::string(RootsWritten),
            std::nullopt};
    if (!rootKnown)
        return {"根音" + quoted(root) + "は一覧にありません — " + std::string(RootsWritten),
            std::nullopt};
    return {
        "種類" + quoted(kind) + "は一覧にありません — " + std::string(KindsWritten), std::nullopt};
}

std::string unknownChordNote(std::string_view root, std::string_view kind)
{
    const bool rootKnown = lookupRoot(root).has_value();
    const bool kindKnown = lookupKind(kind).has_value();
    if ((rootKnown && kindKnown) || (root.empty() && kind.empty()))
        return {};
    const std::string whole = std::string(root) + std::string(kind);
    const std::string unknown = rootKnown ? std::string(kind)
        : kindKnown                       ? std::string(root)
                                          : whole;
    std::string note = unknown.empty() ? "根音が空欄" : "一覧にない名前: " + unknown;
    if (holdsFullWidth(whole))
        note += "。全角の文字";
    const ChordSymbol symbol = readChordSymbol(whole);
    if (symbol.inTables) {
        const bool rootSame = root == symbol.root;
        const bool kindSame = kind == symbol.kind;
        const std::string ours = rootSame ? symbol.kind
            : kindSame                    ? symbol.root
                                          : symbol.root + symbol.kind;
        note += "。" + ours + " と書きます";
    } else if (symbol.isChord) {
        note += "。近いコードは " + symbol.root + symbol.kind;
    }
    return note;
}

} // namespace chord
