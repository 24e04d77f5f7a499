// The level shelf's rules over temporary folders: moving files to the shelf and back, the replace
// question, other letter cases, names that are not UTF-8, and the faults of disks: read-only, full,
// a shelf on another disk through a link, a cancel in the middle of a copy.
#include "fileops/deletion.h"
#include "fileops/shelf.h"
#include "platform/filenames.h"
#include "support/faults.h"
#include "support/tempfiles.h"

#include <QTest>

#include <cerrno>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

using namespace zq2;
using namespace zq2::test;

namespace {

// The modification time of a file to the nanosecond, or -1 when it is gone.
qint64 modifiedAt(const QString& path) {
    struct stat info {};
    if (::stat(encodeFileName(path).constData(), &info) != 0)
        return -1;
    return qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

} // namespace

class TestShelf : public QObject {
    Q_OBJECT

private slots:
    // `disk`: where the game folder and the shelf lie. "one" is one ordinary disk; "link to ramfs" makes
    // the shelf a link to a folder on another file system; "read-only" mounts the game folder
    // read-only once it is filled (its shelf stays a link to another disk when "link" is named too);
    // "full ramfs" puts the shelf on a disk of 16 KB. `asked` lists the replace questions as "name old
    // new"; `answers` answers them in turn (y or n); `stopAt` cancels once that many bytes are copied.
    void moveFiles_data() {
        QTest::addColumn<QString>("disk");
        QTest::addColumn<QStringList>("game");
        QTest::addColumn<QStringList>("shelf");
        QTest::addColumn<bool>("putBack");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<qint64>("stopAt");
        QTest::addColumn<QStringList>("gameAfter");
        QTest::addColumn<QStringList>("shelfAfter");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<QString>("report");
        const QString big = QString(64 * 1024, 'b');
        const QString huge = QString(3 * 1024 * 1024, 'h');
        const QString cafe = decodeFileName("caf\xE9.z2l"), twin = QStringLiteral(u"caf\uFFFD.z2l");

        QTest::newRow("to a shelf made when first used")
            << "one" << QStringList{"a.z2l=A", "b.z2l=BB"} << QStringList{} << false << QStringList{"a.z2l"}
            << "" << qint64(0) << QStringList{"b.z2l=BB", "shelf/"} << QStringList{"a.z2l=A"} << QStringList{}
            << "";
        QTest::newRow("other letter case on the shelf, replaced")
            << "one" << QStringList{"a.z2l=A"} << QStringList{"A.Z2L=OLD"} << false << QStringList{"a.z2l"}
            << "y" << qint64(0) << QStringList{"shelf/"} << QStringList{"a.z2l=A"} << QStringList{"a.z2l 3 1"}
            << "";
        QTest::newRow("other letter case on the shelf, kept")
            << "one" << QStringList{"a.z2l=A"} << QStringList{"A.Z2L=OLD"} << false << QStringList{"a.z2l"}
            << "n" << qint64(0) << QStringList{"a.z2l=A", "shelf/"} << QStringList{"A.Z2L=OLD"}
            << QStringList{"a.z2l 3 1"} << "";
        QTest::newRow("put back over the game's own, one of two")
            << "one" << QStringList{"c.z2l=NEW"} << QStringList{"c.z2l=OLDER", "d.z2t=D"} << true
            << QStringList{"c.z2l", "d.z2t"} << "y" << qint64(0)
            << QStringList{"c.z2l=OLDER", "d.z2t=D", "shelf/"} << QStringList{} << QStringList{"c.z2l 3 5"}
            << "";
        QTest::newRow("removed from outside")
            << "one" << QStringList{} << QStringList{"a.z2l=A"} << true << QStringList{"gone.z2l", "a.z2l"}
            << "" << qint64(0) << QStringList{"a.z2l=A", "shelf/"} << QStringList{} << QStringList{}
            << "Could not move gone.z2l: No such file or directory.";
        QTest::newRow("name not UTF-8 beside its twin")
            << "one" << QStringList{cafe + "=LATIN", twin + "=TWIN"} << QStringList{} << false
            << QStringList{cafe} << "" << qint64(0) << QStringList{twin + "=TWIN", "shelf/"}
            << QStringList{cafe + "=LATIN"} << QStringList{} << "";
        QTest::newRow("shelf is a file")
            << "one" << QStringList{"a.z2l=A", "shelf=notes"} << QStringList{} << false
            << QStringList{"a.z2l"} << "" << qint64(0) << QStringList{"a.z2l=A", "shelf=notes"}
            << QStringList{} << QStringList{}
            << "The Level Shelf cannot be used: %1/shelf is a file, not a folder. Rename or remove it, then "
               "try again.";
        QTest::newRow("read-only game folder, no shelf yet")
            << "read-only" << QStringList{"a.z2l=A"} << QStringList{} << false << QStringList{"a.z2l"} << ""
            << qint64(0) << QStringList{"a.z2l=A"} << QStringList{} << QStringList{}
            << "Could not make the Level Shelf folder %1/shelf: Read-only file system.";
        QTest::newRow("read-only game folder")
            << "read-only" << QStringList{"a.z2l=A", "shelf/"} << QStringList{} << false
            << QStringList{"a.z2l"} << "" << qint64(0) << QStringList{"a.z2l=A", "shelf/"} << QStringList{}
            << QStringList{} << "Could not move a.z2l: Read-only file system.";
        QTest::newRow("shelf on another disk through a link")
            << "link to ramfs" << QStringList{"a.z2l=A", "b.z2l=" + big} << QStringList{"B.Z2L=OLD"} << false
            << QStringList{"a.z2l", "b.z2l"} << "y" << qint64(0) << QStringList{"shelf/"}
            << QStringList{"a.z2l=A", "b.z2l=" + big} << QStringList{"b.z2l 3 65536"} << "";
        QTest::newRow("put back from another disk")
            << "link to ramfs" << QStringList{} << QStringList{"a.z2l=A"} << true << QStringList{"a.z2l"}
            << "" << qint64(0) << QStringList{"a.z2l=A", "shelf/"} << QStringList{} << QStringList{} << "";
        QTest::newRow("another disk, cancelled in the middle of a copy")
            << "link to ramfs" << QStringList{"a.z2l=" + huge} << QStringList{} << false
            << QStringList{"a.z2l"} << "" << qint64(1) << QStringList{"a.z2l=" + huge, "shelf/"}
            << QStringList{} << QStringList{} << "";
        QTest::newRow("another disk without room")
            << "full ramfs" << QStringList{"a.z2l=" + big, "c.z2l=C"} << QStringList{} << false
            << QStringList{"a.z2l", "c.z2l"} << "" << qint64(0) << QStringList{"a.z2l=" + big, "shelf/"}
            << QStringList{"c.z2l=C"} << QStringList{} << "Could not move a.z2l: No space left on device.";
        // The copy is complete on the other disk, but the original cannot be removed: the copy is
        // taken back, so that the file is in one place only.
        QTest::newRow("read-only game folder, shelf on another disk")
            << "read-only, link to ramfs" << QStringList{"a.z2l=A"} << QStringList{} << false
            << QStringList{"a.z2l"} << "" << qint64(0) << QStringList{"a.z2l=A", "shelf/"} << QStringList{}
            << QStringList{} << "Could not move a.z2l: Read-only file system.";
    }

