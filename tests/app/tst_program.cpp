// The program as a real process: a copy of the executable alone in a folder of its own starts, a
// second copy of it ends silently while the first runs on, and a termination request ends the
// first without any question. Its command line answers help and version without starting, and
// refuses anything else with the usage.
#include "app/singleinstance.h"
#include "app/termination.h"
#include "support/faults.h"
#include "support/tempfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using zq2::test::writeFile;

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

    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("expected"); // the start of standard output, or a line on standard error
        const QString usage = QStringLiteral("Usage: zq2org [options]\n");
        const QString version = QStringLiteral("zq2org " ZQ2_VERSION "\n");
        auto row = [](const char* tag, const QStringList& arguments, int exitCode, const QString& expected) {
            QTest::newRow(tag) << arguments << exitCode << expected;
        };
        row("--help", {"--help"}, 0, usage);
        row("--help after a mistake", {"--bogus", "--help"}, 0, usage);
        row("-v", {"-v"}, 0, version);
        row("unknown option", {"--bogus"}, 2, "Unknown option 'bogus'.");
        row("argument", {"a.z2l"}, 2, "Unexpected argument 'a.z2l'.");
    }
    // Help and version run without any display, so that bringing up the toolkit, let alone a window,
    // would end the program with an error; a mistake ends it at once with the usage on standard error,
    // where a program that went on would show its splash window and wait at the Settings dialog.
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, expected);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        if (exitCode != 0)
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(ZQ2ORG_PATH), arguments);
        QVERIFY(program.waitForFinished(15000));
        const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(program.readAllStandardError());
        QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == exitCode,
                 qPrintable(err));
        if (exitCode == 0)
            QVERIFY2(out.startsWith(expected), qPrintable(out));
        else
            QVERIFY2(out.isEmpty() && err.contains(expected) && err.contains("Usage: zq2org [options]\n"),
                     qPrintable(out + err));
    }

    // One copy per program file: a second copy of the same file is refused, one installed elsewhere is
    // not, and a lock that cannot be made at all says nothing about other copies, so the program starts.
    void lockIsPerProgramFile() {
        QTemporaryDir lockDir;
        const QString exe = QStringLiteral("/some/folder/zq2org");
        zq2::SingleInstance first(exe, lockDir.path()), second(exe, lockDir.path());
        QVERIFY(first.tryAcquire());
        QVERIFY(!second.tryAcquire());
        QVERIFY(zq2::SingleInstance(QStringLiteral("/another/folder/zq2org"), lockDir.path()).tryAcquire());
        QVERIFY(zq2::SingleInstance(exe, lockDir.filePath(QStringLiteral("missing/folder"))).tryAcquire());
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
