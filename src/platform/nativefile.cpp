#include "platform/nativefile.h"

#include "platform/filenames.h"
#include "platform/nativepath.h"

#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zq2 {

#ifdef Q_OS_WIN

// Devices and pipes are not reached through plain paths here, so a look before opening suffices.
InputFile::InputFile(const QString& path)
    : path_(path) {
    const QFileInfo info(path);
    if (info.isDir()) {
        error_ = FileError::fromErrno(EISDIR, path);
        return;
    }
    if (!info.exists()) {
        error_ = FileError::fromErrno(ENOENT, path);
        return;
    }
    if (!info.isFile()) {
        error_ = FileError::fromErrno(kNotPlainFile, path);
        return;
    }
    file_ = std::make_unique<QFile>(path);
    if (!file_->open(QIODevice::ReadOnly)) {
        error_ = FileError::fromErrno(EACCES, path);
        file_.reset();
        return;
    }
    size_ = file_->size();
    modified_ = info.lastModified().toMSecsSinceEpoch();
}

InputFile::~InputFile() = default;

qint64 InputFile::read(char* buffer, qint64 size, int& err) {
    const qint64 got = file_ ? file_->read(buffer, size) : -1;
    if (got < 0)
        err = EIO;
    return got;
}

FileError InputFile::checkUnchanged() const {
    const QFileInfo now(path_);
    if (now.size() != size_ || now.lastModified().toMSecsSinceEpoch() != modified_)
        return FileError::fromErrno(kChangedWhileCopied, path_);
    return FileError::none();
}

bool InputFile::handOverTo(QFile& file, QIODevice::OpenMode extraMode) {
    if (!file_)
        return false;
    const QString name = file_->fileName();
    file_.reset();
    file.setFileName(name);
    return file.open(QIODevice::ReadOnly | extraMode);
}

std::unique_ptr<QFile> InputFile::intoQFile() {
    return std::move(file_);
}

OutputFile::OutputFile(const QString& path, unsigned)
    : file_(path) {
    if (!file_.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        openError_ = pathExists(path) ? EEXIST : EACCES;
}

OutputFile::~OutputFile() {
    close();
}

int OutputFile::write(const char* data, qint64 size) {
    return file_.write(data, size) == size ? 0 : EIO;
}

int OutputFile::syncData() {
    if (!file_.flush())
        return EIO;
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(file_.handle()));
    return FlushFileBuffers(handle) ? 0 : EIO;
}

int OutputFile::close() {
    if (!file_.isOpen())
        return 0;
    const bool flushed = file_.flush();
    file_.close();
    return flushed ? 0 : EIO;
}

qint64 ByteMover::next(qint64 most, int& err, bool& readSide) {
    return byReadWrite(most, err, readSide);
}

int renameKeepingOthers(const QString& from, const QString& to) {
    if (pathExists(to))
        return EEXIST;
    return renameReplacing(from, to);
}

#else

namespace {

qint64 modifiedNs(const struct stat& info) {
#ifdef Q_OS_DARWIN
    return qint64(info.st_mtimespec.tv_sec) * 1000000000 + info.st_mtimespec.tv_nsec;
#else
    return qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
#endif
}

// The error for something at a path that is not a plain file.
int notPlainError(const struct stat& info) {
    return S_ISDIR(info.st_mode) ? EISDIR : kNotPlainFile;
}

} // namespace

InputFile::InputFile(const QString& path)
    : path_(path) {
    const QByteArray native = encodeFileName(path);
    struct stat info {};
    if (native.isEmpty()) {
        error_ = FileError::fromErrno(ENOENT, path);
        return;
    }
    // What is plainly no regular file is never opened: opening a device can have effects of its own
    // (a new terminal for /dev/ptmx, a rewind for a tape).
    if (::stat(native.constData(), &info) != 0) {
        error_ = FileError::fromErrno(errno, path);
        return;
    }
    if (!S_ISREG(info.st_mode)) {
        error_ = FileError::fromErrno(notPlainError(info), path);
        return;
    }
    // O_NONBLOCK keeps the opening of a named pipe swapped in meanwhile from waiting for a writer;
    // O_NOCTTY keeps a terminal from becoming ours. Reading a plain file ignores O_NONBLOCK.
    fd_ = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    int err = fd_ < 0 ? errno : 0;
    if (err == 0 && ::fstat(fd_, &info) != 0)
        err = errno;
    else if (err == 0 && !S_ISREG(info.st_mode))
        err = notPlainError(info);
    if (err != 0) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        error_ = FileError::fromErrno(err, path);
        return;
    }
    size_ = info.st_size;
    modifiedNs_ = modifiedNs(info);
    copyMode_ = (info.st_mode & 0777) | S_IRUSR | S_IWUSR;
}

InputFile::~InputFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

qint64 InputFile::read(char* buffer, qint64 size, int& err) {
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, static_cast<size_t>(size));
        if (got >= 0)
            return got;
        if (errno != EINTR) {
            err = errno;
            return -1;
        }
    }
}