    void moveFiles() {
        QFETCH(QString, disk);
        QFETCH(QStringList, game);
        QFETCH(QStringList, shelf);
        QFETCH(bool, putBack);
        QFETCH(QStringList, names);
        QFETCH(QString, answers);
        QFETCH(qint64, stopAt);
        QFETCH(QStringList, gameAfter);
        QFETCH(QStringList, shelfAfter);
        QFETCH(QStringList, asked);
        QFETCH(QString, report);
        TempDir root;
        const QString gameDir = root.filePath("game"), shelfDir = gameDir + "/shelf";
        std::optional<ScratchMount> gameDisk, otherDisk;
        makeFolder(gameDir);
        if (disk.startsWith("read-only") && !gameDisk.emplace(gameDir, "tmpfs", "").skipReason().isEmpty())
            QSKIP(qPrintable(gameDisk->skipReason()));
        fillFolder(gameDir, game);
        if (disk.contains("ramfs")) {
            const QString elsewhere = root.filePath("elsewhere");
            makeFolder(elsewhere);
            if (!otherDisk
                     .emplace(elsewhere, disk.startsWith("full") ? "tmpfs" : "ramfs",
                              disk.startsWith("full") ? "size=16k" : "")
                     .skipReason()
                     .isEmpty())
                QSKIP(qPrintable(otherDisk->skipReason()));
            QVERIFY(QFile::link(elsewhere, shelfDir));
        }
        if (!shelf.isEmpty())
            fillFolder(shelfDir, shelf);
        if (disk.startsWith("read-only"))
            QVERIFY(gameDisk->makeReadOnly());
        const QString from = putBack ? shelfDir : gameDir, to = putBack ? gameDir : shelfDir;
        QMap<QString, qint64> times;
        for (const QString& name : names)
            times.insert(name, modifiedAt(from + '/' + name));

        QStringList questions;
        const AskReplace ask = [&](const QString& name, qint64 oldSize, qint64 newSize) {
            questions << QStringLiteral("%1 %2 %3").arg(name).arg(oldSize).arg(newSize);
            return answers.mid(questions.size() - 1, 1) == "y";
        };
        const MoveProgress progress = [&](int, int, const QString&, qint64 done, qint64, qint64) {
            return stopAt == 0 || done < stopAt;
        };
        QString told;
        MoveResult result;
        if (const FileError problem = makeShelfFolder(gameDir)) {
            told = shelfFolderProblem(problem);
        } else {
            HangGuard guard;
            result = zq2::moveFiles(from, to, names, ask, progress);
            told = failureReport("Could not move", result.failed);
        }

        QCOMPARE(told, report.contains("%1") ? report.arg(gameDir) : report);
        QCOMPARE(questions, asked);
        QCOMPARE(result.cancelled, stopAt > 0);
        QCOMPARE(folderEntries(gameDir), gameAfter);
        // Nothing half written is left on the shelf, not even hidden.
        QCOMPARE(folderEntries(shelfDir), shelfAfter);
        // A moved file keeps the time it was last written, whichever way it went.
        for (const QString& name : result.moved)
            QCOMPARE(modifiedAt(to + '/' + name), times.value(name));
    }

