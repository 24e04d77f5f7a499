#include "fileops/pendingfile.h"
#include "platform/filenames.h"

#include "fileops/nativepath.h"
#include "platform/paths.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#ifndef Q_OS_WIN
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zq2 {

namespace {

// A short name, so that long file names still leave room for it, and a hidden one, so that folder
// listings do not show it while it exists.
QString temporaryName() {
    return QStringLiteral(".zq2-%1.part")
        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

constexpr int kNameAttempts = 8;

bool exists(const QString& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(toFsPath(path), error));
}

FileError renameReplacing(const QString& from, const QString& to) {
    std::error_code error;
    std::filesystem::rename(toFsPath(from), toFsPath(to), error);
    return error ? FileError::fromErrno(errnoOf(error), to) : FileError::none();
}

// Renames without ever replacing a file that is in the way, where the system can do that in one
// step; elsewhere a file that appears between the test and the rename is replaced, which only a
// program racing this one could cause.
FileError renameKeepingOthers(const QString& from, const QString& to) {
#ifdef Q_OS_LINUX
    const QByteArray source = encodeFileName(from);
    const QByteArray target = encodeFileName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return FileError::none();
    const int err = errno;
    if (err != EINVAL && err != ENOSYS && err != EOPNOTSUPP)
        return FileError::fromErrno(err, to);
#endif
    if (exists(to))
        return FileError::fromErrno(EEXIST, to);
    return renameReplacing(from, to);
}

} // namespace

#ifndef Q_OS_WIN
int writeAll(int fd, const char* data, qint64 size) {
    for (qint64 done = 0; done < size;) {
        const ssize_t put = ::write(fd, data + done, static_cast<size_t>(size - done));
        if (put < 0 && errno != EINTR)
            return errno;
        if (put == 0)
            return EIO; // no progress: stop rather than spin
        done += std::max<ssize_t>(put, 0);
    }
    return 0;
}
#endif

PendingFile::PendingFile(const QString& folder, const QString& name, unsigned mode)
    : target_(joinPath(folder, name)) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary_ = joinPath(folder, temporaryName());
#ifdef Q_OS_WIN
        Q_UNUSED(mode);
        file_.setFileName(temporary_);
        if (file_.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return;
        if (!exists(temporary_)) {
            error_ = FileError::fromErrno(EACCES, target_);
            break;
        }
#else
        fd_ = ::open(encodeFileName(temporary_).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                     static_cast<mode_t>(mode));
        if (fd_ >= 0)
            return;
        if (errno != EEXIST) {
            error_ = FileError::fromErrno(errno, target_);
            break;
        }
#endif
        error_ = FileError::fromErrno(EEXIST, target_);
    }
    temporary_.clear();
}

PendingFile::~PendingFile() {
    closeFile();
    if (!placed_ && !temporary_.isEmpty()) {
        std::error_code ignored;
        std::filesystem::remove(toFsPath(temporary_), ignored);
    }
}

FileError PendingFile::write(const char* data, qint64 size) {
    if (error_)
        return error_;
#ifdef Q_OS_WIN
    if (file_.write(data, size) != size)
        return FileError::fromErrno(EIO, target_);
#else
    if (const int err = writeAll(fd_, data, size))
        return FileError::fromErrno(err, target_);
#endif
    return FileError::none();
}

FileError PendingFile::closeFile() {
#ifdef Q_OS_WIN
    if (!file_.isOpen())
        return FileError::none();
    const bool flushed = file_.flush();
    file_.close();
    return flushed ? FileError::none() : FileError::fromErrno(EIO, target_);
#else
    if (fd_ < 0)
        return FileError::none();
    // The descriptor is gone after close() whatever it returns; retrying could close another file.
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0 ? FileError::none() : FileError::fromErrno(errno, target_);
#endif
}

FileError PendingFile::putInPlace(const std::optional<QString>& existingPath) {
    if (error_)
        return error_;
    if (const FileError closed = closeFile())
        return closed;
    const FileError moved =
        existingPath ? renameReplacing(temporary_, target_) : renameKeepingOthers(temporary_, target_);
    if (moved)
        return moved;
    placed_ = true;
    if (existingPath && *existingPath != target_) {
        // On a file system that ignores case the old spelling may be the new file itself.
        std::error_code error;
        if (!std::filesystem::equivalent(toFsPath(*existingPath), toFsPath(target_), error) && !error) {
            std::filesystem::remove(toFsPath(*existingPath), error);
            if (error)
                return FileError::fromErrno(errnoOf(error), *existingPath);
        }
    }
    return FileError::none();
}

} // namespace zq2
