// File work on a worker thread, without any window: stopping it inside a file, between files and
// while a question is open; questions answered on the thread that started the work; the program
// told to quit while a job runs; a folder that goes away under a running job; two folders read
// side by side.
#include "catalogue/folderlisting.h"
#include "fileops/fileruns.h"
#include "fileops/job.h"
#include "fileops/kilobytes.h"
#include "platform/filenames.h"
#include "support/faults.h"
#include "support/tempfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

using namespace zq2;
using namespace zq2::test;
using namespace Qt::StringLiterals;

namespace {

// A run to stop: the cache and game folders as fillFolder takes them, the command ("copy" every
// cache file, or "delete" every game file), the moment of the cancel, and what is left.
struct StopCase {
    QStringList cache, game;
    QString command;
    QString cancelAt; // "file N": as file N starts; "inside N": halfway through file N; "question"
    QStringList gameAfter;
    QString report;
};

constexpr qint64 kBig = 3 * 1024 * 1024; // several pieces of a copy

} // namespace

class TestJobs : public QObject {
    Q_OBJECT

    TempDir home_;

private slots:
    void initTestCase() { useHomeOfItsOwn(home_.path()); }

    void cleanup() {
        // A quit asked for by a test would end the event loops of the tests that follow; running
        // the application's own loop once makes it forget that.
        QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
        QCoreApplication::exec();
    }

    void cancelKeepsWhatIsComplete_data() {
        QTest::addColumn<StopCase>("c");
        const QString big = "big.z2l=#"; // kBig bytes, written by the test
        QTest::newRow("copy, inside a file") << StopCase{{"a.z2l=A", big, "c.z2l=C"},
                                                         {"big.z2l=OLD"},
                                                         "copy",
                                                         "inside 1",
                                                         {"a.z2l=A", "big.z2l=OLD"},
                                                         "1 of 3 files was copied before you cancelled."};
        QTest::newRow("copy, between files") << StopCase{{"a.z2l=A", "b.z2l=B", "c.z2l=C"},
                                                         {},
                                                         "copy",
                                                         "file 2",
                                                         {"a.z2l=A", "b.z2l=B"},
                                                         "2 of 3 files were copied before you cancelled."};
        QTest::newRow("copy, while a question is open")
            << StopCase{{"a.z2l=A", "b.z2l=B"},
                        {"A.Z2L=old"},
                        "copy",
                        "question",
                        {"A.Z2L=old"},
                        "0 of 2 files were copied before you cancelled."};
        QTest::newRow("delete, between files") << StopCase{{},
                                                           {"a.z2l=A", "b.z2l=B", "c.z2l=C"},
                                                           "delete",
                                                           "file 1",
                                                           {"b.z2l=B", "c.z2l=C"},
                                                           "1 of 3 files was deleted before you cancelled."};
    }
    void cancelKeepsWhatIsComplete() {
        QFETCH(StopCase, c);
        TempDir root;
        const QString cache = root.filePath("cache"), game = root.filePath("game");
        QStringList cacheEntries = c.cache;
        cacheEntries.removeAll("big.z2l=#");
        fillFolder(cache, cacheEntries);
        fillFolder(game, c.game);
        if (c.cache.contains("big.z2l=#"))
            writeFile(cache, "big.z2l", QByteArray(kBig, 'b'));
        JobContext job([&](const QString&, Buttons) {
            if (c.cancelAt == "question")
                job.cancel();
            return Answer::Yes; // the answer given as the cancel comes
        });
        const int at = c.cancelAt.section(' ', 1).toInt();
        job.onProgress = [&](const JobProgress& p) {
            const bool inside = c.cancelAt.startsWith("inside") && p.done > 0 && p.done < p.total;
            if (p.index == at && (inside || (c.cancelAt.startsWith("file") && p.total == 0)))
                job.cancel();
        };
        FileRun run;
        const QStringList names = QDir(c.command == "copy" ? cache : game).entryList(QDir::Files, QDir::Name);
        runJob(job, [&] {
            FolderIndex gameFolder(game);
            run = c.command == "copy" ? copyFromCache(cache, gameFolder, names, job)
                                      : deleteFiles(game, names, job);
        });
        QVERIFY(run.cancelled);
        QCOMPARE(runReport(run, "Could not copy", c.command == "copy" ? "copied" : "deleted"), c.report);
        // Nothing half-written, under the real name or a temporary one; the old file intact.
        QCOMPARE(folderEntries(game), c.gameAfter);
    }

    // The work waits for each answer, which is given on the thread that started it; the window's
    // thread meanwhile goes on with its events.
    void questionsAreAskedOnTheStartingThread() {
        TempDir root;
        const QString cache = root.filePath("cache"), game = root.filePath("game");
        fillFolder(cache, {"a.z2l=new a", "b.z2l=new b"});
        fillFolder(game, {"a.z2l=A", "B.Z2L=B"});
        QStringList asked;
        bool onStartingThread = true;
        int ticks = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
        tick.start(1);
        JobContext job([&](const QString& text, Buttons) {
            onStartingThread =
                onStartingThread && QThread::currentThread() == QCoreApplication::instance()->thread();
            asked << text;
            QTest::qWait(20); // the user takes a moment
            return asked.size() == 1 ? Answer::Yes : Answer::No;
        });
        bool workOnOtherThread = false;
        FileRun run;
        runJob(job, [&] {
            workOnOtherThread = QThread::currentThread() != QCoreApplication::instance()->thread();
            FolderIndex gameFolder(game);
            run = copyFromCache(cache, gameFolder, {"a.z2l", "b.z2l"}, job);
        });
        QVERIFY(workOnOtherThread);
        QVERIFY(onStartingThread);
        QVERIFY(ticks > 0);
        QCOMPARE(asked, QStringList({replaceQuestion("a.z2l", 1, 5, QLocale::system()),
                                     replaceQuestion("b.z2l", 1, 5, QLocale::system())}));
        QCOMPARE(run.done, 1);
        QCOMPARE(folderEntries(game), QStringList({"a.z2l=new a", "B.Z2L=B"}));
    }

