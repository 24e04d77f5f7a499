#include "fileops/kilobytes.h"
#include "platform/filenames.h"
#include "restore/restore.h"
#include "restore/widgets/restoredialog.h"
#include "support/faults.h"
#include "support/scriptedprompter.h"
#include "support/tempfiles.h"

#include <QCheckBox>
#include <QDir>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <optional>

#include <unistd.h>

using namespace zq2;
using namespace zq2::test;

namespace {

template <typename... Values> void row(const char* name, const Values&... values) {
    (QTest::newRow(name) << ... << values);
}

// Ten characters, 'x' for ticked: the nine groups in the dialog's order, then auto-overwrite.
RestoreChoice choiceOf(const QString& ticks) {
    const auto x = [&](int i) { return ticks.at(i) == 'x'; };
    return {x(0), x(1), x(2), x(3), x(4), x(5), x(6), x(7), x(8), x(9)};
}

QStringList list(const QString& commaSeparated) {
    return commaSeparated.split(',', Qt::SkipEmptyParts);
}

// A folder's entries as "name=contents" for a file and "name/" for a folder, in name order, separated
// by commas, or "-" for a folder that is not there.
void fill(const QString& folder, const QString& entries) {
    if (!folder.isEmpty() && entries != "-")
        fillFolder(folder, list(entries));
}

QString folderState(const QString& folder) {
    return !folder.isEmpty() && QDir(folder).exists() ? folderEntries(folder).join(',') : "-";
}

// A run of the restore: the CD's and the game folder's entries as fill() takes them, the ticks as
// choiceOf() takes them, the questions with their answers, the outcome and the game folder after it.
struct RestoreCase {
    QString cd, game, ticks, asked, outcome, gameAfter;
};

} // namespace

class TestRestore : public QObject {
    Q_OBJECT

private slots:
    // A drive that cannot be read is the CD's fault only when the failing file is on the CD; a
    // missing file or folder is told as a wrong CD on either side.
    void failureCodeFollowsTheFailingSide() {
        const QString cd = "/media/cdrom/Resources";
        QCOMPARE(failureCode(FileError::fromErrno(EIO, cd + "/a.z2l"), cd), 68);
        QCOMPARE(failureCode(FileError::fromErrno(EIO, "/home/p/Zeno2/a.z2l"), cd), 1000 + EIO);
        QCOMPARE(failureCode(FileError::fromErrno(ENOENT, "/home/p/Zeno2/a.z2l"), cd), 76);
    }

    // Each question "name oldSize newSize" is followed by the answer given to it, y or n. A game
    // folder "?" is none known yet.
    void runRestore_data() {
        QTest::addColumn<RestoreCase>("c");
        const QString lvl = "x.........";
        const QString ten = "a.z2l=0,b.z2l=1,c.z2l=2,d.z2l=3,e.z2l=4,f.z2l=5,g.z2l=6,h.z2l=7,i.z2l=8,j.z2l=9";
        row("nothing ticked", RestoreCase{"a.z2l=new", "", ".........x", "", "nothing ticked", ""});
        row("no file of the groups", RestoreCase{"a.z2l=new", "", "...x......", "", "wrong CD", ""});
        row("ticked groups only, CD spelling",
            RestoreCase{"A.Z2L=1,t.z2t=2,Zeno2.EXE=3,ZLE.ini=4", "", "x..x......", "", "completed",
                        "A.Z2L=1,Zeno2.EXE=3"});
        row("other case",
            RestoreCase{"a.z2l=new", "A.Z2L=older", lvl, "a.z2l 5 3 y", "completed", "a.z2l=new"});
        row("auto-overwrite",
            RestoreCase{"a.z2l=new", "A.Z2L=older", "x........x", "", "completed", "a.z2l=new"});
        row("no skips only that file",
            RestoreCase{"a.z2l=1,b.z2l=2,c.z2l=3", "B.z2l=old,c.z2l=older", lvl, "b.z2l 3 1 n,c.z2l 5 1 y",
                        "completed", "a.z2l=1,B.z2l=old,c.z2l=3"});
        row("failure on the fifth of ten",
            RestoreCase{ten, "e.z2l/", lvl, "", "failed 1017", "a.z2l=0,b.z2l=1,c.z2l=2,d.z2l=3,e.z2l/"});
        row("no CD folder", RestoreCase{"-", "", lvl, "", "failed 76", ""});
        row("no game folder", RestoreCase{"a.z2l=new", "-", lvl, "", "failed 76", "-"});
        row("no game folder known",
            RestoreCase{"zq2rootprobe.z2l=x", "?", "x........x", "", "failed 76", "-"});
        // Names are the file system's bytes: "\xE9" is a byte of its own, not U+FFFD and not "\xC9";
        // only the letters that decode ("ÉTÉ", "été") fold.
        row("names not UTF-8",
            RestoreCase{
                decodeFileName("CAF\xC9.z2l=c,caf\xE9.z2l=new,\xC3\x89T\xC3\x89\xE9.z2l=e,\xFF.Z2L=b"),
                decodeFileName("caf\xEF\xBF\xBD.z2l=twin,\xC3\xA9t\xC3\xA9\xE9.Z2L=ee,\xFF.z2l=old"), lvl,
                decodeFileName("\xC3\x89T\xC3\x89\xE9.z2l 2 1 y,\xFF.Z2L 3 1 y"), "completed",
                decodeFileName("CAF\xC9.z2l=c,caf\xE9.z2l=new,caf\xEF\xBF\xBD.z2l=twin,"
                               "\xC3\x89T\xC3\x89\xE9.z2l=e,\xFF.Z2L=b")});
    }
    void runRestore() {
        QFETCH(RestoreCase, c);
        TempDir root;
        const QString cdDir = root.filePath("cd"),
                      gameDir = c.game == "?" ? QString() : root.filePath("game");
        fill(cdDir, c.cd);
        fill(gameDir, c.game);
        // Each expected question "name oldSize newSize y|n" as the user reads it, and its answer.
        QStringList expected, questions;
        for (const QString& asked : list(c.asked)) {
            const QStringList parts = asked.split(' ');
            expected << replaceQuestion(parts[0], parts[1].toLongLong(), parts[2].toLongLong(),
                                        QLocale::system());
        }
        JobContext job([&](const QString& text, Buttons buttons) {
            questions << text;
            return buttons == Buttons::YesNo && list(c.asked).value(questions.size() - 1).endsWith('y')
                       ? Answer::Yes
                       : Answer::No;
        });
        const RestoreResult result = zq2::runRestore(cdDir, gameDir, choiceOf(c.ticks), job);
        const char* kind[] = {"nothing ticked", "wrong CD", "failed", "completed", "cancelled"};
        QCOMPARE(kind[int(result.kind)] + (result.code ? ' ' + QString::number(result.code) : ""), c.outcome);
        QCOMPARE(questions, expected);
        QCOMPARE(folderState(gameDir), c.gameAfter);
        QCOMPARE(folderState(cdDir), c.cd);           // a CD is never written to
        QVERIFY(!QFile::exists("/zq2rootprobe.z2l")); // nor the root, with no game folder known
    }

