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
        const QString ini = "preferences.ini";
        QTest::newRow("five lines") << ini << kFiveLines << QList<int>{1, 0, 1, 0} << "C:\\s.skn"
                                    << QStringList{};
        QTest::newRow("lower case")
            << ini << QByteArray("useskin=no\r\n\r\nusetips=yes\r\nWarnMaxLvls=No\r\ndisplaydelete=yes")
            << QList<int>{0, 1, 0, 1} << "" << QStringList{};
        QTest::newRow("blanks and other texts match nothing")
            << ini << QByteArray("USESKIN=YES \r\n  a b  \r\n USETIPS=NO\r\nWARNMAXLVLS=\r\nUSESKIN=NO")
            << QList<int>{-1, -1, -1, -1} << "  a b  " << QStringList{};
        QTest::newRow("patterns as they stand")
            << ini << kFiveLines + "\r\n*.z2l\r\n\r\n *.x \r\n*.z2l" << QList<int>{1, 0, 1, 0} << "C:\\s.skn"
            << QStringList{"*.z2l", "", " *.x ", "*.z2l"};
        QTest::newRow("final CR LF adds nothing")
            << ini << kFiveLines + "\r\n*.a\r\n"
            << QList<int>{1, 0, 1, 0} << "C:\\s.skn" << QStringList{"*.a"};
        QTest::newRow("lone LF and CR") << ini
                                        << QByteArray("USESKIN=YES\nx\rUSETIPS=YES\r\nWARNMAXLVLS=NO\n"
                                                      "DISPLAYDELETE=YES\r*.a\n*.b")
                                        << QList<int>{1, 1, 0, 1} << "x" << QStringList{"*.a", "*.b"};
        QTest::newRow("ends after line 2")
            << ini << QByteArray("USESKIN=YES\r\nx") << QList<int>{1, -1, -1, -1} << "x" << QStringList{};
        QTest::newRow("empty file") << ini << QByteArray() << QList<int>{-1, -1, -1, -1} << ""
                                    << QStringList{};
        QTest::newRow("binary junk") << ini << QByteArray("\x00\xff\x01\r\n\x00", 6)
                                     << QList<int>{-1, -1, -1, -1} << QString(QChar(0)) << QStringList{};
        QTest::newRow("other letter case")
            << "PREFERENCES.INI" << kFiveLines << QList<int>{1, 0, 1, 0} << "C:\\s.skn" << QStringList{};
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
        const QStringList defaults{"*.z2l", "*.z2t", "*.z2b"};
        QTest::newRow("absent, fresh")
            << false << QByteArray("-") << QList<bool>{false, true, true, true} << "kept.skn" << defaults;
        QTest::newRow("absent turns the skin off")
            << true << QByteArray("-") << QList<bool>{false, true, true, true} << "kept.skn" << defaults;
        QTest::newRow("unmatched keeps off")
            << false << QByteArray("x\r\n\r\nx\r\nx\r\nx") << QList<bool>{false, false, false, false} << ""
            << QStringList{};
        QTest::newRow("unmatched keeps on")
            << true << QByteArray("x\r\n s \r\nx\r\nx\r\nx\r\n*.q") << QList<bool>{true, true, true, true}
            << " s " << QStringList{"*.q"};
        QTest::newRow("matched") << true << kFiveLines << QList<bool>{true, false, true, false} << "C:\\s.skn"
                                 << QStringList{};
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
        QVERIFY(!QDir(dir.path()).entryList(QDir::Files).isEmpty() || bytes == "-");
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

    void addCheck_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<AddPatternCheck>("check");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("message");
        const QString mustBegin = "File type patterns must begin with '*.'";
        const QString tooLong = "File extensions cannot be longer than 3 characters.";
        QTest::newRow("plain") << "*.z2e" << AddPatternCheck::Add << "*.z2e"
                               << "";
        QTest::newRow("surrounding blanks") << "  *.z2e " << AddPatternCheck::Add << "*.z2e"
                                            << "";
        QTest::newRow("star dot star") << "*.*" << AddPatternCheck::Add << "*.*"
                                       << "";
        QTest::newRow("one letter") << "*.a" << AddPatternCheck::Add << "*.a"
                                    << "";
        QTest::newRow("star dot alone") << "*." << AddPatternCheck::Ignore << ""
                                        << "";
        QTest::newRow("star dot with blanks") << "  *.  " << AddPatternCheck::Ignore << ""
                                              << "";
        QTest::newRow("four letters") << "*.z2lx" << AddPatternCheck::TooLong << "" << tooLong;
        QTest::newRow("no star dot") << "z2l" << AddPatternCheck::MustBeginWithStarDot << "" << mustBegin;
        QTest::newRow("empty") << "" << AddPatternCheck::MustBeginWithStarDot << "" << mustBegin;
        QTest::newRow("prefix checked before length")
            << "z2lxxxxx" << AddPatternCheck::MustBeginWithStarDot << "" << mustBegin;
        QTest::newRow("tab is not a blank")
            << "\t*.a" << AddPatternCheck::MustBeginWithStarDot << "" << mustBegin;
    }
    void addCheck() {
        QFETCH(QString, text);
        QFETCH(AddPatternCheck, check);
        QFETCH(QString, pattern);
        QFETCH(QString, message);
        const AddPatternResult result = checkNewPattern(text);
        QCOMPARE(result.check, check);
        QCOMPARE(result.pattern, pattern);
        QCOMPARE(result.message, message);
    }
};

QTEST_GUILESS_MAIN(TestPreferencesFile)
#include "tst_preferencesfile.moc"
