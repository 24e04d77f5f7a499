#include "fileops/shelf.h"

#include "catalogue/counts.h"
#include "catalogue/titlecache.h"
#include "fileops/folderindex.h"
#include "fileops/nativepath.h"
#include "fileops/pendingfile.h"
#include "platform/filenames.h"
#include "platform/paths.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <vector>

#ifdef Q_OS_WIN
#include <QFile>
#else
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zq2 {

namespace {

constexpr qint64 kPieceBytes = 1024 * 1024;

// The outcome of moving one file.
struct OneMove {
    FileError error;
    bool cancelled = false;
};

// Renames without ever replacing a file that is in the way, where the system can do that in one
// step; elsewhere a file that appears between the test and the rename is replaced, which only a
// program racing this one could cause.
FileError renameKeepingOthers(const QString& from, const QString& to) {
#ifdef Q_OS_LINUX
    if (::renameat2(AT_FDCWD, encodeFileName(from).constData(), AT_FDCWD, encodeFileName(to).constData(),
                    RENAME_NOREPLACE) == 0)
        return FileError::none();
    const int err = errno;
    if (err != EINVAL && err != ENOSYS && err != EOPNOTSUPP)
        return FileError::fromErrno(err, from);
#endif
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(toFsPath(to), error)))
        return FileError::fromErrno(EEXIST, to);
    std::filesystem::rename(toFsPath(from), toFsPath(to), error);
    return error ? FileError::fromErrno(errnoOf(error), from) : FileError::none();
}

// Removes `other`, a spelling of the moved file's name in another letter case that it replaced,
// unless the file system ignores case and the two are one file.
FileError removeOtherSpelling(const QString& other, const QString& target) {
    if (other == target)
        return FileError::none();
    std::error_code error;
    if (std::filesystem::equivalent(toFsPath(other), toFsPath(target), error) || error)
        return FileError::none();
    std::filesystem::remove(toFsPath(other), error);
    return error ? FileError::fromErrno(errnoOf(error), other) : FileError::none();
}

// One rename, replacing `existing` when there is one.
FileError renameInto(const QString& source, const QString& target, const std::optional<QString>& existing) {
    if (!existing)
        return renameKeepingOthers(source, target);
    std::error_code error;
    std::filesystem::rename(toFsPath(source), toFsPath(target), error);
    if (error)
        return FileError::fromErrno(errnoOf(error), source);
    return removeOtherSpelling(*existing, target);
}

