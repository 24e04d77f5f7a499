// The program as a real process: a copy of the executable alone in a folder of its own starts, a
// second copy of it ends silently while the first runs on, and a termination request ends the
// first without any question.
#include "app/singleinstance.h"
#include "support/tempfiles.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using zq2::test::readFile;
using zq2::test::writeFile;

class TestProgram : public QObject {
    Q_OBJECT
private slots:
    void secondCopyEndsSilentlyAndFirstRunsOn() {
        QTemporaryDir appDir, gameDir, runtimeDir;
        QFile::setPermissions(runtimeDir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString exe = appDir.filePath(QStringLiteral("zq2org"));
        QVERIFY(QFile::copy(QStringLiteral(ZQ2ORG_PATH), exe));
        writeFile(gameDir.path(), QStringLiteral("a.z2l"));
        writeFile(appDir.path(), QStringLiteral("settings.ini"), gameDir.path().toLocal8Bit() + "\r\nD:");
        // 300 levels: the quit question would be asked on a close by the user, but not on termination.
        for (int i = 0; i < 300; ++i)
            writeFile(gameDir.path(), QStringLiteral("l%1.z2l").arg(i));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir.path());

        QProcess first;
        first.setProcessEnvironment(env);
        first.start(exe, {});
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

    void lockOfACrashedCopyDoesNotBlock() {
        QTemporaryDir lockDir;
        const QString exe = QStringLiteral("/some/folder/zq2org");
        zq2::SingleInstance probe(exe, lockDir.path());
        // A lock file whose owner process no longer exists, as a crashed copy leaves it: the lock's own
        // contents with the process id replaced by that of a process that has ended.
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
        zq2::SingleInstance other(exe, lockDir.path());
        QVERIFY(!other.tryAcquire());
        zq2::SingleInstance elsewhere(QStringLiteral("/another/folder/zq2org"), lockDir.path());
        QVERIFY(elsewhere.tryAcquire());
        // A lock that cannot be made at all says nothing about other copies: the program starts.
        QVERIFY(zq2::SingleInstance(exe, lockDir.filePath(QStringLiteral("missing/folder"))).tryAcquire());
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
