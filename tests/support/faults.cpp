#include "support/faults.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_LINUX
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#endif

namespace zq2::test {

HangGuard::HangGuard(const char* what, std::chrono::seconds limit)
    : watchdog_([this, what, limit] {
        std::unique_lock lock(mutex_);
        if (!finished_.wait_for(lock, limit, [this] { return done_; }))
            qFatal("hung: %s did not finish within %lld seconds", what,
                   static_cast<long long>(limit.count()));
    }) {}

HangGuard::~HangGuard() {
    {
        std::lock_guard lock(mutex_);
        done_ = true;
    }
    finished_.notify_one();
    watchdog_.join();
}

void makeFifo(const QString& path) {
#ifdef Q_OS_LINUX
    if (::mkfifo(QFile::encodeName(path).constData(), 0644) != 0)
        QTest::qFail(qPrintable(QStringLiteral("cannot make a pipe at ") + path), __FILE__, __LINE__);
#else
    QTest::qFail("named pipes are made on Linux only", __FILE__, __LINE__);
#endif
}

namespace {

#ifdef Q_OS_LINUX
// The mount namespace of the calling thread, which runs the tests: what is mounted in it is
// unmounted by the kernel when the program ends. Empty when it is there, else why it is not.
QString privateMountNamespace() {
    static const QString reason = []() -> QString {
        if (::unshare(CLONE_NEWNS) != 0)
            return QStringLiteral("cannot make a mount namespace: ") +
                   QString::fromLocal8Bit(strerror(errno));
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return QStringLiteral("cannot make mounts private: ") + QString::fromLocal8Bit(strerror(errno));
        return {};
    }();
    return reason;
}
#endif

} // namespace

ScratchMount::ScratchMount(const QString& folder, const QByteArray& type, const QByteArray& options)
    : folder_(QFile::encodeName(folder)) {
#ifdef Q_OS_LINUX
    QDir().mkpath(folder);
    skipReason_ = privateMountNamespace();
    if (!skipReason_.isEmpty())
        return;
    // The device name shows in the mount table; a made-up one keeps the mount from being taken for a
    // system one.
    if (::mount("zq2scratch", folder_.constData(), type.constData(), 0, options.constData()) != 0)
        skipReason_ = QStringLiteral("cannot mount %1: %2")
                          .arg(QString::fromLatin1(type), QString::fromLocal8Bit(strerror(errno)));
#else
    Q_UNUSED(type);
    Q_UNUSED(options);
    skipReason_ = QStringLiteral("scratch file systems are mounted on Linux only");
#endif
}

bool ScratchMount::makeReadOnly() {
#ifdef Q_OS_LINUX
    return skipReason_.isEmpty() &&
           ::mount(nullptr, folder_.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
#else
    return false;
#endif
}

ScratchMount::~ScratchMount() {
#ifdef Q_OS_LINUX
    if (skipReason_.isEmpty())
        ::umount2(folder_.constData(), MNT_DETACH);
#endif
}

} // namespace zq2::test
