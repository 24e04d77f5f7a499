#include "fileops/filecopy.h"

#include "fileops/nativepath.h"
#include "fileops/pendingfile.h"
#include "platform/paths.h"

#include "platform/filenames.h"

#include <cerrno>
#include <filesystem>
#include <utility>

#ifndef Q_OS_WIN
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zq2 {

namespace {

void stepTaken(const CopySteps& steps) {
    if (steps.afterPiece)
        steps.afterPiece();
}

#ifndef Q_OS_WIN

// Errors of a transfer that concern the file being written rather than the one being read.
bool isWriteSideError(int err) {
    return err == ENOSPC || err == EDQUOT || err == EFBIG || err == EROFS;
}

FileError failure(int err, const QString& source, const QString& destination) {
    return FileError::fromErrno(err, isWriteSideError(err) ? destination : source);
}

// Bytes moved so far, and why the transfer stopped early if it did.
struct Transferred {
    qint64 bytes = 0;
    FileError error;
};

// Reads until the end of the source, or until it has given more than the `expected` bytes it had when
// the copy began: a file still growing is not followed for ever.
Transferred copyByReadWrite(int in, int out, Transferred moved, qint64 expected, const CopySteps& steps,
                            const QString& source, const QString& destination) {
    char buffer[128 * 1024];
    while (moved.bytes <= expected) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            moved.error = FileError::fromErrno(errno, source);
            break;
        }
        if (const int err = writeAll(out, buffer, got)) {
            moved.error = FileError::fromErrno(err, destination);
            break;
        }
        moved.bytes += got;
        stepTaken(steps);
    }
    return moved;
}

Transferred transfer(int in, int out, qint64 expected, const CopySteps& steps, const QString& source,
                     const QString& destination) {
    Transferred moved;
#ifdef Q_OS_LINUX
    // The kernel copies without passing the bytes through this process, and on file systems
    // that share extents it copies nothing at all.
    while (steps.method == CopySteps::Method::Fastest) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
        if (n > 0) {
            moved.bytes += n;
            stepTaken(steps);
            // A plain file that has reached its length needs no further call to learn that it ended.
            if (moved.bytes >= expected)
                return moved;
            continue;
        }
        if (n == 0) {
            if (moved.bytes >= expected)
                return moved;
            break; // some file systems report nothing copied instead of an error
        }
        const int err = errno;
        if (err == EINTR)
            continue;
        if (err == EXDEV || err == ENOSYS || err == EINVAL || err == EOPNOTSUPP || err == EPERM)
            break; // not possible between these two files: copy by hand from where it stopped
        moved.error = failure(err, source, destination);
        return moved;
    }
#endif
    return copyByReadWrite(in, out, moved, expected, steps, source, destination);
}

// Whether the source still is what it was when the copy began. A download being written, or a file
// cut short, changes its length or at least its modification time.
bool unchanged(const struct stat& before, const struct stat& after) {
#ifdef Q_OS_DARWIN
    const long beforeNs = before.st_mtimespec.tv_nsec, afterNs = after.st_mtimespec.tv_nsec;
#else
    const long beforeNs = before.st_mtim.tv_nsec, afterNs = after.st_mtim.tv_nsec;
#endif
    return before.st_size == after.st_size && before.st_mtime == after.st_mtime && beforeNs == afterNs;
}

// The source of a copy, opened for reading. Only a plain file (after links) is copied.
struct OpenSource {
    int fd = -1;
    struct stat info {};
    FileError error;

    explicit OpenSource(const QString& source) {
        // O_NONBLOCK keeps a named pipe posing as a file from hanging the program; plain files ignore it.
        fd = ::open(encodeFileName(source).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        int err = 0;
        if (fd < 0)
            err = errno;
        else if (::fstat(fd, &info) != 0)
            err = errno;
        else if (S_ISDIR(info.st_mode))
            err = EISDIR;
        else if (!S_ISREG(info.st_mode))
            err = EINVAL;
        if (err != 0)
            error = FileError::fromErrno(err, source);
    }
    ~OpenSource() {
        if (fd >= 0)
            ::close(fd);
    }
    OpenSource(const OpenSource&) = delete;
    OpenSource& operator=(const OpenSource&) = delete;

    // The source's permission bits, always readable and writable by the owner, so that a file
    // copied from read-only media can later be replaced or deleted.
    mode_t copyMode() const { return (info.st_mode & 0777) | S_IRUSR | S_IWUSR; }

    // Copies the whole source into `out`. A source that changed while it was copied fails.
    FileError copyInto(int out, const CopySteps& steps, const QString& source,
                       const QString& destination) const {
        const Transferred moved = transfer(fd, out, info.st_size, steps, source, destination);
        if (moved.error)
            return moved.error;
        struct stat after {};
        if (::fstat(fd, &after) != 0)
            return FileError::fromErrno(errno, source);
        if (moved.bytes != info.st_size || !unchanged(info, after))
            return FileError::fromErrno(kChangedWhileCopied, source);
        return FileError::none();
    }
};

#else

// The size and modification time of a file, to tell whether it changed while it was copied.
std::pair<std::uintmax_t, std::filesystem::file_time_type> sourceState(const QString& source) {
    std::error_code ignored;
    return {std::filesystem::file_size(toFsPath(source), ignored),
            std::filesystem::last_write_time(toFsPath(source), ignored)};
}

#endif

} // namespace

