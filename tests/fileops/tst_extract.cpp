#include "fileops/extractarchive.h"
#include "support/tempfiles.h"

#include "archivewriter.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace zq2;
using namespace zq2::test;
using zq2::tools::ArchiveKind;
using zq2::tools::ArchiveMember;

namespace {

// How the kinds in the table are written: by libarchive as zip unless listed here, except "lzh", a
// fixture made with jlha-utils; "text", "cut zip", "bad crc zip" and "locked zip" are spoiled or locked.
const QMap<QString, ArchiveKind> kWritten{{"dos zip", ArchiveKind::ZipCp437},
                                          {"7z", ArchiveKind::SevenZip},
                                          {"tar.gz", ArchiveKind::TarGz},
                                          {"tar.bz2", ArchiveKind::TarBz2},
                                          {"tar.xz", ArchiveKind::TarXz}};

// File contents written in a table: plain text, or "#<count><z|x|r>" for that many zeros, "x"s or
// bytes that do not compress.
QByteArray contents(const QString& recipe) {
    if (!recipe.startsWith('#'))
        return recipe.toUtf8();
    QByteArray bytes(recipe.mid(1, recipe.size() - 2).toLongLong(), recipe.back() == 'x' ? 'x' : '\0');
    QRandomGenerator random(13);
    if (recipe.back() == 'r')
        for (char& byte : bytes)
            byte = char(random.generate());
    return bytes;
}

// "name=recipe" as folderEntries shows it.
QStringList expanded(const QStringList& entries) {
    QStringList out;
    for (const QString& entry : entries)
        out << (entry.endsWith('/')
                    ? entry
                    : entry.section('=', 0, 0) + '=' + QString::fromLatin1(contents(entry.section('=', 1))));
    return out;
}

// "path=recipe" a file, "dir:path", "link:path>target", "hard:path>target", "dev:path".
QList<ArchiveMember> members(const QStringList& recipes) {
    using Type = ArchiveMember::Type;
    QList<ArchiveMember> list;
    for (const QString& recipe : recipes) {
        const QString type = recipe.section(':', 0, 0), rest = recipe.section(':', 1);
        const QString path = rest.section('>', 0, 0), target = rest.section('>', 1);
        if (type == "dir" || type == "dev")
            list.append({rest, {}, type == "dir" ? Type::Folder : Type::Device, {}});
        else if (type == "link" || type == "hard")
            list.append({path, {}, type == "link" ? Type::Symlink : Type::Hardlink, target});
        else
            list.append(ArchiveMember::file(recipe.section('=', 0, 0), contents(recipe.section('=', 1))));
    }
    return list;
}

QString makeArchive(const QString& folder, const QString& kind, const QStringList& recipes) {
    const bool named = kind == "lzh" || (kWritten.contains(kind) && kind != "dos zip");
    const QString path = folder + "/pack." + (named ? kind : "zip");
    if (kind == "lzh")
        return QFile::copy(QFINDTESTDATA("data/marsh.lzh"), path) ? path : QString();
    const QString error = tools::writeArchive(path, kWritten.value(kind, ArchiveKind::Zip), members(recipes),
                                              kind == "locked zip" ? "secret" : "");
    if (!error.isEmpty())
        return {};
    QByteArray bytes = readFile(path);
    if (kind == "text")
        bytes = "Just some text, not an archive.\n";
    if (kind == "cut zip")
        bytes.truncate(bytes.size() / 2);
    if (kind == "bad crc zip") // one byte of the member that does not compress
        bytes[bytes.indexOf(contents("#2000r").left(32)) + 1000] ^= 1;
    writeFile(folder, QFileInfo(path).fileName(), bytes);
    return path;
}

// An archive of `kind` holding `members`, extracted into a game folder that holds `before` ("name=text",
// or "name/" for a folder), answering the replace questions from `answers` ("y" or "n" each).
// `after` is the game folder then, `questions` those asked and `message` the report ("…" at its end:
// the start of it). `limits` are the file and the total bytes, 0 as shipped. `cancelAt` cancels at the
// first progress call that finds that file in place and another one half-written beside it.
struct ExtractCase {
    QString kind;
    QStringList members, before;
    QString answers;
    QList<qint64> limits;
    QString cancelAt;
    QStringList after, questions;
    QString message;
};

} // namespace

