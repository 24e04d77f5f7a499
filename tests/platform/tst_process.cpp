#include "platform/process.h"
#include "support/tempfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

using namespace zq2;

class TestProcess : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void seeFileLaunchByCaption_data();
    void seeFileLaunchByCaption();
    void startDetachedPassesArgumentsUnchanged_data();
    void startDetachedPassesArgumentsUnchanged();
    void startDetachedFailures_data();
    void startDetachedFailures();

private:
    QByteArray savedPath_;
    QString savedCurrent_;
    QTemporaryDir emptyPath_;
};

void TestProcess::initTestCase() {
    // An empty PATH: no wine, so a *.exe is started directly like any other program.
    savedPath_ = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(emptyPath_.path()));
    savedCurrent_ = QDir::currentPath();
}

void TestProcess::cleanupTestCase() {
    qputenv("PATH", savedPath_);
    QDir::setCurrent(savedCurrent_);
}

void TestProcess::seeFileLaunchByCaption_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("program"); // empty: nothing starts
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("maximized");

    const QString game = QStringLiteral("/games/zq 2/Zeno2.exe");
    const QString zle = QStringLiteral("/games/zq 2/ZLE.exe");
    const QString level = QStringLiteral("cave.z2l");
    QTest::newRow("nothing shown yet") << "Play" << level << QString() << QStringList() << false;
    QTest::newRow("no selection") << "Play cave.z2l" << QString() << QString() << QStringList() << false;
    QTest::newRow("play the selected level")
        << "Play cave.z2l" << level << game << QStringList{level} << false;
    QTest::newRow("launch") << "Launch ZLE" << QStringLiteral("tiles.z2t") << zle << QStringList() << true;
    QTest::newRow("other caption") << "Plan" << level << QString() << QStringList() << false;
}

void TestProcess::seeFileLaunchByCaption() {
    QFETCH(QString, caption);
    QFETCH(QString, selected);
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(bool, maximized);
    const auto request = seeFileLaunch(caption, selected, QStringLiteral("/games/zq 2"));
    QCOMPARE(request.has_value(), !program.isEmpty());
    if (!request)
        return;
    QCOMPARE(QDir::fromNativeSeparators(request->program), program);
    QCOMPARE(request->arguments, arguments);
    QCOMPARE(request->maximized, maximized);
}

void TestProcess::startDetachedPassesArgumentsUnchanged_data() {
    QTest::addColumn<QString>("gameFolderName");
    QTest::addColumn<QString>("programName");
    QTest::addColumn<QString>("level");
    QTest::newRow("folder with spaces") << "Zeno Quillback 2"
                                        << "Zeno2.exe"
                                        << "my level.z2l";
    QTest::newRow("shell characters") << "zq2"
                                      << "Zeno2.exe"
                                      << "a;rm -rf ~.z2l";
    QTest::newRow("looks like an option") << "zq2"
                                          << "Zeno2.exe"
                                          << "-x.z2l";
}

void TestProcess::startDetachedPassesArgumentsUnchanged() {
    QFETCH(QString, gameFolderName);
    QFETCH(QString, programName);
    QFETCH(QString, level);

    QTemporaryDir root;
    QTemporaryDir current;
    const QString game = root.filePath(gameFolderName);
    const QString record = root.filePath(QStringLiteral("record.txt"));
    // Records its arguments one per line, then the folder it runs in; written to a side file and
    // renamed so that the test never reads half of it.
    const QByteArray script = "#!/bin/sh\n"
                              "out='" +
                              QFile::encodeName(record) +
                              "'\n"
                              "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$out.tmp\"\n"
                              "pwd >> \"$out.tmp\"\n"
                              "/bin/mv \"$out.tmp\" \"$out\"\n";
    zq2::test::writeFile(game, programName, script);
    QVERIFY(QFile::setPermissions(game + QLatin1Char('/') + programName,
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    QVERIFY(QDir::setCurrent(current.path()));

    const auto request = seeFileLaunch(QStringLiteral("Play ") + level, level, game);
    QVERIFY(request);
    const FileError error = startDetached(*request);
    QVERIFY2(error.ok(), qPrintable(error.reason()));
    QTRY_VERIFY(QFile::exists(record));
    const QStringList lines = QString::fromLocal8Bit(zq2::test::readFile(record)).split(QLatin1Char('\n'));
    QCOMPARE(lines, (QStringList{level, QDir(current.path()).canonicalPath(), QString()}));
}

void TestProcess::startDetachedFailures_data() {
    QTest::addColumn<bool>("present"); // a ZLE.exe without the right to run it
    QTest::addColumn<int>("code");
    QTest::newRow("missing program") << false << ENOENT;
    QTest::newRow("not executable") << true << EACCES;
}

void TestProcess::startDetachedFailures() {
    QFETCH(bool, present);
    QFETCH(int, code);
    QTemporaryDir game;
    if (present)
        zq2::test::writeFile(game.path(), QStringLiteral("ZLE.exe"), "#!/bin/sh\n");
    const auto request = seeFileLaunch(QStringLiteral("Launch ZLE"), QStringLiteral("t.z2t"), game.path());
    QVERIFY(request);
    const FileError error = startDetached(*request);
    QCOMPARE(error.code, code);
    QCOMPARE(error.path, request->program);
}

QTEST_GUILESS_MAIN(TestProcess)
#include "tst_process.moc"
