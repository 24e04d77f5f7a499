#pragma once

#include <QtGlobal>

namespace zq2 {

// Every reading of a folder's entries is counted here, so that tests can make sure that a command
// reads each folder once and no second reading creeps back; timings alone cannot tell on a busy
// machine.
void countFolderRead();
quint64 folderReadCount();

} // namespace zq2
