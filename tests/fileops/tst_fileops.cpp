#include "fileops/deletion.h"
#include "fileops/filecopy.h"
#include "fileops/kilobytes.h"
#include "support/tempfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

using namespace zq2;
using namespace zq2::test;

class TestFileOps : public QObject {
    Q_OBJECT

private slots:
    void replaceQuestionSizes_data() {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        const auto kb = [](const char* oldKb, const char* newKb) {
            return QString("Are you sure you want to replace a (Size: %1 KB) with a (Size: %2 KB)?")
                .arg(oldKb, newKb);
        };
        const QLocale c = QLocale::c(), comma(QLocale::German);
        QTest::newRow("fraction, whole") << replaceQuestion("a", 1500, 1000, c) << kb("1.5", "1");
        QTest::newRow("empty, twelve") << replaceQuestion("a", 0, 12000, c) << kb("0", "12");
        QTest::newRow("huge") << replaceQuestion("a", 999, 1234567890000, c) << kb("0.999", "1234567890");
        QTest::newRow("decimal comma") << replaceQuestion("a", 1500, 7000000, comma) << kb("1,5", "7000");
        QTest::newRow("delete, empty title")
            << deleteQuestion("Title: ", "a.z2l") << QString("Are you sure you want to delete  (a.z2l)?");
        QTest::newRow("delete, no title") << deleteQuestion("No Title", "s.z2b")
                                          << QString("Are you sure you want to delete this file (s.z2b)?");
    }
    void replaceQuestionSizes() {
        QFETCH(QString, actual);
        QFETCH(QString, expected);
        QCOMPARE(actual, expected);
    }

    // Copies the cache's level1.z2l ("FRESH") into a game folder holding `old` ("name=contents") or nothing.
    // Answer 'v' says yes after removing the source.
    void copyZQ2File_data() {
        QTest::addColumn<QString>("old");
        QTest::addColumn<char>("answer");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("gameAfter");
        const QString mixed = "LEVEL1.Z2L=OLD", fresh = "level1.z2l=FRESH";
        QTest::newRow("new name") << "" << 'y' << 0 << fresh;
        QTest::newRow("other case, yes") << mixed << 'y' << 0 << fresh;
        QTest::newRow("other case, no") << mixed << 'n' << 0 << mixed;
        QTest::newRow("source gone after yes") << mixed << 'v' << ENOENT << mixed;
    }
    void copyZQ2File() {
        QFETCH(QString, old);
        QFETCH(char, answer);
        QFETCH(int, code);
        QFETCH(QString, gameAfter);
        QTemporaryDir root;
        const QString cache = root.filePath("cache"), game = root.filePath("game");
        writeFile(cache, "level1.z2l", "FRESH");
        QDir().mkpath(game);
        if (!old.isEmpty())
            writeFile(game, old.section('=', 0, 0), old.section('=', 1).toLatin1());
        QStringList asked;
        const CopyOutcome outcome = zq2::copyZQ2File(
            cache, game, "level1.z2l", [&](const QString& name, qint64 oldSize, qint64 newSize) {
                asked << QString("%1 %2 %3").arg(name).arg(oldSize).arg(newSize);
                if (answer == 'v')
                    QFile::remove(cache + "/level1.z2l");
                return answer != 'n';
            });
        using R = CopyOutcome::Result;
        QCOMPARE(outcome.result, code != 0 ? R::Failed : answer == 'n' ? R::Declined : R::Copied);
        QCOMPARE(outcome.error.code, code);
        QCOMPARE(QFileInfo(outcome.error.path).fileName().toLower(), QString(code ? "level1.z2l" : ""));
        QCOMPARE(asked, !old.isEmpty() ? QStringList{"level1.z2l 3 5"} : QStringList());
        QCOMPARE(folderContents(game), QStringList{gameAfter});
        QCOMPARE(folderContents(cache), answer == 'v' ? QStringList() : QStringList{"level1.z2l=FRESH"});
    }

    void removeFile_data() {
        QTest::addColumn<int>("code");
        QTest::newRow("into the trash") << 0;
        QTest::newRow("no trash: deleted") << 0;
        QTest::newRow("missing file") << ENOENT;
        QTest::newRow("a folder") << EISDIR;
    }
    void removeFile() {
        QFETCH(int, code);
        const QString scenario = QTest::currentDataTag();
        // A desktop trash of this test's own, so that the user's real one is never touched. The home
        // folder moves along: a file on another file system than home goes to that file system's trash.
        QTemporaryDir home, current;
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
        qputenv("HOME", QFile::encodeName(home.path()));
        QVERIFY(QDir::setCurrent(current.path()));
        const QString path = home.filePath("game/cave.z2l");
        if (scenario == "no trash: deleted") // a plain file where the trash would be: it cannot be made
            writeFile(home.path(), "Trash", "in the way");
        if (scenario == "a folder")
            QDir().mkpath(path);
        else if (scenario != "missing file")
            writeFile(home.path(), "game/cave.z2l", "LEVEL");
        QCOMPARE(zq2::removeFile(path).code, code);
        QCOMPARE(QFileInfo::exists(path), scenario == "a folder");
        QCOMPARE(readFile(home.filePath("Trash/files/cave.z2l")),
                 scenario == "into the trash" ? "LEVEL" : "<missing>");
        // Where no trash can be made the file is deleted, never left in the current folder.
        QVERIFY(QDir(current.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFileOps)
#include "tst_fileops.moc"
