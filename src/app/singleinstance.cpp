#include "app/singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

namespace zq2 {

namespace {

QString lockName(const QString& executablePath) {
    const QString canonical = QFileInfo(executablePath).canonicalFilePath();
    const QByteArray key = (canonical.isEmpty() ? executablePath : canonical).toUtf8();
    return QStringLiteral("zq2org-%1.lock")
        .arg(QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16)));
}

} // namespace

SingleInstance::SingleInstance(const QString& executablePath, const QString& lockFolder)
    : path_(QDir(lockFolder).filePath(lockName(executablePath))) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::tryAcquire() {
    if (lock_ && lock_->isLocked())
        return true;
    lock_ = std::make_unique<QLockFile>(path_);
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
    return path_;
}

QString SingleInstance::defaultLockFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isWritable())
        folder = QDir::tempPath();
    return folder;
}

} // namespace zq2
