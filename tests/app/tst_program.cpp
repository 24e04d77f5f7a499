// The program as a real process: a copy of the executable alone in a folder of its own starts, a
// second copy of it ends silently while the first runs on, and a termination request ends the
// first without any question. Files named on the command line reach the game folder, through the
// copy that runs already when there is one. Its command line answers help and version without
// starting, and refuses anything else with the usage, with or without a display. The hand-over's
// two ends, and the private folder they meet in, are tested here too.
#include "app/handover.h"
#include "app/singleinstance.h"
#include "app/termination.h"
#include "platform/filenames.h"
#include "support/faults.h"
#include "support/tempfiles.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <chrono>
#include <csignal>
#include <cstring>
#include <future>
#include <optional>

using zq2::test::readFile;
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using zq2::decodeFileName;
using zq2::test::folderEntries;
using zq2::test::writeFile;

namespace {

QProcessEnvironment offscreenEnvironment(const QString& runtimeDir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    return env;
}

// A socket file that nothing listens at, as a copy that crashed leaves behind.
bool makeStaleSocket(const QString& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = QFile::encodeName(path);
    if (bytes.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, bytes.constData(), bytes.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    return bound;
}

// Runs `work` with the environment variables set as given (a null value unsets one), then puts
// them back as they were.
template <typename Work>
auto withEnvironment(const QList<std::pair<const char*, QByteArray>>& variables, Work work) {
    QList<std::optional<QByteArray>> saved;
    for (const auto& [name, value] : variables) {
        saved << (qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    const auto result = work();
    for (qsizetype i = 0; i < variables.size(); ++i)
        saved[i] ? qputenv(variables[i].first, *saved[i]) : qunsetenv(variables[i].first);
    return result;
}

} // namespace

class TestProgram : public QObject {
    Q_OBJECT
private slots:
    // A burst of termination requests neither blocks the signal handler on a full socket nor is lost,
    // and a program started from here does not inherit the socket pair they travel through.
    void terminationRequestsNeitherBlockNorLeak() {
        int requests = 0;
        zq2::TerminationWatcher watcher;
        connect(&watcher, &zq2::TerminationWatcher::terminationRequested, this, [&requests] { ++requests; });
        {
            const zq2::test::HangGuard guard;
            for (int i = 0; i < 100000; ++i)
                ::raise(SIGTERM);
        }
        QTRY_VERIFY(requests > 0);

        QProcess child;
        child.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("ls -l /proc/$$/fd")});
        QVERIFY(child.waitForFinished());
        const QByteArray descriptors = child.readAllStandardOutput();
        QVERIFY2(descriptors.contains("pipe:") && !descriptors.contains("socket:"), descriptors.constData());
    }

    void secondCopyEndsSilentlyAndFirstRunsOn() {
        QTemporaryDir appDir, gameDir, runtimeDir;
        QFile::setPermissions(runtimeDir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString exe = appDir.filePath(QStringLiteral("zq2org"));
        QVERIFY(QFile::copy(QStringLiteral(ZQ2ORG_PATH), exe));
        writeFile(appDir.path(), QStringLiteral("settings.ini"), gameDir.path().toLocal8Bit() + "\r\nD:");
        // 300 levels: the quit question would be asked on a close by the user, but not on termination.
        for (int i = 0; i < 300; ++i)
            writeFile(gameDir.path(), QStringLiteral("l%1.z2l").arg(i));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir.path());

        QProcess first;
        first.setProcessEnvironment(env);
        // The toolkit's own options are its to take: "-reverse" is not "-v" and friends.
        first.start(exe,
                    {QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("-reverse")});
        QVERIFY(first.waitForStarted());
        const QString lock = zq2::SingleInstance(exe, runtimeDir.path()).lockPath();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lock), 15000);

