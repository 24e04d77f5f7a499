#include "platform/textlines.h"

#include "platform/paths.h"
#include "platform/regularfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <array>
#include <cerrno>

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

// QSaveFile reports a Qt error kind only; the system's number is still in errno right after the
// failing call. It refuses a folder standing at the path without any number, so that case is told
// by looking; any other failure that left no number behind is a plain input/output error.
FileError failure(int savedErrno, const QString& path) {
    if (QFileInfo(path).isDir())
        return FileError::fromErrno(EISDIR, path);
    return FileError::fromErrno(savedErrno != 0 ? savedErrno : EIO, path);
}

} // namespace

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

WriteResult replaceFileSpelledExactly(const QString& folder, const QString& name, const QByteArray& bytes) {
    WriteResult result;
    result.path = joinPath(folder, name);
    result.error = replaceFileContents(result.path, bytes);
    if (result.error)
        return result;
    result.saved = true;
    for (const QString& other : otherSpellings(folder, name)) {
        errno = 0;
        if (!QFile::remove(other) && result.error.ok())
            result.error = failure(errno, other);
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
