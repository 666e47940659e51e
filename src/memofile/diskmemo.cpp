#include "diskmemo.h"

#include "diskfiles.h"
#include "filewatcher.h"
#include "lockfile.h"

namespace memofile
{

DiskMemo::DiskMemo()
    : m_keeper(m_memo, std::make_unique<DiskFiles>(), std::make_unique<LockFile>(), new FileWatcher)
{
}

} // namespace memofile
