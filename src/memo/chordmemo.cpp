#include "chordmemo.h"

#include "textfile.h"

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
    services::LineReader reader(bytes);
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

} // namespace memo