    // The moved file replaced a spelling in other letters that cannot be removed (it belongs to
    // someone else, on a shelf where only owners may remove files): the file counts as moved, and the
    // user hears which old file stayed, not that the move failed.
    void otherSpellingThatStaysIsReported() {
        if (geteuid() != 0)
            QSKIP("needs to act as two users");
        TempDir root;
        const QString gameDir = root.filePath("game"), shelfDir = gameDir + "/shelf";
        fillFolder(gameDir, {"a.z2l=NEW"});
        fillFolder(shelfDir, {"A.Z2L=OLD"});
        // The player owns the game folder and the level; anyone may add to the shelf, but only the
        // owner of a file there may remove it.
        const uid_t player = 65534;
        ::chmod(QFile::encodeName(root.path()).constData(), 0755);
        QVERIFY(::chown(QFile::encodeName(gameDir).constData(), player, player) == 0);
        QVERIFY(::chown(QFile::encodeName(gameDir + "/a.z2l").constData(), player, player) == 0);
        ::chmod(QFile::encodeName(shelfDir).constData(), 01777);
        QVERIFY(seteuid(player) == 0);
        const MoveResult result = zq2::moveFiles(gameDir, shelfDir, {"a.z2l"}, {});
        QVERIFY(seteuid(0) == 0);
        QCOMPARE(result.moved, QStringList{"a.z2l"});
        QCOMPARE(moveReport(result, "Could not move"),
                 "A.Z2L could not be removed after the moved file took its place: Operation not permitted.");
        QCOMPARE(folderEntries(shelfDir), QStringList({"A.Z2L=OLD", "a.z2l=NEW"}));
    }

    void roomLine_data() {
        QTest::addColumn<int>("levels");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("red");
        QTest::newRow("room left") << 240 << "Levels in the game: 240 of 255. Room for 15 more." << false;
        QTest::newRow("at the limit") << 255 << "Levels in the game: 255 of 255. Room for 0 more." << false;
        QTest::newRow("past the limit") << 256 << "Levels in the game: 256 of 255. 1 too many." << true;
    }
    void roomLine() {
        QFETCH(int, levels);
        QFETCH(QString, text);
        QFETCH(bool, red);
        const RoomLine line = zq2::roomLine(levels);
        QCOMPARE(line.text, text);
        QCOMPARE(line.overLimit, red);
    }
};

QTEST_GUILESS_MAIN(TestShelf)
#include "tst_shelf.moc"
