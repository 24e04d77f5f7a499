#include "config/preferencesfile.h"
#include "readonlyfolder.h"
#include "support/tempfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

using namespace zq2;

namespace {

// -1: no match (nullopt), 0: off, 1: on.
int tri(const std::optional<bool>& value) {
    return value ? int(*value) : -1;
}

const QByteArray kFiveLines("USESKIN=YES\r\nC:\\s.skn\r\nUSETIPS=NO\r\nWARNMAXLVLS=YES\r\nDISPLAYDELETE=NO");

} // namespace

class TestPreferencesFile : public QObject {
    Q_OBJECT

private slots:
    void read_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<int>>("switches"); // useSkin, useTips, warnMax, displayDelete
        QTest::addColumn<QString>("skinLine");
        QTest::addColumn<QStringList>("patterns");
        auto row = [](const char* tag, const QByteArray& bytes, const QList<int>& switches,
                      const QString& skinLine, const QStringList& patterns,
                      const QString& name = "preferences.ini") {
            QTest::newRow(tag) << name << bytes << switches << skinLine << patterns;
        };
        const QList<int> five{1, 0, 1, 0};
        const QList<int> none{-1, -1, -1, -1};
        row("five lines", kFiveLines, five, "C:\\s.skn", {});
        row("lower case", "useskin=no\r\n\r\nusetips=yes\r\nWarnMaxLvls=No\r\ndisplaydelete=yes",
            {0, 1, 0, 1}, "", {});
        row("blanks and other texts match nothing",
            "USESKIN=YES \r\n  a b  \r\n USETIPS=NO\r\nWARNMAXLVLS=\r\nUSESKIN=NO", none, "  a b  ", {});
        row("patterns as they stand", kFiveLines + "\r\n*.z2l\r\n\r\n *.x \r\n*.z2l", five, "C:\\s.skn",
            {"*.z2l", "", " *.x ", "*.z2l"});
        row("final CR LF adds nothing", kFiveLines + "\r\n*.a\r\n", five, "C:\\s.skn", {"*.a"});
        row("lone LF and CR", "USESKIN=YES\nx\rUSETIPS=YES\r\nWARNMAXLVLS=NO\nDISPLAYDELETE=YES\r*.a\n*.b",
            {1, 1, 0, 1}, "x", {"*.a", "*.b"});
        row("ends after line 2", "USESKIN=YES\r\nx", {1, -1, -1, -1}, "x", {});
        row("empty file", "", none, "", {});
        row("binary junk", QByteArray("\x00\xff\x01\r\n\x00", 6), none, QString(QChar(0)), {});
        row("other letter case", kFiveLines, five, "C:\\s.skn", {}, "PREFERENCES.INI");
    }
    void read() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, switches);
        QFETCH(QString, skinLine);
        QFETCH(QStringList, patterns);
        QTemporaryDir dir;
        test::writeFile(dir.path(), name, bytes);
        const std::optional<PreferencesFile> file = readPreferencesFile(dir.path());
        QVERIFY(file);
        QCOMPARE((QList<int>{tri(file->useSkin), tri(file->useTips), tri(file->warnMax),
                             tri(file->displayDelete)}),
                 switches);
        QCOMPARE(file->skinLine, skinLine);
        QCOMPARE(file->patterns, patterns);
    }

    void absent() {
        QTemporaryDir dir;
        test::writeFile(dir.path(), "preferences.ini/inner", "USESKIN=YES");
        QVERIFY(!readPreferencesFile(dir.path()));
    }

    void load_data() {
        QTest::addColumn<bool>("startOn");      // every flag on before the call
        QTest::addColumn<QByteArray>("bytes");  // "-" for no file
        QTest::addColumn<QList<bool>>("flags"); // skin, tips, warn, confirm
        QTest::addColumn<QString>("skinFile");
        QTest::addColumn<QStringList>("patterns");
        auto row = [](const char* tag, bool startOn, const QByteArray& bytes, const QList<bool>& flags,
                      const QString& skinFile, const QStringList& patterns) {
            QTest::newRow(tag) << startOn << bytes << flags << skinFile << patterns;
        };
        const QStringList defaults{"*.z2l", "*.z2t", "*.z2b"};
        row("absent, fresh", false, "-", {false, true, true, true}, "kept.skn", defaults);
        row("absent turns the skin off", true, "-", {false, true, true, true}, "kept.skn", defaults);
        row("unmatched keeps off", false, "x\r\n\r\nx\r\nx\r\nx", {false, false, false, false}, "", {});
        row("unmatched keeps on", true, "x\r\n s \r\nx\r\nx\r\nx\r\n*.q", {true, true, true, true}, " s ",
            {"*.q"});
        row("matched", true, kFiveLines, {true, false, true, false}, "C:\\s.skn", {});
    }
    void load() {
        QFETCH(bool, startOn);
        QFETCH(QByteArray, bytes);
        QFETCH(QList<bool>, flags);
        QFETCH(QString, skinFile);
        QFETCH(QStringList, patterns);
        QTemporaryDir dir;
        if (bytes != "-")
            test::writeFile(dir.path(), "preferences.ini", bytes);
        Preferences values{startOn, "kept.skn", startOn, startOn, startOn, {"old"}};
        loadPreferences(values, dir.path());
        QCOMPARE(
            (QList<bool>{values.skinEnabled, values.tipsEnabled, values.warnMaxLevels, values.confirmDelete}),
            flags);
        QCOMPARE(values.skinFile, skinFile);
        QCOMPARE(values.patterns, patterns);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), bytes == "-" ? 0 : 1); // nothing created
    }

    void bytes_data() {
        QTest::addColumn<QList<bool>>("flags"); // skin, tips, warn, delete
        QTest::addColumn<QString>("skinDir");
        QTest::addColumn<QStringList>("patterns");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("no patterns: five lines, no final line end")
            << QList<bool>{false, true, true, true} << "" << QStringList{}
            << QByteArray("USESKIN=NO\r\n\r\nUSETIPS=YES\r\nWARNMAXLVLS=YES\r\nDISPLAYDELETE=YES");
        QTest::newRow("patterns in order, duplicates kept, path trimmed")
            << QList<bool>{true, false, false, false} << "  C:\\my skins\\a.skn  "
            << QStringList{"*.z2l", "*.*", "*.z2l"}
            << QByteArray(
                   "USESKIN=YES\r\nC:\\my skins\\a.skn\r\nUSETIPS=NO\r\nWARNMAXLVLS=NO\r\nDISPLAYDELETE=NO"
                   "\r\n*.z2l\r\n*.*\r\n*.z2l");
    }
    void bytes() {
        QFETCH(QList<bool>, flags);
        QFETCH(QString, skinDir);
        QFETCH(QStringList, patterns);
        QFETCH(QByteArray, expected);
        const QByteArray written =
            preferencesBytes(flags[0], skinDir, flags[1], flags[2], flags[3], patterns);
        QCOMPARE(written, expected);

        // What is written reads back the same.
        QTemporaryDir dir;
        QVERIFY(writePreferencesFile(dir.path(), written).ok());
        const std::optional<PreferencesFile> file = readPreferencesFile(dir.path());
        QVERIFY(file);
        QCOMPARE((QList<bool>{*file->useSkin, *file->useTips, *file->warnMax, *file->displayDelete}), flags);
        QCOMPARE(file->patterns, patterns);
    }

    void write() {
        QTemporaryDir dir;
        test::writeFile(dir.path(), "Preferences.INI", QByteArray(300, 'x'));
        QVERIFY(writePreferencesFile(dir.path(), "short").ok());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Preferences.INI"});
        QCOMPARE(test::readFile(dir.filePath("Preferences.INI")), QByteArray("short"));
        {
            test::ReadOnlyFolder readOnly(dir.path());
            if (!readOnly.holds())
                QSKIP("this system writes into read-only folders");
            const FileError error = writePreferencesFile(dir.path(), "new");
            QCOMPARE(error.code, EACCES);
            QVERIFY(preferencesSaveFailedText(error).contains(error.reason()));
        }
        QCOMPARE(test::readFile(dir.filePath("Preferences.INI")), QByteArray("short"));
    }
};

QTEST_GUILESS_MAIN(TestPreferencesFile)
#include "tst_preferencesfile.moc"
