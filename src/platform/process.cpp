#include "platform/process.h"

#include "platform/filenames.h"
#include "platform/paths.h"

#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>

#ifdef Q_OS_WIN
#include <QProcess>
#include <qt_windows.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;
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

namespace {

#ifdef Q_OS_WIN

// Names are UTF-16 here, as QString holds them, so Qt's classes pass them on unchanged.

FileError start(const LaunchRequest& request, const QString& program) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(request.arguments);
    if (request.maximized) {
        process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* args) {
            args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
            args->startupInfo->wShowWindow = SW_SHOWMAXIMIZED;
        });
    }
    // No working folder is set: the started program runs in this program's current folder.
    if (!process.startDetached())
        return FileError::fromErrno(ENOEXEC, request.program);
    return FileError::none();
}

#else

bool isExecutable(const QString& path) {
    return ::access(encodeFileName(path).constData(), X_OK) == 0;
}

// Waiting for a started program to get going: the time until its exec, far less than this.
constexpr int kStartReportMs = 10000;
// A wait cut short by a signal is repeated, a bounded number of times.
constexpr int kInterruptedRetries = 100;

// Starts `program` with `arguments` and returns without waiting for it. The program and every
// argument are handed over as their exact bytes: QProcess would encode a level name that is not
// valid UTF-8 into the name of another file. A middle process starts the program and ends at once,
// so the program is not our child and leaves no zombie behind; the program's exec closes a pipe,
// through which a failing exec sends its reason instead.
FileError spawnDetached(const QString& program, const QStringList& arguments, const QString& asked) {
    QList<QByteArray> bytes{encodeFileName(program)};
    for (const QString& argument : arguments)
        bytes << encodeFileName(argument);
    // Everything the new processes use is made before the fork: between fork and exec only calls
    // that are safe in a copy of a multi-threaded process are made.
    std::vector<char*> argv;
    for (QByteArray& argument : bytes)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    char** const environment = environ;

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return FileError::fromErrno(errno, asked);
    const pid_t middle = ::fork();
    if (middle < 0) {
        const int err = errno;
        ::close(report[0]);
        ::close(report[1]);
        return FileError::fromErrno(err, asked);
    }
    if (middle == 0) {
        ::setsid();
        const pid_t child = ::fork();
        if (child == 0)
            ::execve(argv[0], argv.data(), environment);
        if (child > 0)
            ::_exit(0);
        const int err = errno;
        if (::write(report[1], &err, sizeof err) < 0)
            ::_exit(2);
        ::_exit(1);
    }

    ::close(report[1]);
    int err = 0;
    ssize_t got = -1;
    pollfd ready{report[0], POLLIN, 0};
    for (int attempt = 0; attempt < kInterruptedRetries; ++attempt) {
        const int polled = ::poll(&ready, 1, kStartReportMs);
        if (polled > 0)
            got = ::read(report[0], &err, sizeof err);
        if (polled == 0 || got >= 0 || errno != EINTR)
            break;
    }
    ::close(report[0]);
    for (int attempt = 0; attempt < kInterruptedRetries; ++attempt) {
        if (::waitpid(middle, nullptr, 0) >= 0 || errno != EINTR)
            break;
    }
    if (got == ssize_t(sizeof err) && err != 0)
        return FileError::fromErrno(err, asked);
    return FileError::none();
}

#endif

} // namespace

FileError startDetached(const LaunchRequest& request) {
    QString program = request.program;
    if (!existsFollowingLinks(program)) {
        const QFileInfo named(program); // only splits the path into folder and name
        const std::optional<QString> found = findFileIgnoringCase(named.path(), named.fileName());
        if (!found)
            return FileError::fromErrno(ENOENT, request.program);
        program = *found;
    }
    if (isFolder(program))
        return FileError::fromErrno(EISDIR, request.program);

#ifdef Q_OS_WIN
    return start(request, program);
#else
    QStringList arguments = request.arguments;
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
    } else if (!isExecutable(program)) {
        return FileError::fromErrno(EACCES, request.program);
    }
    // No working folder is set: the started program runs in this program's current folder.
    FileError error = spawnDetached(program, arguments, request.program);
    // The system cannot run a Windows program by itself; the user is told what would.
    if (error.code == ENOEXEC && wine.isEmpty() &&
        program.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        error.code = kWindowsProgramWithoutWine;
    return error;
#endif
}

} // namespace zq2
