#include "platform/process.h"

#include "platform/paths.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <cerrno>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace zq2 {

std::optional<LaunchRequest> seeFileLaunch(const QString& seeFileCaption, const QString& selectedName,
                                           const QString& gameDir) {
    if (seeFileCaption.compare(QLatin1String("Play"), Qt::CaseInsensitive) == 0)
        return std::nullopt;
    if (selectedName.isEmpty())
        return std::nullopt;
    const QStringView head = QStringView(seeFileCaption).left(4);
    if (head.compare(QLatin1String("Play"), Qt::CaseInsensitive) == 0)
        return LaunchRequest{joinPath(gameDir, QStringLiteral("Zeno2.exe")), {selectedName}, false};
    if (head.compare(QLatin1String("Laun"), Qt::CaseInsensitive) == 0)
        return LaunchRequest{joinPath(gameDir, QStringLiteral("ZLE.exe")), {}, true};
    return std::nullopt;
}

FileError startDetached(const LaunchRequest& request) {
    QString program = request.program;
    QFileInfo info(program);
    if (!info.exists()) {
        const std::optional<QString> found = findFileIgnoringCase(info.path(), info.fileName());
        if (!found)
            return FileError::fromErrno(ENOENT, request.program);
        program = *found;
        info = QFileInfo(program);
    }
    if (info.isDir())
        return FileError::fromErrno(EISDIR, request.program);

    QStringList arguments = request.arguments;
#ifndef Q_OS_WIN
    const QString wine = program.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)
                             ? QStandardPaths::findExecutable(QStringLiteral("wine"))
                             : QString();
    if (!wine.isEmpty()) {
        // Through wine's own start command a program can be asked to open maximised. Left to itself,
        // start runs a program given by its Unix path in that program's own folder; "/d ." runs it in
        // the folder start was started in, this program's current folder, just as a program that wine
        // runs directly inherits it. /d takes a Windows path: the relative "." leaves it to wine to
        // translate the folder, where an absolute Unix path would be read as one on wine's current drive.
        if (request.maximized)
            arguments = QStringList{QStringLiteral("start"), QStringLiteral("/d"),    QStringLiteral("."),
                                    QStringLiteral("/max"),  QStringLiteral("/unix"), program} +
                        arguments;
        else
            arguments.prepend(program);
        program = wine;
    } else if (!info.isExecutable()) {
        return FileError::fromErrno(EACCES, request.program);
    }
#endif

    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
#ifdef Q_OS_WIN
    if (request.maximized) {
        process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* args) {
            args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
            args->startupInfo->wShowWindow = SW_SHOWMAXIMIZED;
        });
    }
#endif
    // No working folder is set: the started program runs in this program's current folder.
    if (!process.startDetached())
        return FileError::fromErrno(ENOEXEC, request.program);
    return FileError::none();
}

} // namespace zq2