FileError copyFileFast(const QString& source, const QString& destination, const CopySteps& steps) {
#ifdef Q_OS_WIN
    // The system copies in one call here: the source is compared before and after it.
    const auto before = sourceState(source);
    std::error_code error;
    std::filesystem::copy_file(toFsPath(source), toFsPath(destination), std::filesystem::copy_options::none,
                               error);
    if (!error) {
        stepTaken(steps);
        if (sourceState(source) == before)
            return FileError::none();
        std::filesystem::remove(toFsPath(destination), error);
        return FileError::fromErrno(kChangedWhileCopied, source);
    }
    const int err = errnoOf(error);
    return FileError::fromErrno(err, err == EEXIST ? destination : source);
#else
    const OpenSource in(source);
    if (in.error)
        return in.error;
    const QByteArray to = encodeFileName(destination);
    const int out = ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, in.copyMode());
    if (out < 0)
        return FileError::fromErrno(errno, destination);
    FileError result = in.copyInto(out, steps, source, destination);
    if (::close(out) != 0 && result.ok())
        result = FileError::fromErrno(errno, destination);
    if (!result.ok())
        ::unlink(to.constData());
    return result;
#endif
}

FileError replaceOrCreate(const QString& source, const QString& folder, const QString& name,
                          const std::optional<QString>& existingPath, const CopySteps& steps) {
    if (!existingPath) {
        // Nothing to lose: write straight under the final name. Creating it exclusively keeps a file
        // that appeared meanwhile, and a failed copy removes what it wrote.
        return copyFileFast(source, joinPath(folder, name), steps);
    }
#ifdef Q_OS_WIN
    const auto before = sourceState(source);
    PendingFile pending(folder, name);
    if (pending.error())
        return pending.error();
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return FileError::fromErrno(ENOENT, source);
    char buffer[64 * 1024];
    for (qint64 got; (got = in.read(buffer, sizeof buffer)) != 0;) {
        if (got < 0)
            return FileError::fromErrno(EIO, source);
        if (const FileError written = pending.write(buffer, got))
            return written;
        stepTaken(steps);
    }
    if (sourceState(source) != before)
        return FileError::fromErrno(kChangedWhileCopied, source);
#else
    const OpenSource in(source);
    if (in.error)
        return in.error;
    PendingFile pending(folder, name, in.copyMode());
    if (pending.error())
        return pending.error();
    if (FileError copied = in.copyInto(pending.handle(), steps, source, pending.target()))
        return copied;
#endif
    return pending.putInPlace(existingPath);
}

FileSize fileSize(const QString& path) {
    std::error_code error;
    const auto bytes = std::filesystem::file_size(toFsPath(path), error);
    if (error)
        return {0, FileError::fromErrno(errnoOf(error), path)};
    return {static_cast<qint64>(bytes), FileError::none()};
}

CopyOutcome copyWithQuestion(const QString& source, const QString& folder, const QString& name,
                             const std::optional<QString>& existing, const AskReplace& askReplace) {
    if (existing) {
        const FileSize oldSize = fileSize(*existing);
        if (oldSize.error)
            return {CopyOutcome::Result::Failed, oldSize.error};
        const FileSize newSize = fileSize(source);
        if (newSize.error)
            return {CopyOutcome::Result::Failed, newSize.error};
        if (askReplace && !askReplace(name, oldSize.bytes, newSize.bytes))
            return {CopyOutcome::Result::Declined, FileError::none()};
    }
    if (const FileError error = replaceOrCreate(source, folder, name, existing))
        return {CopyOutcome::Result::Failed, error};
    return {CopyOutcome::Result::Copied, FileError::none()};
}

CopyOutcome copyZQ2File(const QString& cacheDir, const QString& gameDir, const QString& name,
                        const AskReplace& askReplace) {
    return copyWithQuestion(joinPath(cacheDir, name), gameDir, name, findFileIgnoringCase(gameDir, name),
                            askReplace);
}

CopyOutcome copyZQ2File(const QString& cacheDir, FolderIndex& gameFolder, const QString& name,
                        const AskReplace& askReplace) {
    const std::optional<QString> existing = gameFolder.find(name);
    CopyOutcome outcome =
        copyWithQuestion(joinPath(cacheDir, name), gameFolder.folder(), name, existing, askReplace);
    if (outcome.result == CopyOutcome::Result::Copied)
        gameFolder.noteCopied(name);
    return outcome;
}

} // namespace zq2
