// Feeds arbitrary bytes to the slot file reader, then checks what a save
// would write: exactly 60 lines ended by CR LF, which load back to the same.
#include "chordmemo.h"
#include "memomerge.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace
{
void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    memo::ChordMemo memo;
    int nextSlot = 0;
    memo.loadBytes(QByteArrayView(data, qsizetype(size)),
        [&nextSlot](int slot, const QString &) { check(slot == nextSlot++); });
    check(nextSlot == memo::MemoSlotCount);
    check(memo.curslot == memo::ScratchSlot);

    const QByteArray saved = memo::memoFileBytes(memo.lines());
    check(saved.count('\n') == memo::SlotFileLineCount);
    check(saved.count('\r') == memo::SlotFileLineCount);
    check(saved.count("\r\n") == memo::SlotFileLineCount);
    check(saved.endsWith("\r\n"));

    memo::ChordMemo reloaded;
    reloaded.loadBytes(saved, {});
    check(memo::memoFileBytes(reloaded.lines()) == saved);
    return 0;
}
