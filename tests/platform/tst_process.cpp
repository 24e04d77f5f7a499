#include "platform/filenames.h"
#include "platform/process.h"
#include "support/tempfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>

using namespace zq2;

class TestProcess : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("PATH", "/nonexistent"); } // no wine: a *.exe starts like any program

    // What the play button starts, as "program|arguments...|window"; empty for nothing.
    void seeFileLaunchByCaption_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("launch");
        QTest::newRow("nothing shown yet") << "PLAY" << QString("c.z2l") << QString();
        QTest::newRow("no selection") << "Play c.z2l" << QString() << QString();
        QTest::newRow("play") << "play c.z2l" << QString("c.z2l") << "/zq 2/Zeno2.exe|c.z2l|normal";
        QTest::newRow("launch the editor") << "LAUNCH ZLE" << QString("t.z2t") << "/zq 2/ZLE.exe|maximized";
        QTest::newRow("other caption") << "Plan c.z2l" << QString("c.z2l") << QString();
    }
    void seeFileLaunchByCaption() {
        QFETCH(QString, caption);
        QFETCH(QString, selected);
        QFETCH(QString, launch);
        const auto request = seeFileLaunch(caption, selected, "/zq 2");
        QStringList got;
        if (request)
            got << request->program << request->arguments << (request->maximized ? "maximized" : "normal");
        QCOMPARE(got.join('|'), launch);
    }

    // Where wine is on the PATH it starts the game's programs; the editor is asked for maximised. Both
    // run in this program's current folder: wine is started there, and the editor, which wine's start
    // command would otherwise run in its own folder, is sent to that folder by its relative name.
    void windowsProgramsStartThroughWine_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("arguments");
        QTest::newRow("play") << QString("Play c.z2l") << QString("%1/Zeno2.exe|c.z2l|");
        QTest::newRow("launch the editor")
            << QString("Launch ZLE") << QString("start|/d|.|/max|/unix|%1/ZLE.exe|");
    }
    void windowsProgramsStartThroughWine() {
        QFETCH(QString, caption);
        QFETCH(QString, arguments);
        QTemporaryDir bin, game, current;
        zq2::test::writeFile(
            bin.path(), "wine",
            "#!/bin/sh\nprintf '%s|' \"$@\" \"$(pwd -P)\" > \"$0.tmp\"\n/bin/mv \"$0.tmp\" \"$0.args\"\n");
        ::chmod(qPrintable(bin.filePath("wine")), 0700);
        zq2::test::writeFile(game.path(), "Zeno2.exe");
        zq2::test::writeFile(game.path(), "ZLE.exe");
        QVERIFY(QDir::setCurrent(current.path()));
        qputenv("PATH", QFile::encodeName(bin.path()) + ":/usr/bin:/bin");
        const FileError error = startDetached(*seeFileLaunch(caption, "c.z2l", game.path()));
        qputenv("PATH", "/nonexistent");
        QCOMPARE(error.code, 0);
        QTRY_COMPARE(QString::fromLocal8Bit(zq2::test::readFile(bin.filePath("wine.args"))),
                     arguments.arg(game.path()) + QDir::current().canonicalPath() + '|');
    }

    // The game is a script in a folder with spaces and a byte that is not UTF-8 in its name. It
    // records its arguments, one a line, then the folder it runs in, and renames the record into
    // place when done so that it is never read half written.
    void startDetachedPassesArgumentsAsGiven_data() {
        QTest::addColumn<QString>("program"); // the file in the game folder
        QTest::addColumn<QString>("level");
        QTest::addColumn<int>("code");
        QTest::newRow("space") << "Zeno2.exe" << QString("my level.z2l") << 0;
        QTest::newRow("shell characters") << "Zeno2.exe" << QString("a;rm -rf ~.z2l") << 0;
        QTest::newRow("looks like an option") << "Zeno2.exe" << QString("-x.z2l") << 0;
        QTest::newRow("Latin-1 byte") << "Zeno2.exe" << decodeFileName("caf\xE9.z2l") << 0;
        QTest::newRow("lone 0xFF") << "Zeno2.exe" << decodeFileName("\xFF.z2l") << 0;
        QTest::newRow("U+FFFD spelled out") << "Zeno2.exe" << decodeFileName("caf\xEF\xBF\xBD.z2l") << 0;
        QTest::newRow("program in other letter case") << "ZENO2.EXE" << QString("c.z2l") << 0;
        QTest::newRow("missing program") << "Other.exe" << QString("c.z2l") << ENOENT;
        QTest::newRow("not executable") << "Zeno2.exe" << QString("c.z2l") << EACCES;
    }
    void startDetachedPassesArgumentsAsGiven() {
        QFETCH(QString, program);
        QFETCH(QString, level);
        QFETCH(int, code);
        zq2::test::TempDir root;
        QTemporaryDir current;
        const QString game = root.filePath(decodeFileName("Zeno Quillback 2 \xE9t\xE9")),
                      record = current.filePath("record");
        zq2::test::writeFile(
            game, program, "#!/bin/sh\nprintf '%s\\n' \"$@\" \"$(pwd -P)\" > r.tmp\n/bin/mv r.tmp record\n");
        ::chmod(encodeFileName(game + '/' + program).constData(), code == EACCES ? 0600 : 0700);
        QVERIFY(QDir::setCurrent(current.path()));
        const auto request = seeFileLaunch("Play " + level, level, game);
        QVERIFY(request);
        const FileError error = startDetached(*request);
        QCOMPARE(error.code, code);
        QCOMPARE(error.path, code != 0 ? request->program : QString());
        if (code == 0) { // the record lands in the folder the program ran in
            QTRY_VERIFY(QFile::exists(record));
            QCOMPARE(zq2::test::readFile(record), encodeFileName(level + '\n' + QDir::currentPath() + '\n'));
        }
    }
};

QTEST_GUILESS_MAIN(TestProcess)
#include "tst_process.moc"