// Copies `source` into a pending file for folder/name, piece by piece, telling `piece` how far it
// has come. Returns with `pending` complete but not yet in place.
// On Windows `modified` receives the source's modification time, to be given to the copy once it is
// in place; elsewhere the pending file gets it directly.
OneMove copyIntoPending(const QString& source, PendingFile& pending,
                        const std::function<bool(qint64, qint64)>& piece,
                        std::filesystem::file_time_type& modified) {
    std::vector<char> buffer(static_cast<size_t>(kPieceBytes));
#ifdef Q_OS_WIN
    std::error_code error;
    modified = std::filesystem::last_write_time(toFsPath(source), error);
    const auto total = qint64(std::filesystem::file_size(toFsPath(source), error));
    if (error)
        return {FileError::fromErrno(errnoOf(error), source)};
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return {FileError::fromErrno(EACCES, source)};
    qint64 done = 0;
    for (qint64 got; (got = in.read(buffer.data(), kPieceBytes)) != 0;) {
        if (got < 0)
            return {FileError::fromErrno(EIO, source)};
        if (const FileError written = pending.write(buffer.data(), got))
            return {written};
        done += got;
        if (!piece(done, total))
            return {FileError::none(), true};
    }
    const auto after = std::filesystem::last_write_time(toFsPath(source), error);
    if (error || after != modified || done != total)
        return {FileError::fromErrno(kChangedWhileCopied, source)};
    return {};
#else
    Q_UNUSED(modified);
    // O_NONBLOCK keeps a pipe in the file's place from blocking; only a plain file is copied.
    const int in = ::open(encodeFileName(source).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (in < 0)
        return {FileError::fromErrno(errno, source)};
    struct stat before {};
    OneMove outcome;
    if (::fstat(in, &before) != 0)
        outcome.error = FileError::fromErrno(errno, source);
    else if (!S_ISREG(before.st_mode))
        outcome.error = FileError::fromErrno(S_ISDIR(before.st_mode) ? EISDIR : EINVAL, source);
    qint64 done = 0;
    while (!outcome.error && !outcome.cancelled) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got == 0)
            break;
        if (got < 0) {
            if (errno != EINTR)
                outcome.error = FileError::fromErrno(errno, source);
            continue;
        }
        outcome.error = pending.write(buffer.data(), got);
        done += got;
        // A file still growing is not followed for ever.
        if (outcome.error)
            break;
        if (done > before.st_size)
            outcome.error = FileError::fromErrno(kChangedWhileCopied, source);
        else if (!piece(done, before.st_size))
            outcome.cancelled = true;
    }
    struct stat after {};
    if (!outcome.error && !outcome.cancelled &&
        (::fstat(in, &after) != 0 || done != before.st_size || after.st_size != before.st_size ||
         !(fileStampOf(after) == fileStampOf(before))))
        outcome.error = FileError::fromErrno(kChangedWhileCopied, source);
    if (!outcome.error && !outcome.cancelled) {
        // The shelved file keeps the time it was last written, as a rename would.
        const struct timespec times[2] = {before.st_atim, before.st_mtim};
        ::futimens(pending.handle(), times);
    }
    ::close(in);
    return outcome;
#endif
}

// Moves a file between two file systems: a complete copy is put in place first, and only then the
// original removed.
OneMove copyAcross(const QString& source, const QString& toFolder, const QString& name,
                   const std::optional<QString>& existing, const std::function<bool(qint64, qint64)>& piece) {
    std::filesystem::file_time_type modified;
    {
        PendingFile pending(toFolder, name);
        if (pending.error())
            return {pending.error()};
        const OneMove copied = copyIntoPending(source, pending, piece, modified);
        if (copied.error || copied.cancelled)
            return copied; // the pending file removes itself
        if (const FileError placed = pending.putInPlace(existing))
            return {placed};
    }
    const QString target = joinPath(toFolder, name);
#ifdef Q_OS_WIN
    std::error_code ignored;
    std::filesystem::last_write_time(toFsPath(target), modified, ignored);
#endif
    std::error_code error;
    std::filesystem::remove(toFsPath(source), error);
    if (!error)
        return {};
    // The original cannot go (a game folder on a read-only disk): take the copy back, so that the
    // file is in one place only. A file the copy replaced was given up by the user's answer.
    const FileError kept = FileError::fromErrno(errnoOf(error), source);
    if (!existing)
        std::filesystem::remove(toFsPath(target), error);
    return {kept};
}

// The bare name at the end of a path.
QString lastPart(const QString& path) {
    qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
#ifdef Q_OS_WIN
    slash = std::max(slash, path.lastIndexOf(QLatin1Char('\\')));
#endif
    return path.mid(slash + 1);
}

} // namespace

QString shelfDirOf(const QString& gameDir) {
    if (gameDir.isEmpty())
        return {};
    return joinPath(gameDir, QStringLiteral("shelf"));
}

FileError checkShelfFolder(const QString& gameDir) {
    const QString shelf = shelfDirOf(gameDir);
    std::error_code error;
    if (shelf.isEmpty() || std::filesystem::is_directory(toFsPath(shelf), error) ||
        !std::filesystem::exists(std::filesystem::symlink_status(toFsPath(shelf), error)))
        return FileError::none();
    return FileError::fromErrno(ENOTDIR, shelf);
}

