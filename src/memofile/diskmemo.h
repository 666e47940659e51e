#pragma once

#include "chordmemo.h"
#include "memokeeper.h"

namespace memofile
{

// A memo kept on the disk, as the program keeps it: the slot tables, and the
// keeper that saves them as they change through the real files, the lock file
// beside the memo and the watch on it.
class DiskMemo
{
public:
    DiskMemo();
    DiskMemo(const DiskMemo &) = delete;
    DiskMemo &operator=(const DiskMemo &) = delete;

    MemoKeeper &keeper() { return m_keeper; }

private:
    memo::ChordMemo m_memo;
    MemoKeeper m_keeper;
};

} // namespace memofile
