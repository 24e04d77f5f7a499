#pragma once

#include <QFile>
#include <QString>

#include <cstring>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zq2::test {

// Ends the test program with SIGALRM when what runs while it exists has not finished within 30 s,
// so that a hang fails where it happens rather than at the runner's time-out. It measures nothing.
struct HangGuard {
    HangGuard() { ::alarm(30); }
    ~HangGuard() { ::alarm(0); }
};

inline bool makeFifo(const QString& path) {
    return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
}

// A file system of `type` mounted at the existing `folder` while the object lives, in a mount
// namespace of the test program's own, so that none outlives it. Where mounting is not allowed
// (no privileges, a container) skipReason() says why.
class ScratchMount {
public:
    ScratchMount(const QString& folder, const char* type, const char* options)
        : folder_(QFile::encodeName(folder)) {
        static const bool ownNamespace =
            ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        if (!ownNamespace || ::mount("zq2scratch", folder_.constData(), type, 0, options) != 0)
            skipReason_ = QStringLiteral("cannot mount %1: %2").arg(type, strerror(errno));
    }
    ~ScratchMount() {
        if (skipReason_.isEmpty())
            ::umount2(folder_.constData(), MNT_DETACH);
    }
    const QString& skipReason() const { return skipReason_; }
    bool makeReadOnly() {
        return ::mount(nullptr, folder_.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    QByteArray folder_;
    QString skipReason_;
};

} // namespace zq2::test
