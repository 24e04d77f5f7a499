#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace zq2::test {

// Ends the test program when the code run while it exists has not finished within `limit`: a hang
// would otherwise only show as the test runner's time-out, without saying where it happened. The
// limit is far above what the guarded work ever needs; it measures nothing.
class HangGuard {
public:
    explicit HangGuard(const char* what, std::chrono::seconds limit = std::chrono::seconds(30));
    ~HangGuard();
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable finished_;
    bool done_ = false;
    std::thread watchdog_;
};

// Makes a named pipe at `path` that nobody writes to; fails the running test when it cannot.
void makeFifo(const QString& path);

// A file system of its own mounted at `folder` (made if needed) for as long as the object lives:
// `type` and `options` as for mount(8), such as "tmpfs" and "size=64k". Mounts are made
// in a mount namespace of this test program's own, so none outlives it even when it crashes. Where
// mounting is not allowed (no privileges, a container) skipReason() says why and nothing is mounted.
class ScratchMount {
public:
    ScratchMount(const QString& folder, const QByteArray& type, const QByteArray& options);
    ~ScratchMount();
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    const QString& skipReason() const { return skipReason_; }
    // Turns the mounted file system read-only, keeping what was written to it.
    bool makeReadOnly();

private:
    QByteArray folder_;
    QString skipReason_;
};

} // namespace zq2::test