FileError InputFile::checkUnchanged() const {
    struct stat now {};
    if (::fstat(fd_, &now) != 0)
        return FileError::fromErrno(errno, path_);
    if (now.st_size != size_ || modifiedNs(now) != modifiedNs_)
        return FileError::fromErrno(kChangedWhileCopied, path_);
    return FileError::none();
}

bool InputFile::handOverTo(QFile& file, QIODevice::OpenMode extraMode) {
    if (fd_ < 0)
        return false;
    // With AutoCloseHandle the QFile closes the descriptor even when it fails to take it.
    return file.open(std::exchange(fd_, -1), QIODevice::ReadOnly | extraMode, QFileDevice::AutoCloseHandle);
}

std::unique_ptr<QFile> InputFile::intoQFile() {
    auto file = std::make_unique<QFile>();
    return handOverTo(*file) ? std::move(file) : nullptr;
}

OutputFile::OutputFile(const QString& path, unsigned mode) {
    fd_ = ::open(encodeFileName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                 static_cast<mode_t>(mode));
    if (fd_ < 0)
        openError_ = errno;
}

OutputFile::~OutputFile() {
    close();
}

int OutputFile::write(const char* data, qint64 size) {
    for (qint64 done = 0; done < size;) {
        const ssize_t put = ::write(fd_, data + done, static_cast<size_t>(size - done));
        if (put < 0 && errno != EINTR)
            return errno;
        if (put == 0)
            return EIO; // no progress: stop rather than spin
        done += std::max<ssize_t>(put, 0);
    }
    return 0;
}

int OutputFile::syncData() {
    for (;;) {
#ifdef Q_OS_DARWIN
        const int result = ::fsync(fd_);
#else
        const int result = ::fdatasync(fd_);
#endif
        if (result == 0)
            return 0;
        if (errno != EINTR)
            return errno;
    }
}

int OutputFile::close() {
    if (fd_ < 0)
        return 0;
    // The descriptor is gone after close() whatever it returns; retrying could close another file.
    const int result = ::close(std::exchange(fd_, -1));
    return result == 0 ? 0 : errno;
}

namespace {

// Errors of a transfer that concern the file being written rather than the one being read.
bool isWriteSideError(int err) {
    return err == ENOSPC || err == EDQUOT || err == EFBIG || err == EROFS;
}

} // namespace

qint64 ByteMover::next(qint64 most, int& err, bool& readSide) {
#ifdef Q_OS_LINUX
    while (kernelCopy_) {
        const ssize_t n =
            ::copy_file_range(in_.handle(), nullptr, out_.handle(), nullptr, static_cast<size_t>(most), 0);
        if (n > 0)
            return n;
        if (n == 0) {
            // Some file systems answer "nothing copied" instead of failing; reading tells for sure
            // whether the input has ended.
            kernelCopy_ = false;
            break;
        }
        const int e = errno;
        if (e == EINTR)
            continue;
        if (e == EXDEV || e == ENOSYS || e == EINVAL || e == EOPNOTSUPP || e == EPERM) {
            kernelCopy_ = false; // not possible between these two files
            break;
        }
        err = e;
        readSide = !isWriteSideError(e);
        return -1;
    }
#endif
    return byReadWrite(most, err, readSide);
}

int renameKeepingOthers(const QString& from, const QString& to) {
#ifdef Q_OS_LINUX
    const QByteArray source = encodeFileName(from);
    const QByteArray target = encodeFileName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    const int err = errno;
    if (err != EINVAL && err != ENOSYS && err != EOPNOTSUPP)
        return err;
#endif
    if (pathExists(to))
        return EEXIST;
    return renameReplacing(from, to);
}

#endif

qint64 ByteMover::byReadWrite(qint64 most, int& err, bool& readSide) {
    if (buffer_.isEmpty())
        buffer_.resize(256 * 1024);
    const qint64 got = in_.read(buffer_.data(), std::min<qint64>(most, buffer_.size()), err);
    readSide = true;
    if (got <= 0)
        return got;
    readSide = false;
    if ((err = out_.write(buffer_.constData(), got)) != 0)
        return -1;
    return got;
}

int renameReplacing(const QString& from, const QString& to) {
    std::error_code error;
    std::filesystem::rename(toFsPath(from), toFsPath(to), error);
    return error ? errnoOf(error) : 0;
}

int removePlainFile(const QString& path) {
    std::error_code error;
    const std::filesystem::path native = toFsPath(path);
    const auto status = std::filesystem::symlink_status(native, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return ENOENT;
    if (status.type() == std::filesystem::file_type::directory)
        return EISDIR;
    if (std::filesystem::remove(native, error))
        return 0;
    return error ? errnoOf(error) : ENOENT;
}

bool pathExists(const QString& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(toFsPath(path), error));
}

} // namespace zq2
