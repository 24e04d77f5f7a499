#include "fileops/deletion.h"
#include "fileops/filecopy.h"
#include "fileops/kilobytes.h"
#include "support/faults.h"
#include "support/tempfiles.h"

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <cerrno>
#include <optional>

#include <unistd.h>

using namespace zq2;
using namespace zq2::test;

namespace {

// The original paths recorded in the trash folder `trashFolder`, each checked to have its file and a
// complete record: "[Trash Info]", the path (absolute, or relative to the folder holding the trash)
// and the time of deletion.
QStringList trashContents(const QString& trashFolder) {
    QStringList originals;
    for (const QString& record : QDir(trashFolder + "/info").entryList(QDir::Files | QDir::Hidden)) {
        const QStringList lines = QString::fromUtf8(readFile(trashFolder + "/info/" + record)).split('\n');
        if (lines.size() < 3 || lines[0] != "[Trash Info]" || !lines[1].startsWith("Path=") ||
            !lines[2].startsWith("DeletionDate=") ||
            !QFile::exists(trashFolder + "/files/" + record.chopped(10)))
            return {"broken record " + record};
        const QString recorded = QUrl::fromPercentEncoding(lines[1].mid(5).toUtf8());
        originals << (recorded.startsWith('/') ? recorded : QFileInfo(trashFolder).path() + '/' + recorded);
    }
    return originals;
}

} // namespace

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

    void initTestCase() {
        // A desktop trash of this test's own, so that the user's real one is never touched. The trash
        // reads the home folder from the environment once, so one home serves every case; it moves
        // along with the data folder, so that files in it go to its trash on any machine.
        QVERIFY(home_.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(home_.path()));
        qputenv("HOME", QFile::encodeName(home_.path()));
    }

    // `trashed`: whether the file went into the trash rather than being deleted outright. A file on
    // another file system than home goes to that file system's own trash.
    void removeFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("trashed");
        QTest::newRow("into the trash") << "cave.z2l" << 0 << true;
        QTest::newRow("no trash can be made") << "cave.z2l" << 0 << false;
        QTest::newRow("trash info is a file") << "cave.z2l" << 0 << false;
        QTest::newRow("name of 230 bytes") << QString(226, 'n') + ".z2l" << 0 << true;
        // No room left for the record of where it came from: the trash could not give it back.
        QTest::newRow("name of 240 bytes") << QString(236, 'n') + ".z2l" << 0 << false;
        QTest::newRow("name of 255 bytes") << QString(251, 'n') + ".z2l" << 0 << false;
        QTest::newRow("another file system") << "cave.z2l" << 0 << true;
        QTest::newRow("missing file") << "cave.z2l" << ENOENT << false;
        QTest::newRow("a folder") << "cave.z2l" << EISDIR << false;
    }
    void removeFile() {
        QFETCH(QString, name);
        QFETCH(int, code);
        QFETCH(bool, trashed);
        const QString scenario = QTest::currentDataTag();
        QString trash = home_.filePath("Trash");
        QDir(trash).removeRecursively();
        QFile::remove(trash);
        QTemporaryDir current;
        QVERIFY(QDir::setCurrent(current.path()));
        QString folder = home_.filePath("game");
        std::optional<ScratchMount> drive;
        if (scenario == "another file system") {
            folder = current.filePath("drive");
            drive.emplace(folder, "ramfs", "");
            if (!drive->skipReason().isEmpty())
                QSKIP(qPrintable(drive->skipReason()));
            trash = folder + "/.Trash-" + QString::number(geteuid());
        }
        if (scenario == "no trash can be made")
            writeFile(home_.path(), "Trash", "in the way");
        if (scenario == "trash info is a file")
            writeFile(home_.path(), "Trash/info", "in the way");
        const QString path = folder + '/' + name;
        if (scenario == "a folder")
            QDir().mkpath(path);
        else if (scenario != "missing file")
            writeFile(folder, name, "LEVEL");

        FileError error;
        {
            HangGuard guard("removeFile");
            error = zq2::removeFile(path);
        }
        QCOMPARE(error.code, code);
        QCOMPARE(QFileInfo::exists(path), scenario == "a folder");
        QCOMPARE(trashContents(trash), trashed ? QStringList{path} : QStringList());
        QCOMPARE(readFile(trash + "/files/" + name), trashed ? "LEVEL" : "<missing>");
        // Never "trashed" into folders of the current folder when no trash can be made.
        QVERIFY(QDir(current.path()).isEmpty() || drive);
    }

    // The source changes between two pieces of a copy over an older file: the copy fails saying so,
    // and the old file stays, by either way of copying.
    void copyOfChangingSource_data() {
        QTest::addColumn<CopySteps::Method>("method");
        QTest::addColumn<QString>("change");
        for (const auto& [method, how] : {std::pair{CopySteps::Method::Fastest, "fastest"},
                                          std::pair{CopySteps::Method::ReadWrite, "read and write"}}) {
            for (const char* change : {"none", "cut short", "grown", "touched"})
                QTest::addRow("%s, %s", how, change) << method << QString(change);
        }
    }
    void copyOfChangingSource() {
        QFETCH(CopySteps::Method, method);
        QFETCH(QString, change);
        QTemporaryDir root;
        const QString cache = root.filePath("cache"), game = root.filePath("game");
        const QByteArray download(300 * 1024, 'd'); // several pieces of the read and write loop
        writeFile(cache, "level1.z2l", download);
        writeFile(game, "level1.z2l", "OLD");
        const QString source = cache + "/level1.z2l";
        int pieces = 0;
        const auto changeSource = [&] {
            if (pieces++ > 0)
                return;
            QFile file(source);
            QVERIFY(file.open(QIODevice::ReadWrite | QIODevice::Append));
            if (change == "cut short")
                QVERIFY(file.resize(100));
            else if (change == "grown")
                QVERIFY(file.write("more") == 4);
            else if (change == "touched")
                QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(3600),
                                         QFileDevice::FileModificationTime));
        };
        const FileError error = replaceOrCreate(source, game, "level1.z2l", game + "/level1.z2l",
                                                CopySteps{method, changeSource});
        QVERIFY(pieces > 0);
        QCOMPARE(QDir(game).entryList(QDir::Files | QDir::Hidden), QStringList{"level1.z2l"});
        if (change == "none") {
            QCOMPARE(error.code, 0);
            QVERIFY(readFile(game + "/level1.z2l") == download);
            return;
        }
        QCOMPARE(failureReport("Could not copy", {error}),
                 "Could not copy level1.z2l: The file changed while it was copied.");
        QCOMPARE(error.path, source);
        QCOMPARE(readFile(game + "/level1.z2l"), "OLD");
    }

private:
    QTemporaryDir home_;
};

QTEST_GUILESS_MAIN(TestFileOps)
#include "tst_fileops.moc"
