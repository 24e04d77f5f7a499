#include "platform/paths.h"

#include "platform/folderreads.h"

#include "platform/filenames.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#ifndef Q_OS_WIN
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zq2 {

bool isAbsoluteSettingPath(const QString& text) {
#ifdef Q_OS_WIN
    return text.size() >= 2 && text.at(1) == QLatin1Char(':');
#else
    return text.startsWith(QLatin1Char('/'));
#endif
}

QString lastPathPart(const QString& path) {
    const qsizetype end = path.size() - (path.endsWith(QLatin1Char('/')) ? 1 : 0);
    qsizetype slash = path.lastIndexOf(QLatin1Char('/'), end - 1);
#ifdef Q_OS_WIN
    slash = std::max(slash, path.lastIndexOf(QLatin1Char('\\'), end - 1));
#endif
    return path.mid(slash + 1, end - slash - 1);
}

QString joinPath(const QString& folder, const QString& name) {
    return folder + QDir::separator() + name;
}

QString cacheDirOf(const QString& gameDir) {
    if (gameDir.isEmpty())
        return {};
    return joinPath(gameDir, QStringLiteral("cache"));
}

QString displayPath(const QString& path) {
    return QDir::toNativeSeparators(displayFileName(path));
}

#ifdef Q_OS_WIN

// Names are UTF-16 here, as QString holds them: Qt's file classes take them unchanged.

std::optional<qint64> plainFileSize(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        return std::nullopt;
    return info.size();
}

#else

std::optional<qint64> plainFileSize(const QString& path) {
    struct stat info {};
    if (path.isEmpty() || ::stat(encodeFileName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return qint64(info.st_size);
}

#endif

#ifdef Q_OS_WIN

bool existsFollowingLinks(const QString& path) {
    return !path.isEmpty() && QFileInfo::exists(path);
}

bool isFolder(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

QString followPathIgnoringCase(const QString& folder, const QString& relative) {
    return joinPath(folder, relative);
}

#else

namespace {

bool sameNameIgnoringCase(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The entry of `folder` whose name is `name` but for letter case, and that `wanted` accepts; the
// exact spelling is not looked for here.
template <typename Accept>
std::optional<QString> otherCaseIn(const QString& folder, const QString& name, Accept wanted) {
    DIR* dir = ::opendir(encodeFileName(folder).constData());
    if (!dir)
        return std::nullopt;
    countFolderRead();
    std::optional<QString> found;
    while (const dirent* entry = ::readdir(dir)) {
        const QString candidate = decodeFileName(entry->d_name);
        if (sameNameIgnoringCase(candidate, name) && wanted(joinPath(folder, candidate))) {
            found = joinPath(folder, candidate);
            break;
        }
    }
    ::closedir(dir);
    return found;
}

} // namespace

bool existsFollowingLinks(const QString& path) {
    struct stat info {};
    return !path.isEmpty() && ::stat(encodeFileName(path).constData(), &info) == 0;
}

bool isFolder(const QString& path) {
    struct stat info {};
    return !path.isEmpty() && ::stat(encodeFileName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

QString followPathIgnoringCase(const QString& folder, const QString& relative) {
    QString path = folder;
    bool lookingUp = true;
    QString parts = relative;
    parts.replace(QLatin1Char('\\'), QLatin1Char('/'));
    for (const QString& part : parts.split(QLatin1Char('/'))) {
        const QString asWritten = joinPath(path, part);
        const bool special = part.isEmpty() || part == QLatin1String(".") || part == QLatin1String("..");
        if (!lookingUp || special || existsFollowingLinks(asWritten)) {
            path = asWritten;
            continue;
        }
        const std::optional<QString> found = otherCaseIn(path, part, existsFollowingLinks);
        lookingUp = found.has_value();
        path = found.value_or(asWritten);
    }
    return path;
}

#endif

std::optional<QString> findFileIgnoringCase(const QString& folder, const QString& name) {
    if (folder.isEmpty() || name.isEmpty() || name.contains(QLatin1Char('/')))
        return std::nullopt;
    const QString exact = joinPath(folder, name);
    if (isPlainFile(exact))
        return exact;
#ifdef Q_OS_WIN
    // The system's own lookup has already ignored letter case.
    return std::nullopt;
#else
    return otherCaseIn(folder, name, isPlainFile);
#endif
}

QStringList otherSpellings(const QString& folder, const QString& name) {
    QStringList others;
    bool exactSeen = false;
    countFolderRead();
#ifdef Q_OS_WIN
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QString found = it.fileName();
        if (found == name)
            exactSeen = true;
        else if (found.compare(name, Qt::CaseInsensitive) == 0 && it.fileInfo().isFile())
            others << it.filePath();
    }
#else
    DIR* dir = ::opendir(encodeFileName(folder).constData());
    if (!dir)
        return {};
    while (const dirent* entry = ::readdir(dir)) {
        const QString found = decodeFileName(entry->d_name);
        if (found == name)
            exactSeen = true;
        else if (sameNameIgnoringCase(found, name) && isPlainFile(joinPath(folder, found)))
            others << joinPath(folder, found);
    }
    ::closedir(dir);
#endif
    return exactSeen ? others : QStringList();
}

} // namespace zq2
