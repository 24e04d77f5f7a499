#include "app/singleinstance.h"

#include "platform/filenames.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zq2 {

namespace {

QString keyOf(const QString& executablePath) {
    const QString canonical = QFileInfo(executablePath).canonicalFilePath();
    const QByteArray key = (canonical.isEmpty() ? executablePath : canonical).toUtf8();
    return QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16));
}

#ifndef Q_OS_WIN

// A folder fit for the lock and the socket: a real folder (not a link), owned by this user, that no
// one else may read, write or enter. Its path must also be valid UTF-8, since QLockFile and
// QLocalServer encode paths through Qt, which would name another file otherwise.
bool isPrivateFolder(const QByteArray& path) {
    if (!path.startsWith('/') || QString::fromUtf8(path).toUtf8() != path)
        return false;
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() &&
           (info.st_mode & 077) == 0;
}

#endif

} // namespace

SingleInstance::SingleInstance(const QString& executablePath, const QString& folder) {
    if (folder.isEmpty())
        return;
    const QString key = keyOf(executablePath);
    lockPath_ = QDir(folder).filePath(QStringLiteral("zq2org-%1.lock").arg(key));
#ifdef Q_OS_WIN
    // Pipe names are shared by the whole machine; the user's name keeps each user's apart, and the
    // server admits its own user only.
    socketPath_ = QStringLiteral("zq2org-%1-%2").arg(key, qEnvironmentVariable("USERNAME"));
#else
    socketPath_ = QDir(folder).filePath(QStringLiteral("zq2org-%1.socket").arg(key));
#endif
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::tryAcquire() {
    if (lockPath_.isEmpty())
        return true;
    if (lock_ && lock_->isLocked())
        return true;
    lock_ = std::make_unique<QLockFile>(lockPath_);
    // Staleness is decided by whether the owning process still lives, never by the lock's age:
    // the program may run for days.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0))
        return true;
    // Only a lock held by a running copy means another copy runs. A lock file that cannot be made
    // at all (an unwritable folder) must not keep the program from starting.
    return lock_->error() != QLockFile::LockFailedError;
}

QString SingleInstance::lockPath() const {
    return lockPath_;
}

QString SingleInstance::socketPath() const {
    return socketPath_;
}

QString SingleInstance::userRuntimeFolder() {
#ifdef Q_OS_WIN
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
#else
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (isPrivateFolder(runtime))
        return QString::fromUtf8(runtime);
    // Without a runtime folder, one of our own in the temporary folder; the user id in its name
    // keeps users apart, and a folder of that name that someone else made first is refused.
    QByteArray fallback = encodeFileName(QDir::tempPath());
    if (!fallback.endsWith('/'))
        fallback += '/';
    fallback += "zq2org-" + QByteArray::number(::geteuid());
    ::mkdir(fallback.constData(), 0700);
    if (isPrivateFolder(fallback))
        return QString::fromUtf8(fallback);
    return {};
#endif
}

} // namespace zq2