    // A game folder that cannot take the file: the message names it and says why, and the file
    // already there stays as it was.
    void failureSaysWhy_data() {
        QTest::addColumn<QString>("reason");
        row("full disk", "No space left on device.  Error number 1028.");
        row("read-only file system", "Read-only file system.  Error number 1030.");
        row("no permission", "Permission denied.  Error number 1013.");
    }
    void failureSaysWhy() {
        QFETCH(QString, reason);
        const QString fault = QTest::currentDataTag();
        QTemporaryDir root;
        const QString cd = root.filePath("cd"), game = root.filePath("game");
        writeFile(cd, "level1.z2l", QByteArray(256 * 1024, 'c'));
        QDir().mkpath(game);
        std::optional<ScratchMount> disk;
        if (fault != "no permission" && !disk.emplace(game, "tmpfs", "size=64k").skipReason().isEmpty())
            QSKIP(qPrintable(disk->skipReason()));
        writeFile(game, "level1.z2l", "old");
        QVERIFY(fault != "read-only file system" || disk->makeReadOnly());
        // Qt's permission bits in hex read like octal modes. Root writes through folder permissions,
        // so root acts as an unprivileged user meanwhile.
        QFile::setPermissions(root.path(), QFile::Permissions(0x7755));
        QFile::setPermissions(game, QFile::Permissions(0x5555));
        const bool dropRoot = fault == "no permission" && geteuid() == 0;
        QVERIFY(!dropRoot || seteuid(65534) == 0);
        JobContext job;
        const RestoreResult result = zq2::runRestore(cd, game, choiceOf("x........x"), job);
        QVERIFY(!dropRoot || seteuid(0) == 0);
        QFile::setPermissions(game, QFile::Permissions(0x7700));
        QCOMPARE(failureMessage(result.code, result.error),
                 "Could not restore " + game + "/level1.z2l: " + reason);
        QCOMPARE(folderState(game), "level1.z2l=old");
    }

    // Through the dialog: each ticked box restores its own group of files and no other, a run that
    // fails says so under the error title and leaves the dialog open with its ticks for another try,
    // and one that completes closes it. Waits for each run's answer, wherever the run takes place.
    void dialogRestoresTheTickedGroupsAndOffersARetry() {
        QTemporaryDir root;
        const QString cd = root.filePath("cd"), game = root.filePath("game");
        // One file of each group, in the order of the boxes; "a.z2l" comes first by name.
        fillFolder(cd,
                   list("a.z2l=lvl,t.z2t=t,m.z2b=m,Zeno2.exe=g,ZLE.exe=z,ZLE.ini=i,v.z2v=v,e.z2e=e,k.z2m=k"));
        QDir().mkpath(game + "/a.z2l");
        ScriptedPrompter prompter;
        for (Answer answer : {Answer::Ok, Answer::Yes, Answer::Ok})
            prompter.answer(answer);
        RestoreDialog dialog(game, cd, prompter, SkinValues{});
        dialog.show();
        const QStringList ticked{"Lvls", "Music", "ZLE", "Vid", "Macros"};
        for (QCheckBox* box : dialog.findChildren<QCheckBox*>())
            box->setChecked(ticked.contains(box->objectName()));
        QTest::mouseClick(dialog.findChild<QPushButton*>("Command2"), Qt::LeftButton);
        QTRY_COMPARE(prompter.asked.size(), 1);
        QVERIFY(dialog.isVisible());
        QCOMPARE(prompter.asked[0].title, QString("Zeno 2 Organizer - Error"));
        QVERIFY(QDir(game).rmdir("a.z2l"));
        writeFile(game, "A.Z2L", "older");
        QTest::mouseClick(dialog.findChild<QPushButton*>("Command2"), Qt::LeftButton);
        QTRY_VERIFY(!dialog.isVisible());
        QCOMPARE(prompter.texts(),
                 (QStringList{"Could not restore " + game + "/a.z2l: File exists.  Error number 1017.",
                              replaceQuestion("a.z2l", 5, 3, QLocale::system()),
                              "Zeno 2 file restore complete."}));
        QCOMPARE(folderState(game), "a.z2l=lvl,k.z2m=k,m.z2b=m,v.z2v=v,ZLE.exe=z");
    }
};

QTEST_MAIN(TestRestore)
#include "tst_restore.moc"