        QProcess second;
        second.setProcessEnvironment(env);
        second.start(exe, {});
        QVERIFY(second.waitForFinished(15000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);
        // Nothing was written by either copy.
        QCOMPARE(QDir(appDir.path()).entryList(QDir::Files, QDir::Name),
                 QStringList({"settings.ini", "zq2org"}));

        ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
        QVERIFY(first.waitForFinished(15000));
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.exitCode(), 0);
    }

    // Files named on the command line go into the game folder with their exact bytes, whether this
    // copy is the first (a socket file left by a crash does not stop it) or one runs already, which
    // then adds them while this copy ends at once with status 0. Either way the copy that runs
    // afterwards takes the files of the next copy.
    void filesOnTheCommandLine_data() {
        QTest::addColumn<bool>("running");
        QTest::addColumn<bool>("staleSocket");
        QTest::newRow("no running copy") << false << false;
        QTest::newRow("stale socket") << false << true;
        QTest::newRow("running copy") << true << false;
    }
    void filesOnTheCommandLine() {
        QFETCH(bool, running);
        QFETCH(bool, staleSocket);
        QTemporaryDir appDir, runtimeDir;
        zq2::test::TempDir downloads, gameDir;
        QFile::setPermissions(runtimeDir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString exe = appDir.filePath(QStringLiteral("zq2org"));
        QVERIFY(QFile::copy(QStringLiteral(ZQ2ORG_PATH), exe));
        writeFile(appDir.path(), QStringLiteral("settings.ini"), gameDir.path().toLocal8Bit() + "\r\nD:");
        writeFile(downloads.path(), QStringLiteral("a.z2l"), "level a");
        writeFile(downloads.path(), decodeFileName("caf\xE9.z2t"), "tileset");
        writeFile(downloads.path(), QStringLiteral("b.z2b"), "music");
        const QString socket = zq2::SingleInstance(exe, runtimeDir.path()).socketPath();
        if (staleSocket)
            QVERIFY(makeStaleSocket(socket));
        const QProcessEnvironment env = offscreenEnvironment(runtimeDir.path());

        QProcess first;
        first.setProcessEnvironment(env);
        if (running) {
            first.start(exe, {});
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socket), 15000);
        }
        // The shell hands over a name that is not UTF-8, relative to the downloads folder.
        QProcess copy;
        copy.setProcessEnvironment(env);
        copy.setWorkingDirectory(downloads.path());
        copy.start(QStringLiteral("/bin/sh"),
                   {QStringLiteral("-c"), QStringLiteral("exec \"$0\" \"$@\" \"$(printf 'caf\\351.z2t')\""),
                    exe, QStringLiteral("a.z2l")});
        QProcess* runningCopy = running ? &first : &copy;
        if (running) {
            QVERIFY(copy.waitForFinished(15000));
            QCOMPARE(copy.exitStatus(), QProcess::NormalExit);
            QCOMPARE(copy.exitCode(), 0);
        }
        const QStringList added{"a.z2l=level a", decodeFileName("caf\xE9.z2t=tileset")};
        QTRY_COMPARE_WITH_TIMEOUT(folderEntries(gameDir.path()), added, 15000);

        QProcess later;
        later.setProcessEnvironment(env);
        later.start(exe, {downloads.filePath(QStringLiteral("b.z2b"))});
        QVERIFY(later.waitForFinished(15000));
        QCOMPARE(later.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(folderEntries(gameDir.path()),
                                  QStringList({added[0], "b.z2b=music", added[1]}), 15000);
        QCOMPARE(runningCopy->state(), QProcess::Running);

        ::kill(static_cast<pid_t>(runningCopy->processId()), SIGTERM);
        QVERIFY(runningCopy->waitForFinished(15000));
        QCOMPARE(runningCopy->exitCode(), 0);
    }

    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("display");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("expected"); // the start of standard output, or a line on standard error
        const QString usage = QStringLiteral("Usage: zq2org [options] [FILE...]\n");
        const QString version = QStringLiteral("zq2org " ZQ2_VERSION "\n");
        auto row = [](const char* tag, const QStringList& arguments, bool display, int exitCode,
                      const QString& expected) {
            QTest::newRow(tag) << arguments << display << exitCode << expected;
        };
        row("--help", {"--help"}, false, 0, usage);
        row("--help after a mistake", {"--bogus", "--help"}, false, 0, usage);
        row("-v", {"-v"}, false, 0, version);
        row("unknown option", {"--bogus"}, false, 2, "Unknown option 'bogus'.");
        row("unknown option, with a display", {"--bogus"}, true, 2, "Unknown option 'bogus'.");
        row("missing file", {"a.z2l"}, false, 2, "No such file 'a.z2l'.");
        row("missing file after the toolkit's options", {"-platform", "offscreen", "-reverse", "a.z2l"}, true,
            2, "No such file 'a.z2l'.");
        row("device", {"/dev/null"}, true, 2, "'/dev/null' is not a plain file.");
    }
    // Without a display, bringing up the toolkit, let alone a window, would end the program with an
    // error; a mistake ends it at once with the usage on standard error, where a program that went
    // on would show its splash window and wait at the Settings dialog.
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, display);
        QFETCH(int, exitCode);
        QFETCH(QString, expected);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        if (display)
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QTemporaryDir current; // where "a.z2l" is missing
        QProcess program;
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(current.path());
        program.start(QStringLiteral(ZQ2ORG_PATH), arguments);
        QVERIFY(program.waitForFinished(15000));
        const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(program.readAllStandardError());
        QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == exitCode,
                 qPrintable(err));
        if (exitCode == 0)
            QVERIFY2(out.startsWith(expected), qPrintable(out));
        else
            QVERIFY2(out.isEmpty() && err.contains(expected) &&
                         err.contains("Usage: zq2org [options] [FILE...]\n"),
                     qPrintable(out + err));
    }

    // The sender's view of the running copy: it takes every path with its exact bytes however long
    // the message, or it is busy (a question open) until the time runs out, or it hangs without an
    // answer, or it answers only after the sender has given up, or nothing listens at a socket left
    // by a crash. Only files whose sender counts them as taken are passed on.
    void handOver_data() {
        QTest::addColumn<QString>("receiver"); // "taking", "busy", "slow", "silent" or "none"
        QTest::addColumn<int>("result");
        QTest::newRow("taken") << "taking" << int(zq2::HandOverResult::Taken);
        QTest::newRow("question open") << "busy" << int(zq2::HandOverResult::Busy);
        QTest::newRow("answer after the sender gave up") << "slow" << int(zq2::HandOverResult::NoAnswer);
        QTest::newRow("hanging") << "silent" << int(zq2::HandOverResult::NoAnswer);
        QTest::newRow("stale socket") << "none" << int(zq2::HandOverResult::Unreachable);
    }
    void handOver() {
        QFETCH(QString, receiver);
        QFETCH(int, result);
        QTemporaryDir runtimeDir;
        const QString socket = runtimeDir.filePath(QStringLiteral("s"));
        // A slow receiver looks at the files only after the sender's half second is over.
        zq2::HandOverServer server([&receiver] {
            if (receiver == "slow")
                QThread::msleep(1500);
            return receiver == "busy";
        });
        QLocalServer silent;
        if (receiver == "taking" || receiver == "busy" || receiver == "slow")
            QVERIFY(server.listen(socket));
        else if (receiver == "silent")
            QVERIFY(silent.listen(socket));
        else
            QVERIFY(makeStaleSocket(socket));
        QSignalSpy arrived(&server, &zq2::HandOverServer::filesArrived);
        // As many files as a file manager may pass, one of them named with bytes that are not UTF-8.
        QStringList paths;
        for (int i = 0; i < 10000; ++i)
            paths << QStringLiteral("/home/player/Downloads/level %1.z2l").arg(i);
        paths[5000] = decodeFileName("/home/player/caf\xE9/\xFF.z2l");

        auto sent =
            std::async(std::launch::async, [&] { return zq2::handOverFiles(socket, paths, "token", 500); });
        QTRY_VERIFY_WITH_TIMEOUT(sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready, 15000);
        QCOMPARE(int(sent.get()), result);
        if (receiver != "taking") {
            QTest::qWait(200); // time enough for files passed on by mistake to show
            QCOMPARE(arrived.size(), 0);
            return;
        }
        QTRY_COMPARE(arrived.size(), 1);
        QCOMPARE(arrived[0][0].toStringList(), paths);
        QCOMPARE(arrived[0][1].toByteArray(), QByteArray("token"));
    }

    // The lock and the socket live only in a folder of this user's that no one else may enter: the
    // runtime folder when it is such a folder, else zq2org-<uid> in the temporary folder, made
    // private when missing and never used when someone else made it or may write in it.
    void runtimeFolder_data() {
        QTest::addColumn<QString>("runtime");  // "private", "open" (0755), "file" or "unset"
        QTest::addColumn<QString>("fallback"); // "missing", "open" (0777) or "foreign" (another user's)
        QTest::addColumn<QString>("expected"); // "runtime", "fallback" or "none"
        QTest::newRow("private runtime folder") << "private"
                                                << "missing"
                                                << "runtime";
        QTest::newRow("runtime folder others may enter") << "open"
                                                         << "missing"
                                                         << "fallback";
        QTest::newRow("runtime folder is a file") << "file"
                                                  << "missing"
                                                  << "fallback";
        QTest::newRow("no runtime folder") << "unset"
                                           << "missing"
                                           << "fallback";
        QTest::newRow("fallback others may write in") << "unset"
                                                      << "open"
                                                      << "none";
        QTest::newRow("fallback made by another user") << "unset"
                                                       << "foreign"
                                                       << "none";
    }
    void runtimeFolder() {
        QFETCH(QString, runtime);
        QFETCH(QString, fallback);
        QFETCH(QString, expected);
        QTemporaryDir temp;
        const QString runtimePath = temp.filePath(QStringLiteral("run"));
        const QString fallbackPath = temp.filePath(QStringLiteral("tmp/zq2org-%1").arg(::geteuid()));
        QVERIFY(QDir().mkpath(temp.filePath(QStringLiteral("tmp"))));
        if (runtime == "file")
            writeFile(temp.path(), QStringLiteral("run"));
        else if (runtime != "unset")
            QVERIFY(QDir().mkdir(runtimePath) &&
                    ::chmod(QFile::encodeName(runtimePath), runtime == "open" ? 0755 : 0700) == 0);
        if (fallback != "missing")
            QVERIFY(QDir().mkdir(fallbackPath) &&
                    ::chmod(QFile::encodeName(fallbackPath), fallback == "open" ? 0777 : 0700) == 0);
        if (fallback == "foreign" &&
            (::geteuid() != 0 || ::chown(QFile::encodeName(fallbackPath), 65534, 65534) != 0))
            QSKIP("giving a folder to another user needs root");

        const QString folder = withEnvironment(
            {{"XDG_RUNTIME_DIR", runtime == "unset" ? QByteArray() : QFile::encodeName(runtimePath)},
             {"TMPDIR", QFile::encodeName(temp.filePath(QStringLiteral("tmp")))}},
            [] { return zq2::SingleInstance::userRuntimeFolder(); });

        QCOMPARE(folder, expected == "runtime"    ? runtimePath
                         : expected == "fallback" ? fallbackPath
                                                  : QString());
        if (expected == "fallback") {
            struct stat info {};
            QVERIFY(::lstat(QFile::encodeName(folder), &info) == 0);
            QCOMPARE(info.st_mode & 0777, 0700u);
        }
    }

    // A lock file left by a copy that crashed does not keep the program from starting (else every start
    // after a crash would end silently); a live copy of the same program file still does, one installed
    // elsewhere does not, and a lock that cannot be made at all says nothing about other copies.
    void lockOfACrashedCopyDoesNotBlock() {
        QTemporaryDir lockDir;
        const QString exe = QStringLiteral("/some/folder/zq2org");
        zq2::SingleInstance probe(exe, lockDir.path());
        // The lock's own contents with the process id replaced by that of a process that has ended.
        QByteArray contents;
        {
            QLockFile real(probe.lockPath());
            QVERIFY(real.tryLock(0));
            contents = readFile(probe.lockPath());
        }
        QProcess gone;
        gone.start(QStringLiteral("sleep"), {QStringLiteral("0.2")});
        QVERIFY(gone.waitForStarted());
        const qint64 pid = gone.processId();
        QVERIFY(gone.waitForFinished());
        contents = QByteArray::number(pid) + contents.mid(contents.indexOf('\n'));
        writeFile(lockDir.path(), QFileInfo(probe.lockPath()).fileName(), contents);
        QVERIFY(probe.tryAcquire());
        QVERIFY(!zq2::SingleInstance(exe, lockDir.path()).tryAcquire());
        QVERIFY(zq2::SingleInstance(QStringLiteral("/another/folder/zq2org"), lockDir.path()).tryAcquire());
        QVERIFY(zq2::SingleInstance(exe, lockDir.filePath(QStringLiteral("missing/folder"))).tryAcquire());
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
