#include "config/settingsfile.h"
#include "config/textlines.h"
#include "platform/paths.h"
#include "readonlyfolder.h"
#include "support/tempfiles.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

using namespace zq2;

namespace {

// Serves the same bytes forever and counts what was taken, like a file that never ends.
class EndlessDevice : public QIODevice {
public:
    explicit EndlessDevice(QByteArray pattern)
        : pattern_(std::move(pattern)) {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }
    qint64 served = 0;

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        for (qint64 i = 0; i < maxSize; ++i)
            data[i] = pattern_.at((served + i) % pattern_.size());
        served += maxSize;
        return maxSize;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray pattern_;
};

} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT

private slots:
    void readingStopsEarly_data() {
        QTest::addColumn<QByteArray>("pattern");
        QTest::addColumn<int>("maxLines");
        QTest::addColumn<int>("lines");
        QTest::addColumn<qint64>("mostRead");
        QTest::newRow("short lines: two wanted") << QByteArray("ab\r\n") << 2 << 2 << qint64(64 * 1024);
        QTest::newRow("junk without line ends")
            << QByteArray("\x00\xff junk", 7) << 2 << 1 << qint64(1024 * 1024);
        QTest::newRow("one endless line of CRs") << QByteArray("\r") << 5 << 5 << qint64(64 * 1024);
    }
    void readingStopsEarly() {
        QFETCH(QByteArray, pattern);
        QFETCH(int, maxLines);
        QFETCH(int, lines);
        QFETCH(qint64, mostRead);
        EndlessDevice device(pattern);
        LineLimits limits;
        limits.maxLines = maxLines;
        const QList<QByteArray> got = readLines(device, limits);
        QCOMPARE(got.size(), lines);
        QVERIFY2(device.served <= mostRead, qPrintable(QString::number(device.served)));
        for (const QByteArray& line : got)
            QVERIFY(line.size() <= limits.maxLineBytes);
    }

    void read_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QByteArray>("line1");
        QTest::addColumn<QByteArray>("line2");
        auto row = [](const char* tag, const QString& name, const QByteArray& bytes, bool found,
                      const QByteArray& l1,
                      const QByteArray& l2) { QTest::newRow(tag) << name << bytes << found << l1 << l2; };
        const QString ini = "settings.ini";
        row("CR LF", ini, "C:\\Games\\Zeno2\r\nE:", true, "C:\\Games\\Zeno2", "E:");
        row("lone CR", ini, "a\rb", true, "a", "b");
        row("lone LF", ini, "a\nb", true, "a", "b");
        row("CR CR: empty line 2", ini, "a\r\rb", true, "a", "");
        row("CR LF LF: empty line 2", ini, "a\r\n\nb", true, "a", "");
        row("third line ignored", ini, "a\r\nb\r\nc", true, "a", "b");
        row("blanks kept", ini, " APP-PATH \r\n D: ", true, " APP-PATH ", " D: ");
        row("one line", ini, "APP-PATH", true, "APP-PATH", "");
        row("no lines", ini, "", true, "", "");
        row("long line cut", ini, QByteArray(40000, 'A') + "\r\nE:", true, QByteArray(32 * 1024, 'A'), "E:");
        row("CR LF split across reads", ini, QByteArray(16383, 'a') + "\r\nE:", true, QByteArray(16383, 'a'),
            "E:");
        row("binary junk", ini, QByteArray("\x01\xfe\x00\xff\r\x80z", 7), true,
            QByteArray("\x01\xfe\x00\xff", 4), "\x80z");
        row("other letter case", "Settings.INI", "x\r\ny", true, "x", "y");
        row("a folder of that name", "settings.ini/inner.txt", "x", false, "", "");
        row("other file name", "settings.ini.bak", "x", false, "", "");
    }
    void read() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, found);
        QFETCH(QByteArray, line1);
        QFETCH(QByteArray, line2);
        QTemporaryDir dir;
        test::writeFile(dir.path(), name, bytes);
        const std::optional<SettingsLines> lines = readSettingsFile(dir.path());
        QCOMPARE(lines.has_value(), found);
        if (lines) {
            QCOMPARE(lines->line1, QString::fromLocal8Bit(line1));
            QCOMPARE(lines->line2, QString::fromLocal8Bit(line2));
        }
    }

    void resolve_data() {
        QTest::addColumn<QString>("line1");
        QTest::addColumn<QString>("line2");
        QTest::addColumn<QString>("gameDir");
        QTest::addColumn<QString>("cdResourceDir");
        const QString res = QDir::separator() + QStringLiteral("Resources");
        QTest::newRow("keyword") << "APP-PATH"
                                 << "D:"
                                 << "/app"
                                 << "D:" + res;
        QTest::newRow("keyword in lower case") << "app-path"
                                               << ""
                                               << "/app" << res;
        QTest::newRow("keyword with blanks is a path") << " APP-PATH"
                                                       << "E:"
                                                       << " APP-PATH"
                                                       << "E:" + res;
        QTest::newRow("trailing blank kept") << "/games/zeno2 "
                                             << ""
                                             << "/games/zeno2 " << res;
    }
    void resolve() {
        QFETCH(QString, line1);
        QFETCH(QString, line2);
        QFETCH(QString, gameDir);
        QFETCH(QString, cdResourceDir);
        const LoadedSettings s = resolveSettings({line1, line2}, "/app");
        QCOMPARE(s.gameDir, gameDir);
        QCOMPARE(s.cdResourceDir, cdResourceDir);
    }

    void write() {
        QTemporaryDir dir;
        test::writeFile(dir.path(), "Settings.INI", QByteArray(500, 'x'));
        QVERIFY(writeSettingsFile(dir.path(), "C:\\Games\\Zeno2", "E:").ok());
        // The shorter contents replace the longer ones whole, under the spelling already there.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Settings.INI"});
        QCOMPARE(test::readFile(dir.filePath("Settings.INI")), QByteArray("C:\\Games\\Zeno2\r\nE:"));

        QTemporaryDir fresh;
        QVERIFY(writeSettingsFile(fresh.path(), "APP-PATH", "").ok());
        QCOMPARE(test::readFile(fresh.filePath("settings.ini")), QByteArray("APP-PATH\r\n"));
    }

    void writeFailure() {
        QTemporaryDir dir;
        test::writeFile(dir.path(), "settings.ini", "old\r\nD:");
        {
            test::ReadOnlyFolder readOnly(dir.path());
            if (!readOnly.holds())
                QSKIP("this system writes into read-only folders");
            const FileError error = writeSettingsFile(dir.path(), "/new", "E:");
            QCOMPARE(error.code, EACCES);
            QCOMPARE(error.path, dir.filePath("settings.ini"));
            const QString text = settingsSaveFailedText(error);
            QVERIFY2(text.contains(displayPath(error.path)) && text.contains(error.reason()),
                     qPrintable(text));
        }
        QCOMPARE(test::readFile(dir.filePath("settings.ini")), QByteArray("old\r\nD:"));

        const FileError missing = writeSettingsFile(dir.filePath("nowhere"), "/new", "E:");
        QCOMPARE(missing.code, ENOENT);
    }

    void browse_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("folder"); // "-" for no change
        QTest::newRow("drive folder") << "C:\\Zeno2\\Zeno2.exe"
                                      << "C:\\Zeno2";
        QTest::newRow("deeper") << "D:\\Games\\Zeno2\\Zeno2.exe"
                                << "D:\\Games\\Zeno2";
        QTest::newRow("cut by length only") << "/opt/z/zle.exe12"
                                            << "/opt/z";
        QTest::newRow("exactly ten") << "/Zeno2.exe"
                                     << "";
        QTest::newRow("nine") << "Zeno2.exe"
                              << "-";
    }
    void browse() {
        QFETCH(QString, chosen);
        QFETCH(QString, folder);
        QCOMPARE(browseCut(chosen).value_or("-"), folder);
    }

    void dialogStart_data() {
        QTest::addColumn<QStringList>("files"); // name=contents
        QTest::addColumn<QString>("zq2dir");
        QTest::addColumn<QString>("cddir");
        QTest::addColumn<bool>("focusOnCd");
        auto row = [](const char* tag, const QStringList& files, const QString& zq2dir, const QString& cddir,
                      bool focus) { QTest::newRow(tag) << files << zq2dir << cddir << focus; };
        const QString found = appPathDisplayText();
        row("first run", {}, defaultGameDir(), defaultCdDrive(), false);
        row("first run beside the game", {"zeno2.EXE="}, found, defaultCdDrive(), true);
        row("game name is a folder", {"Zeno2.exe/x="}, defaultGameDir(), defaultCdDrive(), false);
        row("keyword with blanks", {"settings.ini= app-path \r\nE:"}, found, "E:", false);
        row("path trimmed, drive as read", {"settings.ini=/games/z2 \r\n D: ", "Zeno2.exe="}, "/games/z2",
            " D: ", true);
        row("one line", {"SETTINGS.ini=/g"}, "/g", "", false);
    }
    void dialogStart() {
        QFETCH(QStringList, files);
        QFETCH(QString, zq2dir);
        QFETCH(QString, cddir);
        QFETCH(bool, focusOnCd);
        QTemporaryDir dir;
        for (const QString& f : files)
            test::writeFile(dir.path(), f.section('=', 0, 0), f.section('=', 1).toLocal8Bit());
        const SettingsDialogStart start = settingsDialogStart(dir.path());
        QCOMPARE(start.zq2dir, zq2dir);
        QCOMPARE(start.cddir, cddir);
        QCOMPARE(start.focusOnCd, focusOnCd);
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
