#include "platform/filenames.h"
#include "platform/process.h"
#include "support/tempfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

using namespace zq2;

class TestProcess : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("PATH", "/nonexistent"); } // no wine: a *.exe starts like any program

    // What the play button starts, where wine is on the PATH: the game's programs through wine, the
    // editor asked for maximised. Both run in this program's current folder: wine is started there,
    // and the editor, which wine's start command would otherwise run in its own folder, is sent to
    // that folder by its relative name.
    void seeFileStartsThroughWine_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("arguments"); // given to wine, %1 the game folder; empty: nothing starts
        QTest::newRow("nothing shown yet") << "PLAY"
                                           << "c.z2l"
                                           << "";
        QTest::newRow("no selection") << "Play c.z2l"
                                      << ""
                                      << "";
        QTest::newRow("other caption") << "Plan c.z2l"
                                       << "c.z2l"
                                       << "";
        QTest::newRow("play") << "play c.z2l"
                              << "c.z2l"
                              << "%1/Zeno2.exe|c.z2l|";
        QTest::newRow("launch the editor") << "LAUNCH ZLE"
                                           << "t.z2t"
                                           << "start|/d|.|/max|/unix|%1/ZLE.exe|";
    }
    void seeFileStartsThroughWine() {
        QFETCH(QString, caption);
        QFETCH(QString, selected);
        QFETCH(QString, arguments);
        QTemporaryDir bin, game, current;
        zq2::test::writeRecorder(bin.path(), "wine");
        zq2::test::writeFile(game.path(), "Zeno2.exe");
        zq2::test::writeFile(game.path(), "ZLE.exe");
        const auto request = seeFileLaunch(caption, selected, game.path());
        QCOMPARE(request.has_value(), !arguments.isEmpty());
        if (!request)
            return;
        QVERIFY(QDir::setCurrent(current.path()));
        qputenv("PATH", QFile::encodeName(bin.path()) + ":/usr/bin:/bin");
        const FileError error = startDetached(*request);
        qputenv("PATH", "/nonexistent");
        QCOMPARE(error.code, 0);
        QTRY_COMPARE(QString::fromLocal8Bit(zq2::test::readFile(bin.filePath("wine.args"))),
                     arguments.arg(game.path()) + QDir::current().canonicalPath() + '|');
    }

    // The game is a script in a folder with spaces and a byte that is not UTF-8 in its name, recording
    // its arguments and the folder it runs in.
    void startDetachedPassesArgumentsAsGiven_data() {
        QTest::addColumn<QString>("program"); // the file in the game folder
        QTest::addColumn<QString>("level");
        QTest::addColumn<int>("code");
        QTest::newRow("shell characters") << "Zeno2.exe" << QString("a;rm -rf ~.z2l") << 0;
        QTest::newRow("looks like an option") << "Zeno2.exe" << QString("-x.z2l") << 0;
        QTest::newRow("Latin-1 byte") << "Zeno2.exe" << decodeFileName("caf\xE9.z2l") << 0;
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
        const QString game = root.filePath(decodeFileName("Zeno Quillback 2 \xE9t\xE9"));
        zq2::test::writeRecorder(game, program, code != EACCES);
        QVERIFY(QDir::setCurrent(current.path()));
        const auto request = seeFileLaunch("Play " + level, level, game);
        QVERIFY(request);
        const FileError error = startDetached(*request);
        QCOMPARE(error.code, code);
        QCOMPARE(error.path, code != 0 ? request->program : QString());
        if (code == 0)
            QTRY_COMPARE(zq2::test::readFile(game + '/' + program + ".args"),
                         encodeFileName(level + '|' + QDir::current().canonicalPath() + '|'));
    }
};

QTEST_GUILESS_MAIN(TestProcess)
#include "tst_process.moc"
