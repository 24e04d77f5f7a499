#include "platform/folderreads.h"

#include <atomic>

namespace zq2 {

namespace {

std::atomic<quint64> readings{0};

} // namespace

void countFolderRead() {
    readings.fetch_add(1, std::memory_order_relaxed);
}

quint64 folderReadCount() {
    return readings.load(std::memory_order_relaxed);
}

} // namespace zq2
