#include "config/preferencesfile.h"
#include "config/settingsfile.h"
#include "platform/filenames.h"
#include "platform/programfolders.h"
#include "support/tempfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace zq2;

class TestConfigFiles : public QObject {
    Q_OBJECT

private slots:
    void readSettings_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines"); // empty: no settings file found
        auto row = [](const char* tag, const QByteArray& bytes, const QStringList& lines,
                      const QString& name = "settings.ini") { QTest::newRow(tag) << name << bytes << lines; };
        row("long line cut", QByteArray(40000, 'A') + "\r\nE:", {QString(32 * 1024, 'A'), "E:"});
        row("CR LF split across reads", QByteArray(16383, 'a') + "\r\nE:", {QString(16383, 'a'), "E:"});
        row("a folder of that name", "x", {}, "settings.ini/inner.txt");
        row("other file name", "x", {}, "settings.ini.bak");
    }
    void readSettings() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        test::writeFile(dir.path(), name, bytes);
        const std::optional<SettingsLines> got = readSettingsFile(dir.path());
        QCOMPARE(got ? (QStringList{got->line1, got->line2}) : QStringList(), lines);
    }

    void loadPreferences_data() {
        QTest::addColumn<QByteArray>("bytes");    // "-": no file
        QTest::addColumn<QList<int>>("switches"); // skin, tips, warn, delete; -1: kept what it had
        QTest::addColumn<QStringList>("lines");   // skin file, then the patterns
        auto row = [](const char* tag, const QByteArray& bytes, const QList<int>& switches,
                      const QStringList& lines) { QTest::newRow(tag) << bytes << switches << lines; };
        const QByteArray five(
            "USESKIN=YES\r\nC:\\s.skn\r\nUSETIPS=NO\r\nWARNMAXLVLS=YES\r\nDISPLAYDELETE=NO");
        row("absent: defaults, skin file kept", "-", {0, 1, 1, 1}, {"kept.skn", "*.z2l", "*.z2t", "*.z2b"});
        // Every line is read up to 100,000 patterns; more, like over 16 MiB, count as no file at all.
        const QStringList absent{"kept.skn", "*.z2l", "*.z2t", "*.z2b"};
        const QByteArray many = five + QByteArray("\r\n*.a").repeated(100000);
        row("100,000 patterns", many, {1, 0, 1, 0}, QStringList{"C:\\s.skn"} + QStringList(100000, "*.a"));
        row("over 100,000 patterns", many + "\r\n*.a", {0, 1, 1, 1}, absent);
    }
    void loadPreferences() {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, switches);
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        if (bytes != "-")
            test::writeFile(dir.path(), "PREFERENCES.ini", bytes);
        Preferences off{false, "kept.skn", false, false, false, {"old"}};
        Preferences on{true, "kept.skn", true, true, true, {"old"}};
        zq2::loadPreferences(off, dir.path());
        zq2::loadPreferences(on, dir.path());
        // Loaded over all switches off and over all on: a switch that differs kept what it had.
        auto state = [&](bool Preferences::*flag) { return off.*flag == on.*flag ? int(on.*flag) : -1; };
        QCOMPARE((QList<int>{state(&Preferences::skinEnabled), state(&Preferences::tipsEnabled),
                             state(&Preferences::warnMaxLevels), state(&Preferences::confirmDelete)}),
                 switches);
        QCOMPARE(QStringList{on.skinFile} + on.patterns, lines);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), bytes == "-" ? 0 : 1); // nothing created
    }

    // Where a copy keeps settings.ini and preferences.ini and finds its help file, over temporary
    // folders laid out like a build folder, a copied program and an installed tree, whose names may
    // hold bytes that are not UTF-8.
    void filesLandWhereTheCopyKeepsThem_data() {
        // The data folder: 'd' a folder, 'f' a file of that name, '-' none. ~/.config/zq2org: 'd' there,
        // '-' missing along with ~/.config, 'f' ~/.config is a file.
        QTest::addColumn<char>("data");
        QTest::addColumn<char>("config");
        QTest::addColumn<QStringList>("help"); // where ZQ2org.qch lies: "bin", "data"
        QTest::addColumn<QString>("helpFrom");
        QTest::addColumn<QString>("top"); // the folder that holds the tree and the home folder
        auto row = [](const char* tag, char data, char config, const QStringList& help, const char* from,
                      const QByteArray& top = "top") {
            QTest::newRow(tag) << data << config << help << QString::fromLatin1(from) << decodeFileName(top);
        };
        row("build folder", '-', '-', {"bin"}, "bin");
        row("copy beside a file named like the data folder", 'f', 'd', {"bin"}, "bin");
        row("installed", 'd', 'd', {"data"}, "data");
        row("installed, first run", 'd', '-', {"data"}, "data");
        row("installed, help put beside the executable", 'd', 'd', {"bin", "data"}, "bin");
        row("installed, configuration folder blocked", 'd', 'f', {"data"}, "data");
        row("build folder not UTF-8", '-', '-', {"bin"}, "bin", "caf\xE9");
        row("installed, first run, not UTF-8", 'd', '-', {"data"}, "data", "caf\xE9");
    }
    void filesLandWhereTheCopyKeepsThem() {
        QFETCH(char, data);
        QFETCH(char, config);
        QFETCH(QStringList, help);
        QFETCH(QString, helpFrom);
        QFETCH(QString, top);
        test::TempDir root;
        const QString base = root.filePath(top);
        const QString dirs[] = {base + "/bin", QDir::cleanPath(base + "/bin/" + dataDirFromAppDir())};
        const QString& bin = dirs[0];
        const QString userConfig = base + "/home/.config/zq2org";
        auto count = [](const QString& folder, const QString& pattern) {
            return test::folderEntries(folder).filter(QRegularExpression(pattern)).size();
        };
        test::writeFile(bin, "Zeno2.exe"); // the game beside the program, where APP-PATH points
        if (data == 'd')
            test::makeFolder(dirs[1]);
        else if (data == 'f')
            test::writeFile(QFileInfo(dirs[1]).path(), QFileInfo(dirs[1]).fileName());
        if (config == 'd')
            test::makeFolder(userConfig);
        else if (config == 'f')
            test::writeFile(base + "/home", ".config");
        for (const QString& where : help)
            test::writeFile(dirs[where == "data"], "ZQ2org.qch");

        const ProgramFolders folders = programFolders(bin, userConfig);
        const bool installed = data == 'd';
        QCOMPARE(folders.installed(), installed);
        QCOMPARE(folders.configDir, installed ? userConfig : bin);
        QCOMPARE(QFileInfo(shippedFile(folders, "ZQ2org.qch")).path(), dirs[helpFrom == "data"]);

        const FileError settings = writeSettingsFile(folders.configDir, appPathKeyword(), "D:").error;
        const FileError prefs = writePreferencesFile(folders.configDir, "USESKIN=NO").error;
        // Both files in the folder the copy keeps them in, none beside an installed copy's executable,
        // and no folder of the user's made for a portable one. A folder that cannot be made is named.
        QCOMPARE(count(bin, "\\.ini="), installed ? 0 : 2);
        if (config == 'f') {
            QVERIFY(settings.path == userConfig && prefs.path == userConfig && !settings.reason().isEmpty());
            return;
        }
        QVERIFY2(settings.ok() && prefs.ok(), qPrintable(settings.reason() + prefs.reason()));
        QCOMPARE(count(base + "/home/.config", "^zq2org/$"), config == 'd' || installed ? 1 : 0);
        if (config == 'd' || installed)
            QCOMPARE(count(userConfig, "\\.ini="), installed ? 2 : 0);
        // APP-PATH and the game beside the program mean the executable's folder wherever the file is.
        const SettingsLines lines = readSettingsFile(folders.configDir).value_or(SettingsLines{});
        QCOMPARE(zq2::resolveSettings(lines, folders.appDir).gameDir, bin);
        QVERIFY(settingsDialogStart(folders.configDir, folders.appDir).focusOnCd);
    }

    // A settings file kept elsewhere and linked into the folder (as dotfile managers do) is saved
    // where it lies; the link stays.
    void savedThroughALink() {
        test::TempDir dir;
        test::writeFile(dir.path(), "kept/settings.ini", "old");
        QVERIFY(QFile::link("kept/settings.ini", dir.filePath("settings.ini")));
        QVERIFY(writeSettingsFile(dir.path(), appPathKeyword(), "/media/cdrom").saved);
        QCOMPARE(test::readFile(dir.filePath("kept/settings.ini")), "APP-PATH\r\n/media/cdrom");
        QVERIFY(QFileInfo(dir.filePath("settings.ini")).isSymLink());
    }
};

QTEST_GUILESS_MAIN(TestConfigFiles)
#include "tst_configfiles.moc"
