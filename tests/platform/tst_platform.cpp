// The platform layer: file names held as their bytes, the URI lists of drops, and starting programs.
#include "platform/filenames.h"
#include "platform/process.h"
#include "platform/urilist.h"
#include "support/tempfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

using namespace zq2;
using namespace Qt::StringLiterals;

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    // A name's bytes, the text the program holds it as (an undecodable byte b as U+DC00 + b), that
    // text with letter case folded, and the text shown for it.
    void decodeEncodeDisplay_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("held");
        QTest::addColumn<QString>("folded");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* tag, const QByteArray& bytes, QStringView held, QStringView folded,
                            QStringView shown) {
            QTest::newRow(tag) << bytes << held.toString() << folded.toString() << shown.toString();
        };
        row("ASCII", "A b.Z2L", u"A b.Z2L", u"a b.z2l", u"A b.Z2L");
        row("UTF-8 of two, three and four bytes", "\xC3\x89\xE2\x82\xAC\xF0\x9F\x8E\xAE", u"É€🎮", u"é€🎮",
            u"É€🎮");
        row("U+FFFD spelled out", "CAF\xEF\xBF\xBD", u"CAF\xFFFD", u"caf\xFFFD", u"CAF\xFFFD");
        row("Latin-1 byte", "CAF\xE9.Z2L", u"CAF\xDCE9.Z2L", u"caf\xDCE9.z2l", u"CAF\xFFFD.Z2L");
        row("lone continuation byte first", "\x80\x41", u"\xDC80\x41", u"\xDC80\x61", u"\xFFFD\x41");
        row("cut short, before ASCII and at the end", "\xE2\x82Z\xE2\x82", u"\xDCE2\xDC82Z\xDCE2\xDC82",
            u"\xDCE2\xDC82z\xDCE2\xDC82", u"\xFFFD\xFFFDZ\xFFFD\xFFFD");
        // An overlong "/", an encoded surrogate and a code point above U+10FFFF: one escape per byte.
        row("ill-formed sequences", "\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80",
            u"\xDCC0\xDCAF\xDCED\xDCA0\xDC80\xDCF4\xDC90\xDC80\xDC80",
            u"\xDCC0\xDCAF\xDCED\xDCA0\xDC80\xDCF4\xDC90\xDC80\xDC80",
            QString(9, QChar::ReplacementCharacter));
        // U+10080 is the pair D800 DC80: its second half looks like an escape but belongs to the letter.
        row("escape after a letter of four bytes", "\xF0\x90\x82\x80\x80", u"\xD800\xDC80\xDC80",
            u"\xD800\xDC80\xDC80", u"\xD800\xDC80\xFFFD");
    }
    void decodeEncodeDisplay() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, held);
        QFETCH(QString, folded);
        QFETCH(QString, shown);
        QCOMPARE(decodeFileName(bytes), held);
        QCOMPARE(encodeFileName(held), bytes);
        QCOMPARE(foldFileName(held), folded);
        QCOMPARE(displayFileName(held), shown);
        QCOMPARE(encodeStoredPath(decodeStoredPath(bytes)), bytes);
    }

    // What a drag from another program carries, and the local paths taken from it.
    void localPathsFromUriList_data() {
        QTest::addColumn<QByteArray>("uriList");
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("three spellings of a local file, CR LF and LF")
            << QByteArray("file:///g/a.z2l\r\nFILE://localhost/g/b.z2l\nfile:/g/c.z2l\r\n")
            << QStringList{"/g/a.z2l", "/g/b.z2l", "/g/c.z2l"};
        QTest::newRow("comments, other hosts and schemes left out")
            << QByteArray("# a comment\r\nfile://server/g/a.z2l\r\nhttps://x/b.zip\r\n"
                          "file:x\r\nfile:///g/a%00/b\r\n")
            << QStringList{};
        QTest::newRow("percent-encoded bytes, UTF-8 or not")
            << QByteArray("file:///g/caf%C3%A9%20%25.z2l\r\nfile:///g/CAF%E9.Z2L\r\n")
            << QStringList{u"/g/café %.z2l"_s, u"/g/CAF\xDCE9.Z2L"_s};
        // A malformed escape is refused rather than guessed at, which could name another file.
        QTest::newRow("malformed escapes")
            << QByteArray("file:///g/%zz.z2l\r\nfile:///g/a%4.z2l\r\nfile:///g/b%\r\nfile:///g/ok%41.z2l\r\n")
            << QStringList{"/g/okA.z2l"};
    }
    void localPathsFromUriList() {
        QFETCH(QByteArray, uriList);
        QFETCH(QStringList, paths);
        QCOMPARE(zq2::localPathsFromUriList(uriList), paths);
        // What this program offers when an entry is dragged out reads back as the same paths.
        QCOMPARE(zq2::localPathsFromUriList(uriListOfPaths(paths)), paths);
    }

    void initTestCase() { qputenv("PATH", "/nonexistent"); } // no wine: a *.exe starts like any program

    // What the play button starts, where wine is on the PATH: the game's programs through wine, the
    // editor asked for maximised. Both run in this program's current folder: wine is started there,
    // and the editor, which wine's start command would otherwise run in its own folder, is sent to
    // that folder by its relative name.
    void seeFileStartsThroughWine_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("arguments"); // given to wine, %1 the game folder; empty: nothing starts
        const auto row = [](const char* tag, const char* caption, const char* selected,
                            const char* arguments) {
            QTest::newRow(tag) << QString(caption) << QString(selected) << QString(arguments);
        };
        row("nothing shown yet", "PLAY", "c.z2l", "");
        row("no selection", "Play c.z2l", "", "");
        row("other caption", "Plan c.z2l", "c.z2l", "");
        row("play", "play c.z2l", "c.z2l", "%1/Zeno2.exe|c.z2l|");
        row("launch the editor", "LAUNCH ZLE", "t.z2t", "start|/d|.|/max|/unix|%1/ZLE.exe|");
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
        QTest::newRow("Windows program without wine")
            << "Zeno2.exe" << QString("c.z2l") << zq2::kWindowsProgramWithoutWine;
    }
    void startDetachedPassesArgumentsAsGiven() {
        QFETCH(QString, program);
        QFETCH(QString, level);
        QFETCH(int, code);
        zq2::test::TempDir root;
        QTemporaryDir current;
        const QString game = root.filePath(decodeFileName("Zeno Quillback 2 \xE9t\xE9"));
        zq2::test::writeRecorder(game, program, code != EACCES);
        if (code == zq2::kWindowsProgramWithoutWine)
            zq2::test::writeFile(game, program, QByteArray("MZ\x90\0\3\0", 6)); // stays executable
        QVERIFY(QDir::setCurrent(current.path()));
        const auto request = seeFileLaunch("Play " + level, level, game);
        QVERIFY(request);
        const FileError error = startDetached(*request);
        QCOMPARE(error.code, code);
        QCOMPARE(error.path, code != 0 ? request->program : QString());
        // Only where Wine would have run the program does the reason name it.
        QCOMPARE(error.reason().contains("Wine"), code == zq2::kWindowsProgramWithoutWine);
        if (code == 0)
            QTRY_COMPARE(zq2::test::readFile(game + '/' + program + ".args"),
                         encodeFileName(level + '|' + QDir::current().canonicalPath() + '|'));
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