FileError makeShelfFolder(const QString& gameDir) {
    const QString shelf = shelfDirOf(gameDir);
    if (shelf.isEmpty())
        return FileError::fromErrno(ENOENT, gameDir);
    if (const FileError blocked = checkShelfFolder(gameDir))
        return blocked;
    std::error_code error;
    if (std::filesystem::is_directory(toFsPath(shelf), error))
        return FileError::none();
    std::filesystem::create_directory(toFsPath(shelf), error);
    if (error && !std::filesystem::is_directory(toFsPath(shelf)))
        return FileError::fromErrno(errnoOf(error), shelf);
    return FileError::none();
}

QString shelfFolderProblem(const FileError& error) {
    const QString shown = displayPath(error.path);
    if (error.code == ENOTDIR) {
        std::error_code ignored;
        const bool file = std::filesystem::is_regular_file(toFsPath(error.path), ignored);
        return QStringLiteral(
                   "The Level Shelf cannot be used: %1 is %2. Rename or remove it, then try again.")
            .arg(shown, file ? QStringLiteral("a file, not a folder") : QStringLiteral("not a folder"));
    }
    return QStringLiteral("Could not make the Level Shelf folder %1: %2.").arg(shown, error.reason());
}

MoveResult moveFiles(const QString& fromFolder, const QString& toFolder, const QStringList& names,
                     const AskReplace& askReplace, const MoveProgress& progress) {
    MoveResult result;
    // One look at the target's names serves the whole run.
    FolderIndex target(toFolder);
    const int count = int(names.size());
    for (int index = 0; index < count && !result.cancelled; ++index) {
        const QString& name = names[index];
        const QString shown = displayFileName(name);
        if (progress && !progress(index, count, shown, 0, 0)) {
            result.cancelled = true;
            break;
        }
        const QString source = joinPath(fromFolder, name);
        const FileSize newSize = fileSize(source);
        if (newSize.error) {
            result.failed << newSize.error;
            continue;
        }
        const std::optional<QString> existing = target.find(name);
        if (existing) {
            const FileSize oldSize = fileSize(*existing);
            if (oldSize.error) {
                result.failed << oldSize.error;
                continue;
            }
            if (askReplace && !askReplace(name, oldSize.bytes, newSize.bytes))
                continue;
        }
        const QString destination = joinPath(toFolder, name);
        OneMove outcome{renameInto(source, destination, existing)};
        if (outcome.error.code == EXDEV) {
            outcome = copyAcross(source, toFolder, name, existing, [&](qint64 done, qint64 total) {
                return !progress || progress(index, count, shown, done, total);
            });
        }
        if (outcome.cancelled) {
            result.cancelled = true;
        } else if (outcome.error) {
            result.failed << outcome.error;
        } else {
            target.noteCopied(name);
            result.moved << name;
        }
    }
    return result;
}

DropParts partDrop(const QStringList& paths, const QString& folder) {
    DropParts parts;
    const std::filesystem::path target = toFsPath(folder);
    for (const QString& path : paths) {
        const std::filesystem::path native = toFsPath(path);
        std::error_code error;
        const bool inFolder = !folder.isEmpty() && native.has_parent_path() &&
                              std::filesystem::equivalent(native.parent_path(), target, error);
        if (inFolder && !std::filesystem::is_directory(native, error))
            parts.namesInFolder << lastPart(path);
        else
            parts.otherPaths << path;
    }
    return parts;
}

RoomLine roomLine(qint64 levelsInGame) {
    RoomLine line;
    line.overLimit = levelsInGame > kMaxLevels;
    line.text = QStringLiteral("Levels in the game: %1 of %2. ").arg(levelsInGame).arg(kMaxLevels) +
                (line.overLimit ? QStringLiteral("%1 too many.").arg(levelsInGame - kMaxLevels)
                                : QStringLiteral("Room for %1 more.").arg(kMaxLevels - levelsInGame));
    return line;
}

} // namespace zq2
