#include "fileops/shelf.h"

#include "catalogue/counts.h"
#include "catalogue/folderlisting.h"
#include "catalogue/titlecache.h"
#include "fileops/deletion.h"
#include "fileops/fileruns.h"
#include "fileops/pendingfile.h"
#include "fileops/samefolder.h"
#include "platform/filenames.h"
#include "platform/folderreads.h"
#include "platform/nativefile.h"
#include "platform/nativepath.h"
#include "platform/paths.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#ifdef Q_OS_WIN
#include <QFile>
#else
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zq2 {

namespace {

// The outcome of moving one file.
struct OneMove {
    FileError error;
    bool cancelled = false;
    // The file moved, but the spelling it replaced could not be removed.
    FileError leftBehind = FileError::none();
};

// The two folders of a run. Where the system allows, both are opened once, so that each rename
// names its files relative to them instead of walking both paths again for every file.
class RunFolders {
public:
    RunFolders(const QString& from, const QString& to)
        : from_(from)
        , to_(to) {
#ifdef Q_OS_LINUX
        fromFd_ = ::open(encodeFileName(from).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        toFd_ = ::open(encodeFileName(to).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
#endif
    }
    ~RunFolders() {
#ifdef Q_OS_LINUX
        for (const int fd : {fromFd_, toFd_})
            if (fd >= 0)
                ::close(fd);
#endif
    }
    RunFolders(const RunFolders&) = delete;
    RunFolders& operator=(const RunFolders&) = delete;

    const QString& from() const {
        return from_;
    }
    const QString& to() const {
        return to_;
    }

    // Renames from/name to to/name, replacing a file of that name only when `replace` is set. Without
    // it a file that is in the way is kept (EEXIST) where the system can do that in one step;
    // elsewhere a file that appears between the test and the rename is replaced, which only a
    // program racing this one could cause. A failure names the file being moved.
    FileError rename(const QString& name, bool replace) const {
#ifdef Q_OS_LINUX
        if (fromFd_ >= 0 && toFd_ >= 0) {
            const QByteArray native = encodeFileName(name);
            if (::renameat2(fromFd_, native.constData(), toFd_, native.constData(),
                            replace ? 0 : RENAME_NOREPLACE) == 0)
                return FileError::none();
            const int err = errno;
            if (replace || (err != EINVAL && err != ENOSYS && err != EOPNOTSUPP))
                return FileError::fromErrno(err, joinPath(from_, name));
        }
#endif
        const QString source = joinPath(from_, name), target = joinPath(to_, name);
        std::error_code error;
        if (!replace && pathExists(target))
            return FileError::fromErrno(EEXIST, target);
        std::filesystem::rename(toFsPath(source), toFsPath(target), error);
        return error ? FileError::fromErrno(errnoOf(error), source) : FileError::none();
    }

private:
    QString from_, to_;
#ifdef Q_OS_LINUX
    int fromFd_ = -1, toFd_ = -1;
#endif
};

// One rename, replacing `existing` when there is one; a spelling of it in other letters goes after.
OneMove renameInto(const RunFolders& folders, const QString& name, const std::optional<QString>& existing) {
    if (FileError renamed = folders.rename(name, existing.has_value()))
        return {std::move(renamed)};
    if (!existing)
        return {};
    return {FileError::none(), false, removeReplacedSpelling(*existing, joinPath(folders.to(), name))};
}

// Moves a file between two file systems: a complete copy is put in place first (see
// replaceOrCreate), with the time the original was last written, as a rename would keep it, and
// only then the original removed.
OneMove copyAcross(const QString& source, const QString& toFolder, const QString& name,
                   const std::optional<QString>& existing, const std::function<bool(qint64, qint64)>& piece) {
    std::error_code error;
    const auto modified = std::filesystem::last_write_time(toFsPath(source), error);
    if (error)
        return {FileError::fromErrno(errnoOf(error), source)};
    CopyControl control;
    control.progress = piece;
    const CopyOutcome copied = replaceOrCreate(source, toFolder, name, existing, control);
    if (copied.result == CopyOutcome::Result::Cancelled)
        return {FileError::none(), true};
    if (copied.result == CopyOutcome::Result::Failed)
        return {copied.error};
    const QString target = joinPath(toFolder, name);
    std::filesystem::last_write_time(toFsPath(target), modified, error);
    std::filesystem::remove(toFsPath(source), error);
    if (!error)
        return {FileError::none(), false, copied.leftBehind};
    // The original cannot go (a game folder on a read-only disk): take the copy back, so that the
    // file is in one place only. A file the copy replaced was given up by the user's answer.
    const FileError kept = FileError::fromErrno(errnoOf(error), source);
    if (!existing)
        std::filesystem::remove(toFsPath(target), error);
    return {kept};
}

// The files of the target folder that a run's names would meet, in any letter case. The folder is
// read once for the whole run, and of its entries only those named like a file of the run are looked
// at more closely, so that a large folder costs little more than the reading itself. Where the file
// system ignores case itself, a lookup is a single test of the path.
class TargetNames {
public:
    TargetNames(QString folder, const QStringList& names)
        : folder_(std::move(folder)) {
        for (const QString& name : names) {
            const QString folded = foldFileName(name);
            wanted_.insert(folded);
            if (isAscii(folded))
                asciiWanted_.insert(folded.toLatin1().toStdString());
        }
    }

    // The path of a plain file (or a link to one) named `name` in any letter case, the exact
    // spelling first. `name` must be one of the run's names.
    std::optional<QString> find(const QString& name) {
#ifdef Q_OS_WIN
        return findFileIgnoringCase(folder_, name);
#else
        if (!loaded_)
            load();
        const QStringList spellings = found_.value(foldFileName(name));
        if (spellings.isEmpty())
            return std::nullopt;
        const QString exact = joinPath(folder_, name);
        return spellings.contains(exact) ? exact : spellings.first();
#endif
    }

    // `name` is in the folder now, put there by this run; a spelling it replaced has gone.
    void noteMoved(const QString& name) {
        if (!loaded_)
            return;
        found_.insert(foldFileName(name), {joinPath(folder_, name)});
        // Our own change moved the folder's stamp; take the new one so that it is not mistaken for a
        // change made by someone else.
        stamp_ = folderStamp(folder_);
    }

    // Reads the folder again at the next lookup if others changed it meanwhile (while a question
    // stood, say).
    void recheck() {
        if (loaded_ && folderStamp(folder_) != stamp_)
            loaded_ = false;
    }

private:
#ifndef Q_OS_WIN
    void load() {
        found_.clear();
        loaded_ = true;
        // Taken before the reading, so that a change made while the folder is read shows afterwards.
        stamp_ = folderStamp(folder_);
        DIR* dir = ::opendir(encodeFileName(folder_).constData());
        if (!dir)
            return;
        countFolderRead();
        std::string lower;
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArrayView raw(entry->d_name, qsizetype(std::strlen(entry->d_name)));
            if (raw == "." || raw == "..")
                continue;
            QString folded;
            if (isAscii(raw)) {
                lower.assign(raw.data(), size_t(raw.size()));
                for (char& c : lower)
                    c = (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
                if (!asciiWanted_.count(lower))
                    continue;
                folded = QString::fromLatin1(lower);
            } else {
                folded = foldFileName(decodeFileName(raw));
                if (!wanted_.contains(folded))
                    continue;
            }
            // A folder or a device of that name is no file to replace; the rename will say so.
            const QString path = joinPath(folder_, decodeFileName(raw));
            if (isPlainFile(path))
                found_[folded].append(path);
        }
        ::closedir(dir);
    }
#endif

    QString folder_;
    QSet<QString> wanted_;                        // the run's names, case-folded
    std::unordered_set<std::string> asciiWanted_; // those of them in plain ASCII, as bytes
    QHash<QString, QStringList> found_;           // case-folded name -> the paths that spell it
    std::optional<std::filesystem::file_time_type> stamp_;
    bool loaded_ = false;
};

} // namespace

QString shelfDirOf(const QString& gameDir) {
    if (gameDir.isEmpty())
        return {};
    return joinPath(gameDir, QStringLiteral("shelf"));
}

FileError checkShelfFolder(const QString& gameDir) {
    const QString shelf = shelfDirOf(gameDir);
    std::error_code error;
    if (shelf.isEmpty() || std::filesystem::is_directory(toFsPath(shelf), error) || !pathExists(shelf))
        return FileError::none();
    return FileError::fromErrno(ENOTDIR, shelf);
}

FileError makeShelfFolder(const QString& gameDir) {
    const QString shelf = shelfDirOf(gameDir);
    if (shelf.isEmpty())
        return FileError::fromErrno(ENOENT, gameDir);
    if (const FileError blocked = checkShelfFolder(gameDir))
        return blocked;
    // A folder that is there already is no failure; nor is one that another program made meanwhile.
    std::error_code error;
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
    TargetNames target(toFolder, names);
    const RunFolders folders(fromFolder, toFolder);
    const int count = int(names.size());
    for (int index = 0; index < count && !result.cancelled; ++index) {
        const QString& name = names[index];
        const QString shown = displayFileName(name);
        if (progress && !progress(index, count, shown, 0, 0, 0)) {
            result.cancelled = true;
            break;
        }
        const QString source = joinPath(fromFolder, name);
        const QString destination = joinPath(toFolder, name);
        std::optional<QString> existing = target.find(name);
        OneMove outcome;
        bool declined = false;
        // A second round only when a file took the name after the target was read.
        for (int round = 0; round < 2; ++round) {
            if (existing) {
                const FileSize oldSize = fileSize(*existing);
                const FileSize newSize = fileSize(source);
                if (oldSize.error.code == ENOENT) {
                    existing.reset(); // gone meanwhile: nothing to replace
                } else if (oldSize.error || newSize.error) {
                    outcome.error = oldSize.error ? oldSize.error : newSize.error;
                    break;
                } else if (askReplace) {
                    declined = !askReplace(name, oldSize.bytes, newSize.bytes);
                    // The question may have stood for a while; others may have changed the folder.
                    target.recheck();
                    if (declined)
                        break;
                }
            }
            outcome = renameInto(folders, name, existing);
            if (outcome.error.code != EEXIST || existing)
                break;
            existing = destination;
        }
        if (outcome.error.code == EXDEV) {
            outcome = copyAcross(source, toFolder, name, existing, [&](qint64 done, qint64 total) {
                return !progress || progress(index, count, shown, done, total, 0);
            });
        }
        if (declined)
            continue;
        if (outcome.cancelled) {
            result.cancelled = true;
        } else if (outcome.error) {
            result.failed << outcome.error;
        } else {
            target.noteMoved(name);
            result.moved << name;
            if (outcome.leftBehind)
                result.leftBehind << outcome.leftBehind;
        }
    }
    return result;
}

QString moveReport(const MoveResult& result, const QString& failedVerb) {
    QStringList reports;
    if (!result.failed.isEmpty())
        reports << failureReport(failedVerb, result.failed);
    if (!result.leftBehind.isEmpty())
        reports << leftBehindReport(result.leftBehind, QStringLiteral("the moved file"));
    return reports.join(QLatin1Char('\n'));
}

DropParts partDrop(const QStringList& paths, const QString& folder) {
    DropParts parts;
    SameFolder target(folder);
    for (const QString& path : paths) {
        std::error_code error;
        if (target.holds(path) && !std::filesystem::is_directory(toFsPath(path), error))
            parts.namesInFolder << lastPathPart(path);
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