class TestExtract : public QObject {
    Q_OBJECT

private slots:
    void extract_data() {
        QTest::addColumn<ExtractCase>("c");
        const auto row = [](const char* tag, const char* kind, const QStringList& members,
                            const QStringList& after, const QString& message = {},
                            const QList<qint64>& limits = {0, 0}) {
            QTest::newRow(tag) << ExtractCase{kind, members, {}, {}, limits, {}, after, {}, message};
        };
        const QString bomb = "Could not extract %1: it unpacks to more than 1000 times its size, as only a "
                             "damaged or hostile archive does.";
        row("zip, nested folders", "zip",
            {"Pack/levels/Cave.z2l=CAVE", "Pack/tiles/ICE.Z2T=ICE", "Pack/music/tune.z2b=TUNE",
             "Pack/readme.txt=README", "dir:Pack/Folder.z2l/"},
            {"Cave.z2l=CAVE", "ICE.Z2T=ICE", "tune.z2b=TUNE"});
        row("7z", "7z", {"deep/a/b/c/Sky.z2l=SKY", "notes.txt=x"}, {"Sky.z2l=SKY"});
        row("tar.gz", "tar.gz", {"Sub/Forest.z2t=FOREST", "x.txt=x"}, {"Forest.z2t=FOREST"});
        QString lhaLevel; // as the fixture was made
        for (int i = 0; i < 200; ++i)
            lhaLevel += QString("LHA LEVEL row %1\n").arg(i, 3, 10, QChar('0'));
        row("lzh", "lzh", {}, {"Marsh.z2l=" + lhaLevel});
        row("paths that climb out or start at the root", "zip",
            {"../up.z2l=UP", "/abs/root.z2l=ROOT", "..\\win\\back.z2l=BACK", "C:drive.z2l=D", "x/..=DOTS"},
            {"back.z2l=BACK", "root.z2l=ROOT", "up.z2l=UP"},
            "Could not extract 2 files:\nC:drive.z2l: its name cannot be used as a file name\n"
            "x/..: its name cannot be used as a file name");
        row("links and devices", "tar.gz",
            {"real.z2l=REAL", "link:evil.z2l>/etc/passwd", "hard:twin.z2l>real.z2l", "dev:null.z2b",
             "link:other>real.z2l"},
            {"real.z2l=REAL"},
            "Could not extract 3 files:\nevil.z2l: it is a link, not a file\ntwin.z2l: it is a link, not a "
            "file\nnull.z2b: it is a device, not a file");
        row("DOS code page name", "dos zip", {"DOS/Caf\u00e9 \u00c4rger.z2l=DOS"},
            {"Caf\u00e9 \u00c4rger.z2l=DOS"});
        row("UTF-8 name", "zip", {"Caf\u00e9 \u03a9.z2l=UTF"}, {"Caf\u00e9 \u03a9.z2l=UTF"});
        row("empty archive", "zip", {}, {}, "No level, tileset or music files in pack.zip.");
        row("no game files", "tar.gz", {"docs/readme.txt=x"}, {},
            "No level, tileset or music files in pack.tar.gz.");
        row("not an archive", "text", {}, {},
            "Could not extract pack.zip: it is not an archive of a kind this program reads.");
        row("cut short", "cut zip", {"big.z2l=#300000r", "after.z2l=A"}, {},
            "Could not extract pack.zip: it is damaged (…");
        row("bad checksum", "bad crc zip", {"good.z2l=GOOD", "bad.z2l=#2000r", "next.z2l=NEXT"},
            {"good.z2l=GOOD", "next.z2l=NEXT"},
            "Could not extract bad.z2l: it cannot be unpacked (ZIP bad CRC…");
        row("protected by a password", "locked zip", {"secret.z2l=SECRET", "notes.txt=x"}, {},
            "Could not extract secret.z2l: it is protected by a password.");
        // These two read bz2 and xz archives to their ends.
        row("bomb-like ratio", "tar.bz2", {"bomb.z2l=#4000000z"}, {}, bomb.arg("pack.tar.bz2"));
        row("a skipped member unpacks like a bomb", "tar.xz", {"padding.bin=#8000000z", "late.z2l=L"}, {},
            bomb.arg("pack.tar.xz"));
        const QStringList three{"first.z2l=#500x", "big.z2l=#700x", "last.z2l=L"};
        row("a file over the limit", "zip", three, {"first.z2l=#500x"},
            "Could not extract pack.zip: big.z2l is larger than 600 bytes.", {600, 0});
        row("files adding up over the limit", "zip", three, {"first.z2l=#500x"},
            "Could not extract pack.zip: its level, tileset and music files add up to more than 1 KiB.",
            {0, 1024});

        const auto asked = [](const char* tag, const QStringList& members, const QStringList& before,
                              const char* answers, const QStringList& after, const QStringList& questions,
                              const QString& message = {}) {
            QTest::newRow(tag) << ExtractCase{"zip", members, before,    answers, {0, 0},
                                              {},    after,   questions, message};
        };
        const QStringList twins{"a/dup.z2l=ONE", "b/DUP.Z2L=TWO!"};
        asked("same name in two folders, yes", twins, {}, "y", {"DUP.Z2L=TWO!"}, {"DUP.Z2L 3 4"});
        asked("same name in two folders, no", twins, {}, "n", {"dup.z2l=ONE"}, {"DUP.Z2L 3 4"});
        asked("there in another case, no", {"cave.z2l=NEWER"}, {"CAVE.Z2L=OLD"}, "n", {"CAVE.Z2L=OLD"},
              {"cave.z2l 3 5"});
        asked("there in another case, yes", {"cave.z2l=NEWER"}, {"CAVE.Z2L=OLD"}, "y", {"cave.z2l=NEWER"},
              {"cave.z2l 3 5"});
        asked("a folder in the way", {"cave.z2l=C", "ok.z2l=OK"}, {"cave.z2l/"}, "",
              {"cave.z2l/", "ok.z2l=OK"}, {}, "Could not extract cave.z2l: File exists.");
        QTest::newRow("cancel halfway through a file")
            << ExtractCase{"zip",
                           {"first.z2l=1", "second.z2l=#600000r", "third.z2l=3"},
                           {},
                           {},
                           {0, 0},
                           "first.z2l",
                           {"first.z2l=1"},
                           {},
                           {}};
    }

