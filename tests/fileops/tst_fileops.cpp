#include "fileops/deletion.h"
#include "fileops/filecopy.h"
#include "fileops/kilobytes.h"
#include "platform/filenames.h"
#include "support/faults.h"
#include "support/tempfiles.h"

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <optional>

#include <unistd.h>

using namespace zq2;
using namespace zq2::test;
using namespace Qt::StringLiterals;

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
        QTest::newRow("huge") << replaceQuestion("a", 999, 1234567890000, c) << kb("0.999", "1234567890");
        QTest::newRow("decimal comma") << replaceQuestion("a", 1500, 7000000, comma) << kb("1,5", "7000");
        QTest::newRow("delete, empty title")
            << deleteQuestion("Title: ", "a.z2l") << QString("Are you sure you want to delete  (a.z2l)?");
        QTest::newRow("delete, no title") << deleteQuestion("No Title", "s.z2b")
                                          << QString("Are you sure you want to delete this file (s.z2b)?");
        // Names that are not UTF-8 are shown with U+FFFD.
        const QString latin1 = decodeFileName("caf\xE9.z2l");
        QTest::newRow("replace, name not UTF-8")
            << replaceQuestion(latin1, 1000, 1000, c)
            << u"Are you sure you want to replace caf\xFFFD.z2l (Size: 1 KB) with caf\xFFFD.z2l (Size: 1 KB)?"_s;
        QTest::newRow("failure, name not UTF-8")
            << failureReport("Could not copy", {{ENOENT, "/g/" + latin1}})
            << u"Could not copy caf\xFFFD.z2l: No such file or directory."_s;
    }
    void replaceQuestionSizes() {
        QFETCH(QString, actual);
        QFETCH(QString, expected);
        QCOMPARE(actual, expected);
    }

    // The source goes once the replace question is answered: the copy fails naming it, and the file it
    // was to replace stays as it was.
    void sourceGoneAfterYesKeepsTheOldFile() {
        QTemporaryDir root;
        const QString cache = root.filePath("cache"), game = root.filePath("game");
        writeFile(cache, "level1.z2l", "FRESH");
        writeFile(game, "LEVEL1.Z2L", "OLD");
        const CopyOutcome outcome =
            copyZQ2File(cache, game, "level1.z2l",
                        [&](const QString&, qint64, qint64) { return QFile::remove(cache + "/level1.z2l"); });
        QVERIFY(outcome.result == CopyOutcome::Result::Failed && outcome.error.code == ENOENT);
        QCOMPARE(outcome.error.path, cache + "/level1.z2l");
        QCOMPARE(folderEntries(game), QStringList{"LEVEL1.Z2L=OLD"});
    }

    void initTestCase() {
        // A desktop trash of this test's own, so that the user's real one is never touched. The trash
        // reads the home folder from the environment once, so one home serves every case; it moves
        // along with the data folder, so that files in it go to its trash on any machine.
        QVERIFY(home_.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(home_.path()));
        qputenv("HOME", QFile::encodeName(home_.path()));
    }

    // `trashed`: into the trash rather than deleted outright. A file on another file system than home
    // goes to that file system's own trash.
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
            QDir().mkpath(folder);
            if (!drive.emplace(folder, "ramfs", "").skipReason().isEmpty())
                QSKIP(qPrintable(drive->skipReason()));
            trash = folder + "/.Trash-" + QString::number(geteuid());
        }
        if (scenario.startsWith("no trash") || scenario.startsWith("trash info"))
            writeFile(home_.path(), scenario.startsWith("no") ? "Trash" : "Trash/info", "in the way");
        const QString path = folder + '/' + name;
        if (scenario == "a folder")
            QDir().mkpath(path);
        else if (scenario != "missing file")
            writeFile(folder, name, "LEVEL");
        FileError error;
        {
            HangGuard guard;
            error = zq2::removeFile(path);
        }
        QCOMPARE(error.code, code);
        QCOMPARE(QFileInfo::exists(path), scenario == "a folder");
        QCOMPARE(readFile(trash + "/files/" + name), trashed ? "LEVEL" : "<missing>");
        // The record tells where the file came from (relative to the top of a drive's own trash).
        const QByteArray record = "[Trash Info]\nPath=" + QFile::encodeName(drive ? name : path);
        QCOMPARE(readFile(trash + "/info/" + name + ".trashinfo").left(record.size()),
                 trashed ? record : "<missing>");
        QVERIFY(QDir(current.path()).isEmpty() || drive); // never a trash made in the current folder
    }

    // The source changes between two pieces of a copy over an older file: the copy fails saying so,
    // and the old file stays, by either way of copying.
    void copyOfChangingSource_data() {
        QTest::addColumn<int>("method");
        QTest::addColumn<QString>("change");
        for (const int method : {0, 1}) {
            for (const char* change : {"none", "cut short", "grown", "touched"})
                QTest::addRow("%s, %s", method ? "read and write" : "fastest", change)
                    << method << QString(change);
        }
    }
    void copyOfChangingSource() {
        QFETCH(int, method);
        QFETCH(QString, change);
        QTemporaryDir root;
        const QString source = root.filePath("cache/a.z2l"), game = root.filePath("game");
        writeFile(root.path(), "cache/a.z2l", QByteArray(300 * 1024, 'd')); // several pieces of either loop
        writeFile(game, "a.z2l", "OLD");
        QFile file(source);
        QVERIFY(file.open(QIODevice::Append));
        const bool changes = change != "none";
        const auto changeOnce = [&] {
            if (change == "cut short")
                file.resize(100);
            else if (change == "grown")
                file.write("more"), file.flush();
            else if (change == "touched")
                file.setFileTime(QDateTime::currentDateTime().addSecs(3600),
                                 QFileDevice::FileModificationTime);
            change.clear();
        };
        const FileError error =
            replaceOrCreate(source, game, "a.z2l", game + "/a.z2l", {CopySteps::Method(method), changeOnce});
        QVERIFY(change.isEmpty() || !changes); // the change was made
        QCOMPARE(error ? failureReport("Could not copy", {error}) : QString(),
                 changes ? "Could not copy a.z2l: The file changed while it was copied." : "");
        QCOMPARE(QDir(game).entryList(QDir::Files | QDir::Hidden), QStringList{"a.z2l"});
        QCOMPARE(readFile(game + "/a.z2l").size(), changes ? 3 : 300 * 1024);
    }

private:
    QTemporaryDir home_;
};

QTEST_GUILESS_MAIN(TestFileOps)
#include "tst_fileops.moc"
