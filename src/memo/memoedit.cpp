#include "memoedit.h"

#include "chordname.h"
#include "chordsymbol.h"

#include <QRegularExpression>

#include <algorithm>

namespace memo
{

Boxes boxesOf(const ChordMemo &memo)
{
    Boxes boxes;
    for (int k = 0; k < MemoSlotCount; ++k)
        boxes[k] = {memo.code1[k], memo.code2[k]};
    return boxes;
}

Box boxOf(const QString &root, const QString &kind)
{
    Box box;
    box.root.setText(root);
    box.kind.setText(kind);
    return box;
}

Boxes stored(Boxes boxes, int box, const QString &root, const QString &kind)
{
    boxes[box].root.setText(root);
    boxes[box].kind.setText(kind);
    return boxes;
}

Boxes emptied(Boxes boxes, int box)
{
    boxes[box] = {};
    return boxes;
}

Boxes closedUp(Boxes boxes, int box)
{
    std::shift_left(boxes.begin() + box, boxes.end(), 1);
    boxes.back() = {};
    return boxes;
}

std::optional<Boxes> opened(Boxes boxes, int box)
{
    if (boxes.back().holdsAnything())
        return std::nullopt;
    std::shift_right(boxes.begin() + box, boxes.end(), 1);
    boxes[box] = {};
    return boxes;
}

Boxes moved(Boxes boxes, int from, int to)
{
    if (from < to)
        std::rotate(boxes.begin() + from, boxes.begin() + from + 1, boxes.begin() + to + 1);
    else
        std::rotate(boxes.begin() + to, boxes.begin() + from, boxes.begin() + from + 1);
    return boxes;
}

Boxes copied(Boxes boxes, int from, int to)
{
    boxes[to] = boxes[from];
    return boxes;
}

std::optional<Boxes> filled(Boxes boxes, int box, const std::vector<Box> &chords)
{
    if (box + qsizetype(chords.size()) > MemoSlotCount)
        return std::nullopt;
    std::ranges::copy(chords, boxes.begin() + box);
    return boxes;
}

Boxes transposed(
    Boxes boxes, int semitones, chord::Spelling spelling, std::optional<chord::Key> key)
{
    std::vector<std::string> roots;
    for (const Box &box : boxes)
        roots.push_back(box.root.bytes().toStdString());
    const chord::Spelling spelled = chord::keySpelling(roots, semitones, spelling, key);
    for (Box &box : boxes) {
        // A root the program knows is ASCII, and so are its bytes; any
        // other text passes through as it is.
        const QByteArray &bytes = box.root.bytes();
        const std::string_view root(bytes.constData(), std::size_t(bytes.size()));
        const std::string moved = chord::transposeRoot(root, semitones, spelled);
        if (moved != root)
            box.root = SlotText::fromAscii(moved);
    }
    return boxes;
}

PastedChords chordsOfText(const QString &text, chord::BeyondTables beyond)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    static const QRegularExpression lineBreaks(QStringLiteral("[\\r\\n]"));
    // An ASCII degree after a name, as the text export writes it: "Em7(VIm7)".
    static const QRegularExpression degree(
        QStringLiteral("\\((?:b|#)?(?:VII|VI|V|IV|III|II|I)[^()]*\\)$"));
    PastedChords pasted;
    for (const QString &line : text.split(lineBreaks)) {
        QStringList names = line.split(blanks, Qt::SkipEmptyParts);
        // The text export's key line, and a section's name before its chords.
        if (!names.isEmpty() && names.front() == QLatin1String("Key:"))
            continue;
        if (!names.isEmpty() && names.front().size() > 1 && names.front().endsWith(u':'))
            names.removeFirst();
        for (QString name : names) {
            if (const auto found = degree.match(name);
                found.hasMatch() && found.capturedStart() > 0)
                name.truncate(found.capturedStart());
            chord::StoredName stored = chord::storedName(name.toStdString(), beyond);
            const QString root = QString::fromStdString(stored.lines.root);
            const QString kind = QString::fromStdString(stored.lines.kind);
            pasted.chords.push_back(boxOf(root, kind));
            pasted.beyondTables += stored.beyondTables ? 1 : 0;
            if (stored.replaced)
                pasted.replaced.push_back({name, {root, kind}, std::move(stored.leftOut)});
        }
    }
    return pasted;
}

QString replacedNotice(const std::vector<NameReplaced> &replaced)
{
    QStringList each;
    for (const NameReplaced &name : replaced)
        each << name.written + QStringLiteral(" → ") + name.chord.root + name.chord.kind
                + QString::fromStdString(chord::leftOutInJapanese(name.leftOut));
    return QStringLiteral("%1 個のコードを近いコードにしました: %2")
        .arg(replaced.size())
        .arg(each.join(QStringLiteral(", ")));
}

} // namespace memo