    void extract() {
        QFETCH(ExtractCase, c);
        QTemporaryDir root;
        const QString game = root.filePath("game");
        fillFolder(game, c.before);
        const QString archive = makeArchive(root.path(), c.kind, c.members);
        QVERIFY(!archive.isEmpty());

        QStringList asked;
        const AskReplace ask = [&](const QString& name, qint64 oldSize, qint64 newSize) {
            asked << QString("%1 %2 %3").arg(name).arg(oldSize).arg(newSize);
            return c.answers.mid(asked.size() - 1, 1) == "y";
        };
        qint64 lastDone = 0;
        bool inOrder = true;
        const ExtractProgress progress = [&](qint64 done, qint64 total) {
            inOrder = inOrder && done >= lastDone && done <= total && total == QFileInfo(archive).size();
            lastDone = done;
            return c.cancelAt.isEmpty() || !QFile::exists(game + '/' + c.cancelAt) ||
                   QDir(game).entryList({".zq2-*"}, QDir::Files | QDir::Hidden).isEmpty();
        };
        ExtractLimits bounds;
        bounds.fileBytes = c.limits[0] != 0 ? c.limits[0] : bounds.fileBytes;
        bounds.totalBytes = c.limits[1] != 0 ? c.limits[1] : bounds.totalBytes;

        FolderIndex folder(game);
        const ExtractResult result = extractGameFiles(archive, folder, ask, progress, bounds);
        const QString report = extractionReport(QFileInfo(archive).fileName(), result);

        QCOMPARE(folderEntries(game), expanded(c.after));
        QCOMPARE(asked, c.questions);
        if (c.message.endsWith(u'…'))
            QVERIFY2(report.startsWith(c.message.chopped(1)), qPrintable(report));
        else
            QCOMPARE(report, c.message);
        using End = ExtractResult::End;
        QCOMPARE(result.end, !c.cancelAt.isEmpty()                                     ? End::Cancelled
                             : c.message.contains(QFileInfo(archive).fileName() + ':') ? End::Stopped
                                                                                       : End::Completed);
        QVERIFY(inOrder);
        // Nothing lands beside the game folder, whatever the member paths say.
        QCOMPARE(QDir(root.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList({"game", QFileInfo(archive).fileName()}));
    }
};

QTEST_GUILESS_MAIN(TestExtract)
#include "tst_extract.moc"
