#include "chordmemo.h"

namespace memo
{

namespace
{
void checkSlot(int slot)
{
    Q_ASSERT_X(slot >= 0 && slot < SlotCount, "ChordMemo", "slot index out of range");
}
} // namespace

void ChordMemo::store(const QString &root, const QString &kind)
{
    checkSlot(curslot);
    code1[curslot].setText(root);
    code2[curslot].setText(kind);
}

ChordText ChordMemo::fetch(int slot) const
{
    checkSlot(slot);
    return {code1[slot].text(), code2[slot].text()};
}

void ChordMemo::loadBytes(QByteArrayView bytes, const ShowSlot &showSlot)
{
    platform::LineReader reader(bytes);
    for (int k = 0; k < MemoSlotCount; ++k) {
        code1[k] = SlotText::fromBytes(reader.readLine());
        code2[k] = SlotText::fromBytes(reader.readLine());
        if (showSlot) {
            showSlot(k, code1[k].text() + code2[k].text());
        }
    }
    curslot = ScratchSlot;
}

MemoLines ChordMemo::lines() const
{
    MemoLines out;
    for (int k = 0; k < MemoSlotCount; ++k) {
        out[2 * k] = code1[k].bytes();
        out[2 * k + 1] = code2[k].bytes();
    }
    return out;
}

void ChordMemo::adopt(const MemoLines &lines, const ShowSlot &showSlot)
{
    for (int k = 0; k < MemoSlotCount; ++k) {
        if (code1[k].bytes() == lines[2 * k] && code2[k].bytes() == lines[2 * k + 1])
            continue;
        code1[k] = SlotText::fromBytes(lines[2 * k]);
        code2[k] = SlotText::fromBytes(lines[2 * k + 1]);
        if (showSlot)
            showSlot(k, code1[k].text() + code2[k].text());
    }
}

template<typename Write> void ChordMemo::forEachLine(Write write) const
{
    for (int k = 0; k < MemoSlotCount; ++k) {
        write(code1[k].bytes());
        write(code2[k].bytes());
    }
}

QByteArray ChordMemo::saveBytes() const
{
    QByteArray out;
    forEachLine([&out](const QByteArray &value) { out.append(value).append(platform::LineEnd); });
    return out;
}

std::optional<platform::FileError> ChordMemo::load(
    const QString &fileName, const ShowSlot &showSlot)
{
    const platform::ReadResult result = platform::readWholeFile(fileName);
    if (result.status == platform::ReadStatus::Failed) {
        return result.error;
    }
    loadBytes(result.bytes, showSlot);
    return std::nullopt;
}

std::optional<platform::FileError> ChordMemo::save(const QString &fileName) const
{
    platform::TextFileWriter writer(fileName);
    forEachLine([&writer](const QByteArray &value) { writer.writeLine(value); });
    return writer.commit();
}

} // namespace memo
