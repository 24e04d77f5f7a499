#include "platform/textlines.h"

#include "platform/filenames.h"
#include "platform/nativefile.h"
#include "platform/paths.h"
#include "platform/regularfile.h"
#include "platform/temporaryname.h"

#include <QFile>

#include <array>
#include <cerrno>

#ifdef Q_OS_WIN
#include <QFileInfo>
#include <QSaveFile>
#else
#include <cstdlib>
#include <optional>
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
    if (const int err = removePlainFile(path))
        return FileError::fromErrno(err, path);
    return FileError::none();
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
    QString target = path;
    struct stat link {};
    if (::lstat(encodeFileName(path).constData(), &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char* resolved = ::realpath(encodeFileName(path).constData(), nullptr)) {
            target = decodeFileName(resolved);
            ::free(resolved);
        }
    }
    struct stat old {};
    const bool replacing = ::stat(encodeFileName(target).constData(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode))
        return FileError::fromErrno(EISDIR, path);
    // Beside the target under a name of the program's own, made with the mode a new file gets (0666
    // less the umask); a name that is taken is tried again under another.
    const QString folder = target.left(target.lastIndexOf(QLatin1Char('/')) + 1);
    QString temporary;
    std::optional<OutputFile> out;
    int err = EEXIST;
    for (int attempt = 0; attempt < kTemporaryNameAttempts && err == EEXIST; ++attempt) {
        temporary = folder + newTemporaryName();
        out.emplace(temporary, 0666);
        err = out->openError();
    }
    if (err != 0)
        return FileError::fromErrno(err, path);
    err = out->write(bytes.constData(), bytes.size());
    if (err == 0 && replacing && ::fchmod(out->handle(), old.st_mode & 07777) != 0)
        err = errno;
    // fsync rather than a flush of the data only: the permissions just set must reach the disk too.
    if (err == 0 && ::fsync(out->handle()) != 0)
        err = errno;
    if (const int closed = out->close(); err == 0)
        err = closed;
    if (err == 0)
        err = renameReplacing(temporary, target);
    if (err != 0) {
        removePlainFile(temporary);
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
