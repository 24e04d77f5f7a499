#include "platform/programfolders.h"

#include "platform/paths.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

namespace zq2 {

QString dataDirFromAppDir() {
    return QStringLiteral(ZQ2_DATA_DIR_FROM_BIN);
}

ProgramFolders programFolders(const QString& appDir, const QString& userConfigDir) {
    const QString dataDir = QDir::cleanPath(joinPath(appDir, dataDirFromAppDir()));
    if (!QFileInfo(dataDir).isDir())
        return portableFolders(appDir);
    return ProgramFolders{appDir, userConfigDir, dataDir};
}

ProgramFolders portableFolders(const QString& appDir) {
    return ProgramFolders{appDir, appDir, QString()};
}

QString shippedFile(const ProgramFolders& folders, const QString& name) {
    const QString beside = joinPath(folders.appDir, name);
    if (!folders.installed() || QFileInfo(beside).isFile())
        return beside;
    const QString installed = joinPath(folders.dataDir, name);
    return QFileInfo(installed).isFile() ? installed : beside;
}

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

} // namespace zq2