    // Told to quit, the event loops of the starting thread end: the job is stopped, its half-written
    // copy removed, and the call returns only once the worker has ended.
    void quitDuringAJob() {
        HangGuard guard;
        TempDir root;
        const QString cache = root.filePath("cache"), game = root.filePath("game");
        writeFile(cache, "big.z2l", QByteArray(kBig, 'b'));
        makeFolder(game);
        JobContext job;
        std::atomic<bool> quitAsked = false;
        job.onProgress = [&](const JobProgress& p) {
            if (p.done == 0 || quitAsked.exchange(true))
                return;
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
            // The quit comes while this file is being copied: wait until it has been heard.
            for (int i = 0; i < 1000 && !job.cancelled(); ++i)
                QThread::msleep(5);
        };
        FileRun run;
        bool workEnded = false;
        runJob(job, [&] {
            FolderIndex gameFolder(game);
            run = copyFromCache(cache, gameFolder, {"big.z2l"}, job);
            workEnded = true;
        });
        QVERIFY(workEnded);
        QVERIFY(run.cancelled);
        QCOMPARE(folderEntries(game), QStringList());
    }

    // The game folder goes away after the first copy: each later copy fails naming its file, and the
    // run goes on to its end.
    void folderRemovedWhileTheJobRuns() {
        TempDir root;
        const QString cache = root.filePath("cache"), game = root.filePath("game");
        fillFolder(cache, {"a.z2l=A", "b.z2l=B", "c.z2l=C"});
        makeFolder(game);
        JobContext job;
        job.onProgress = [&](const JobProgress& p) {
            if (p.index == 1 && p.total == 0)
                QDir(game).removeRecursively();
        };
        FileRun run;
        runJob(job, [&] {
            FolderIndex gameFolder(game);
            run = copyFromCache(cache, gameFolder, {"a.z2l", "b.z2l", "c.z2l"}, job);
        });
        QVERIFY(!run.cancelled);
        QCOMPARE(run.done, 1);
        QCOMPARE(
            runReport(run, "Could not copy", "copied"),
            "Could not copy 2 files:\nb.z2l: No such file or directory\nc.z2l: No such file or directory");
    }

    // The game folder and the cache are read at once, the cache on a thread of its own; each reading
    // decodes names beyond ASCII and bytes that are not UTF-8 while the other does the same.
    void twoFoldersReadSideBySide() {
        TempDir root;
        const QString game = root.filePath("game"), cache = root.filePath("cache");
        const QString raw = decodeFileName("caf\xE9.z2b");
        fillFolder(game, {"Caf\u00e9.z2l=L", "b.Z2T=T", raw + "=M", ".zq2-0123abcd.part=P"});
        fillFolder(cache, {"z.z2l=Z", "\u00c9t\u00e9.txt=X", "A.z2l=A"});
        const auto [gameContents, cacheContents] = readFolders(game, cache);
        QCOMPARE(gameContents.names, QStringList({"b.Z2T", "Caf\u00e9.z2l", raw}));
        QCOMPARE(gameContents.leftovers, QStringList({".zq2-0123abcd.part"}));
        QCOMPARE(cacheContents.names, QStringList({"A.z2l", "z.z2l", "\u00c9t\u00e9.txt"}));
        const FolderCounts counts = countContents(gameContents, cacheContents);
        QCOMPARE(QList<qint64>({counts.levels, counts.tilesets, counts.music, counts.cacheFiles}),
                 QList<qint64>({1, 1, 1, 3}));
    }

    // The copy replaced a file spelled in other letters, which then cannot be removed (it belongs to
    // someone else in a folder where only owners may remove files): the user hears that the copy
    // is in place and which file is left, not that the copy failed.
    void oldSpellingThatStaysIsReported() {
        if (geteuid() != 0)
            QSKIP("needs to act as two users");
        TempDir root;
        const QString cache = root.filePath("cache"), game = root.filePath("game");
        fillFolder(cache, {"level1.z2l=NEW"});
        fillFolder(game, {"LEVEL1.Z2L=OLD"});
        // Anyone may add files to the game folder, but only its owner may remove a file.
        ::chmod(QFile::encodeName(root.path()).constData(), 0755);
        ::chmod(QFile::encodeName(game).constData(), 01777);
        JobContext job([](const QString&, Buttons) { return Answer::Yes; });
        FileRun run;
        QVERIFY(seteuid(65534) == 0);
        FolderIndex gameFolder(game);
        run = copyFromCache(cache, gameFolder, {"level1.z2l"}, job);
        QVERIFY(seteuid(0) == 0);
        QCOMPARE(run.done, 1);
        QCOMPARE(runReport(run, "Could not copy", "copied"),
                 "LEVEL1.Z2L could not be removed after the copy took its place: Operation not permitted.");
        QCOMPARE(folderEntries(game), QStringList({"LEVEL1.Z2L=OLD", "level1.z2l=NEW"}));
    }
};

QTEST_GUILESS_MAIN(TestJobs)
#include "tst_jobs.moc"
