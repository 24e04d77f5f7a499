#include "platform/textlines.h"

#include "platform/filenames.h"
#include "platform/paths.h"
#include "platform/regularfile.h"

#include <QFile>

#include <array>
#include <cerrno>

#ifdef Q_OS_WIN
#include <QFileInfo>
#include <QSaveFile>
#else
#include <QRandomGenerator>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zq2 {

QList<QByteArray> readLines(QIODevice& device, const LineLimits& limits) {
    QList<QByteArray> lines;
    if (limits.maxLines <= 0)
        return lines;

    QByteArray current;
    bool inLine = false;  // bytes seen since the last line end
    bool afterCr = false; // the previous byte was a CR, so an LF now is part of that line end
    qint64 total = 0;
    std::array<char, 16 * 1024> chunk{};

    while (total < limits.maxTotalBytes) {
        const qint64 want = std::min<qint64>(qint64(chunk.size()), limits.maxTotalBytes - total);
        const qint64 got = device.read(chunk.data(), want);
        if (got <= 0)
            break;
        total += got;
        for (qint64 i = 0; i < got; ++i) {
            const char c = chunk[size_t(i)];
            if (afterCr) {
                afterCr = false;
                if (c == '\n')
                    continue;
            }
            if (c == '\r' || c == '\n') {
                lines.append(current);
                current.clear();
                inLine = false;
                afterCr = (c == '\r');
                if (lines.size() == limits.maxLines)
                    return lines;
                continue;
            }
            inLine = true;
            if (current.size() < limits.maxLineBytes)
                current.append(c);
        }
    }
    if (inLine)
        lines.append(current);
    return lines;
}

std::optional<QList<QByteArray>> readFileLines(const QString& path, const LineLimits& limits) {
    const std::unique_ptr<QFile> file = openRegularFile(path);
    if (!file)
        return std::nullopt;
    return readLines(*file, limits);
}

std::optional<WholeFileLines> readWholeFileLines(const QString& path, qint64 maxBytes, int maxLines) {
    const std::unique_ptr<QFile> opened = openRegularFile(path);
    if (!opened)
        return std::nullopt;
    QFile& file = *opened;
    WholeFileLines whole;
    if (file.size() > maxBytes) {
        whole.tooLarge = true;
        return whole;
    }
    // One line and one byte beyond the bounds tell a file that only just fits from one that does not,
    // even when it grows while it is read; no line is cut short of the byte bound.
    LineLimits limits;
    limits.maxLines = maxLines + 1;
    limits.maxLineBytes = maxBytes + 1;
    limits.maxTotalBytes = maxBytes + 1;
    whole.lines = readLines(file, limits);
    whole.tooLarge = whole.lines.size() > maxLines || file.pos() > maxBytes;
    if (whole.tooLarge)
        whole.lines.clear();
    return whole;
}

namespace {

#ifdef Q_OS_WIN

// QSaveFile reports a Qt error kind only; the system's number is still in errno right after the
// failing call. It refuses a folder standing at the path without any number, so that case is told
// by looking; any other failure that left no number behind is a plain input/output error.
FileError failure(int savedErrno, const QString& path) {
    if (QFileInfo(path).isDir())
        return FileError::fromErrno(EISDIR, path);
    return FileError::fromErrno(savedErrno != 0 ? savedErrno : EIO, path);
}

FileError removeFile(const QString& path) {
    errno = 0;
    if (QFile::remove(path))
        return FileError::none();
    return failure(errno, path);
}

#else

FileError removeFile(const QString& path) {
    if (::unlink(encodeFileName(path).constData()) == 0)
        return FileError::none();
    return FileError::fromErrno(errno, path);
}

// A new, empty file beside `target` under a hidden name of its own, made with the mode a new file gets
// (0666 less the umask); -1 with errno set when none can be made. The bound only ends the search when
// every name tried is taken, which does not happen in practice.
int createTemporaryBeside(const QByteArray& target, QByteArray& temporary) {
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray() : target.left(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder + ".zq2-" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd =
            ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

int writeAllTo(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : EIO;
        data += written;
        left -= written;
    }
    return 0;
}

#endif

} // namespace

#ifdef Q_OS_WIN

FileError replaceFileContents(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return failure(errno, path);
    if (file.write(bytes) != bytes.size()) {
        const int err = errno;
        file.cancelWriting();
        return failure(err, path);
    }
    errno = 0;
    if (!file.commit())
        return failure(errno, path);
    return FileError::none();
}

#else

// The path goes to the system as its exact bytes, so a folder whose name is not UTF-8 is written to
// as surely as it is read from. A file that is replaced keeps its permissions, and a link keeps
// pointing to the file it names, which is the one replaced.
FileError replaceFileContents(const QString& path, const QByteArray& bytes) {
    QByteArray target = encodeFileName(path);
    struct stat link {};
    if (::lstat(target.constData(), &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char* resolved = ::realpath(target.constData(), nullptr)) {
            target = resolved;
            ::free(resolved);
        }
    }
    struct stat old {};
    const bool replacing = ::stat(target.constData(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode))
        return FileError::fromErrno(EISDIR, path);
    QByteArray temporary;
    const int fd = createTemporaryBeside(target, temporary);
    if (fd < 0)
        return FileError::fromErrno(errno, path);
    int err = writeAllTo(fd, bytes);
    if (err == 0 && replacing && ::fchmod(fd, old.st_mode & 07777) != 0)
        err = errno;
    if (err == 0 && ::fsync(fd) != 0)
        err = errno;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0 && ::rename(temporary.constData(), target.constData()) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(temporary.constData());
        return FileError::fromErrno(err, path);
    }
    return FileError::none();
}

#endif

WriteResult replaceFileSpelledExactly(const QString& folder, const QString& name, const QByteArray& bytes) {
    WriteResult result;
    result.path = joinPath(folder, name);
    result.error = replaceFileContents(result.path, bytes);
    if (result.error)
        return result;
    result.saved = true;
    for (const QString& other : otherSpellings(folder, name)) {
        FileError removed = removeFile(other);
        if (removed && result.error.ok())
            result.error = std::move(removed);
    }
    return result;
}

QString writeFailedText(const QString& what, const WriteResult& result) {
    if (!result.saved)
        return QStringLiteral("The %1 could not be saved to %2: %3")
            .arg(what, displayPath(result.error.path), result.error.writeReason());
    return QStringLiteral("The %1 were saved to %2, but the old file %3 could not be removed: %4")
        .arg(what, displayPath(result.path), displayPath(result.error.path), result.error.reason());
}

QString trimSpaces(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

bool sameKeyword(const QString& line, const QString& keyword) {
    return line.compare(keyword, Qt::CaseInsensitive) == 0;
}

} // namespace zq2
