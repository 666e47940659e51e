#pragma once

#include "slottext.h"

#include <QByteArrayView>
#include <QString>

#include <array>
#include <functional>

// The chord memo: 30 slots of root and kind texts kept in the slot file, and
// one hidden scratch slot that receives chords until the user picks a slot.
namespace memo
{

inline constexpr int MemoSlotCount = 30; // slots 0..29: shown, loaded and saved
inline constexpr int ScratchSlot = 30; // never shown, never saved
inline constexpr int SlotCount = MemoSlotCount + 1;
inline constexpr int SlotFileLineCount = 2 * MemoSlotCount; // root line, then kind line
inline constexpr QLatin1String SlotFileName("code.dat"); // the default memo's name

// The slot file's lines as bytes: root of slot 0, kind of slot 0, root of slot 1...
using MemoLines = std::array<QByteArray, SlotFileLineCount>;

struct ChordText {
    QString root;
    QString kind;
};

class ChordMemo
{
public:
    // Receives each slot's caption (root text followed by kind text) as the
    // load reads it, slot by slot in order.
    using ShowSlot = std::function<void(int slot, const QString &caption)>;

    std::array<SlotText, SlotCount> code1; // roots
    std::array<SlotText, SlotCount> code2; // kinds, "" for a major chord
    int curslot = ScratchSlot; // the slot that receives the chord on show

    // Copies the two texts into slot curslot.
    void store(const QString &root, const QString &kind);
    ChordText fetch(int slot) const;

    // Fills slots 0..29 from the file's first 60 lines and points curslot at
    // the scratch slot. Missing lines read as empty texts; later lines are
    // ignored. CR LF, a lone CR and a lone LF each end a line.
    void loadBytes(QByteArrayView bytes, const ShowSlot &showSlot);
    // Slots 0..29 as the file holds them.
    MemoLines lines() const;
    // Takes new texts for the slots 0..29 whose bytes differ from these lines
    // and shows each of them; curslot and the scratch slot stay as they are.
    void adopt(const MemoLines &lines, const ShowSlot &showSlot);
};

} // namespace memo
