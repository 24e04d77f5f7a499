#include "platform/programfolders.h"

#include "platform/filenames.h"
#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <cerrno>

#ifdef Q_OS_WIN
#include <QFileInfo>
#else
#include <climits>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zq2 {

namespace {

// The toolkit decodes the paths below as UTF-8 with U+FFFD for any other byte, which names no folder;
// here they are taken as the system's bytes. Where the system does not tell, the toolkit's answer stands.
QString executableFolder() {
#ifdef Q_OS_LINUX
    char target[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", target, sizeof target);
    if (length > 0 && length < ssize_t(sizeof target)) {
        const QByteArrayView path(target, length);
        const qsizetype slash = path.lastIndexOf('/');
        if (slash >= 0)
            return decodeFileName(slash == 0 ? QByteArrayView("/") : path.first(slash));
    }
#endif
    return QCoreApplication::applicationDirPath();
}

QString userConfigFolder() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // A relative $XDG_CONFIG_HOME is to be ignored, which leaves ~/.config.
    QByteArray base = qgetenv("XDG_CONFIG_HOME");
    if (!base.startsWith('/')) {
        const QByteArray home = qgetenv("HOME");
        base = home.startsWith('/') ? home + "/.config" : QByteArray();
    }
    if (!base.isEmpty())
        return joinPath(decodeFileName(base), QCoreApplication::applicationName());
#endif
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

} // namespace

QString dataDirFromAppDir() {
    return QStringLiteral(ZQ2_DATA_DIR_FROM_BIN);
}

ProgramFolders programFolders(const QString& appDir, const QString& userConfigDir) {
    const QString dataDir = QDir::cleanPath(joinPath(appDir, dataDirFromAppDir()));
    if (!isFolder(dataDir))
        return portableFolders(appDir);
    return ProgramFolders{appDir, userConfigDir, dataDir};
}

ProgramFolders runningProgramFolders() {
    return programFolders(executableFolder(), userConfigFolder());
}

ProgramFolders portableFolders(const QString& appDir) {
    return ProgramFolders{appDir, appDir, QString()};
}

QString shippedFile(const ProgramFolders& folders, const QString& name) {
    const QString beside = joinPath(folders.appDir, name);
    if (!folders.installed() || isPlainFile(beside))
        return beside;
    const QString installed = joinPath(folders.dataDir, name);
    return isPlainFile(installed) ? installed : beside;
}

#ifdef Q_OS_WIN

FileError makeFolder(const QString& folder) {
    if (QFileInfo(folder).isDir())
        return FileError::none();
    errno = 0;
    if (QDir().mkpath(folder))
        return FileError::none();
    // mkpath leaves the failing mkdir's errno behind; a plain file in the way can end up as EEXIST.
    const int err = errno == 0 || errno == EEXIST ? ENOTDIR : errno;
    return FileError::fromErrno(err, folder);
}

#else

// Each folder on the way is made from the top down, by its exact bytes.
FileError makeFolder(const QString& folder) {
    if (isFolder(folder))
        return FileError::none();
    const QByteArray path = encodeFileName(folder);
    for (qsizetype end = path.indexOf('/', 1);; end = path.indexOf('/', end + 1)) {
        const QByteArray step = end < 0 ? path : path.left(end);
        if (::mkdir(step.constData(), 0777) != 0) {
            const int err = errno;
            struct stat info {};
            if (err != EEXIST)
                return FileError::fromErrno(err, folder);
            if (::stat(step.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
                return FileError::fromErrno(ENOTDIR, folder);
        }
        if (end < 0)
            return FileError::none();
    }
}

#endif

} // namespace zq2
