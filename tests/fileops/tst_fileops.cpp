// File operations: copying, replacing, deleting into the trash, and extracting archives.
#include "archivewriter.h"
#include "fileops/deletion.h"
#include "fileops/dropfiles.h"
#include "fileops/extractarchive.h"
#include "fileops/filecopy.h"
#include "fileops/kilobytes.h"
#include "platform/filenames.h"
#include "support/faults.h"
#include "support/tempfiles.h"

#include <QDateTime>
#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <clocale>
#include <optional>

#include <unistd.h>

using namespace zq2;
using namespace zq2::test;
using namespace Qt::StringLiterals;
using zq2::tools::ArchiveKind;
using zq2::tools::ArchiveMember;

namespace {

// How the kinds in the tables are written: by libarchive as zip unless listed here, except "lzh", a
// fixture made with jlha-utils; "text", "cut zip", "bad crc zip", "bad header tar", "locked zip" and
// "huge dictionary 7z" are spoiled, locked or crafted.
const QMap<QString, ArchiveKind> kWritten{{"dos zip", ArchiveKind::ZipCp437},
                                          {"7z", ArchiveKind::SevenZip},
                                          {"huge dictionary 7z", ArchiveKind::SevenZip},
                                          {"tar", ArchiveKind::Tar},
                                          {"bad header tar", ArchiveKind::Tar},
                                          {"tar.gz", ArchiveKind::TarGz},
                                          {"tar.bz2", ArchiveKind::TarBz2},
                                          {"tar.xz", ArchiveKind::TarXz},
                                          {"rar", ArchiveKind::Rar},
                                          {"split rar", ArchiveKind::RarFirstPart}};

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

QString archiveEnding(const QString& kind) {
    if (kind == "lzh" || kind.startsWith("tar"))
        return kind;
    for (const char* ending : {"7z", "tar", "rar"})
        if (kind.endsWith(ending))
            return ending;
    return "zip";
}

// An archive of `kind` named `name` (with the kind's ending) in `folder`.
QString makeArchive(const QString& folder, const QString& kind, const QStringList& recipes,
                    const QString& name = "pack") {
    const QString path = folder + '/' + name + '.' + archiveEnding(kind);
    if (kind == "lzh")
        return QFile::copy(QFINDTESTDATA("data/marsh.lzh"), path) ? path : QString();
    QString error = tools::writeArchive(path, kWritten.value(kind, ArchiveKind::Zip), members(recipes),
                                        kind == "locked zip" ? "secret" : "");
    if (kind == "huge dictionary 7z" && error.isEmpty())
        error = tools::setSevenZipDictionary(path, 0xFFFFFFFF);
    if (!error.isEmpty())
        return {};
    QByteArray bytes = readFile(path);
    if (kind == "text")
        bytes = "Just some text, not an archive.\n";
    if (kind == "cut zip")
        bytes.truncate(bytes.size() / 2);
    if (kind == "bad crc zip") // one byte of the member that does not compress
        bytes[bytes.indexOf(contents("#2000r").left(32)) + 1000] ^= 1;
    if (kind == "lzma zip") // one member, its local header only, whose LZMA data asks for 4 GiB
        bytes = QByteArray("PK\x03\x04\x3F\x00\x00\x00\x0E\x00\x00\x00\x00\x00\x00\x00\x00\x00"
                           "\x0D\x00\x00\x00\x10\x00\x00\x00\x07\x00\x00\x00"
                           "big.z2l"
                           "\x09\x14\x05\x00\x5D\xFF\xFF\xFF\xFF\x00\x00\x00\x00",
                           30 + 7 + 13) +
                QByteArray(512, '\0');
    if (kind == "bad header tar") // the name field of the second member's header
        bytes[bytes.indexOf(members(recipes).value(1).path.toUtf8())] ^= 0x20;
    writeFile(folder, QFileInfo(path).fileName(), bytes);
    return path;
}

// The locale of a program started without a UTF-8 one, for as long as this lives.
struct PlainCLocale {
    QByteArray saved = setlocale(LC_ALL, nullptr);
    PlainCLocale() { setlocale(LC_ALL, "C"); }
    ~PlainCLocale() { setlocale(LC_ALL, saved.constData()); }
};

// An archive of `kind` holding `members`, extracted into a game folder that holds `before` ("name=text",
// or "name/" for a folder, "link:name" a link that leads nowhere), answering the replace questions
// from `answers` ("y" or "n" each). `after` is the game folder then, `questions` those asked and
// `message` the report ("…" at its end: the start of it). `limits` are the file and the total bytes,
// the new files, the memory and the members, 0 as shipped. `cancelAt` cancels at the first progress call that
// finds that file in place and another one half-written beside it.
struct ExtractCase {
    QString kind{};
    QStringList members{}, before{};
    QString answers{};
    QList<qint64> limits{0, 0, 0, 0};
    QString cancelAt{};
    QStringList after{}, questions{};
    QString message{};
};

void fillGameFolder(const QString& game, const QStringList& entries) {
    fillFolder(game, entries.filter(QRegularExpression("^[^:]*$")));
    for (const QString& link : entries.filter(QRegularExpression("^link:")))
        QVERIFY(QFile::link(game + "/nowhere", game + '/' + link.mid(5)));
}

ExtractLimits limitsOf(const QList<qint64>& given) {
    ExtractLimits limits;
    limits.fileBytes = given.value(0) ? given[0] : limits.fileBytes;
    limits.totalBytes = given.value(1) ? given[1] : limits.totalBytes;
    limits.newFiles = given.value(2) ? int(given[2]) : limits.newFiles;
    limits.memory = given.value(3) ? given[3] : limits.memory;
    limits.members = given.value(4) ? given[4] : limits.members;
    return limits;
}

// A drop onto a game folder that holds `before` (as in ExtractCase), of `dropped`: "name=text" a
// file, "kind:name=member|member..." an archive as makeArchive makes it, "fifo:name" a named pipe,
// "/" the root folder. `answers` answer the replace questions: y Yes, Y Yes to All, n No, N No to
// All, c Cancel.
struct DropCase {
    QStringList before{}, dropped{};
    QString answers{};
    QList<qint64> limits{0, 0, 0, 0};
    qint64 levelLimit = 0;
    QStringList after{}, questions{};
    QString message{};
};

} // namespace

class TestFileOps : public QObject {
    Q_OBJECT

private slots:
    void replaceQuestionSizes_data() {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        const QLocale c = QLocale::c();
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

    // A game folder holding one name in two spellings: a copy replaces the file spelled as the copy
    // is, whether the folder was just read or not, and the other spelling stays untouched.
    void copyOverOneOfTwoSpellings_data() {
        QTest::addColumn<bool>("readFirst");
        QTest::newRow("folder read before") << true;
        QTest::newRow("folder not read yet") << false;
    }
    void copyOverOneOfTwoSpellings() {
        QFETCH(bool, readFirst);
        QTemporaryDir root;
        const QString cache = root.filePath("cache"), game = root.filePath("game");
        writeFile(cache, "Level.z2l", "NEW");
        writeFile(game, "Level.z2l", "CAPITAL");
        writeFile(game, "level.z2l", "SMALL");
        FolderIndex gameFolder = readFirst ? FolderIndex(readFolder(game)) : FolderIndex(game);
        qint64 askedAbout = -1;
        const CopyOutcome outcome =
            copyZQ2File(cache, gameFolder, "Level.z2l", [&](const QString&, qint64 old, qint64) {
                askedAbout = old;
                return true;
            });
        QVERIFY(outcome.result == CopyOutcome::Result::Copied);
        QCOMPARE(askedAbout, 7); // the size of "CAPITAL", the file replaced
        QCOMPARE(folderEntries(game), QStringList({"Level.z2l=NEW", "level.z2l=SMALL"}));
        QCOMPARE(gameFolder.find("LEVEL.Z2L"), game + "/Level.z2l");
        QCOMPARE(gameFolder.countMatching("*.z2l"), 2);
    }

    // The source goes once the replace question is answered: the copy fails naming it, and the file it
    // was to replace stays as it was.
    void sourceGoneAfterYesKeepsTheOldFile() {
        QTemporaryDir root;
        const QString cache = root.filePath("cache"), game = root.filePath("game");
        writeFile(cache, "level1.z2l", "FRESH");
        writeFile(game, "LEVEL1.Z2L", "OLD");
        FolderIndex gameFolder(game);
        const CopyOutcome outcome =
            copyZQ2File(cache, gameFolder, "level1.z2l",
                        [&](const QString&, qint64, qint64) { return QFile::remove(cache + "/level1.z2l"); });
        QVERIFY(outcome.result == CopyOutcome::Result::Failed && outcome.error.code == ENOENT);
        QCOMPARE(outcome.error.path, cache + "/level1.z2l");
        QCOMPARE(folderEntries(game), QStringList{"LEVEL1.Z2L=OLD"});
    }

    void initTestCase() {
        QVERIFY(home_.isValid());
        useHomeOfItsOwn(home_.path());
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
        CopyControl control;
        control.kernelCopy = method == 0;
        control.progress = [&](qint64 done, qint64) {
            if (done > 0)
                changeOnce();
            return true;
        };
        const FileError error = replaceOrCreate(source, game, "a.z2l", game + "/a.z2l", control).error;
        QVERIFY(change.isEmpty() || !changes); // the change was made
        QCOMPARE(error ? failureReport("Could not copy", {error}) : QString(),
                 changes ? "Could not copy a.z2l: The file changed while it was copied." : "");
        QCOMPARE(QDir(game).entryList(QDir::Files | QDir::Hidden), QStringList{"a.z2l"});
        QCOMPARE(readFile(game + "/a.z2l").size(), changes ? 3 : 300 * 1024);
    }

    void extract_data() {
        QTest::addColumn<ExtractCase>("c");
        const auto row = [](const char* tag, const char* kind, const QStringList& members,
                            const QStringList& after, const QString& message = {},
                            const QList<qint64>& limits = {0, 0, 0, 0}) {
            QTest::newRow(tag) << ExtractCase{kind, members, {}, {}, limits, {}, after, {}, message};
        };
        const QString bomb = "Could not extract %1: it unpacks to more than 1000 times its size, as only a "
                             "damaged or hostile archive does.";
        row("zip, nested folders", "zip",
            {"Pack/levels/Cave.z2l=CAVE", "Pack/tiles/ICE.Z2T=ICE", "Pack/music/tune.z2b=TUNE",
             "Pack/readme.txt=README", "dir:Pack/Folder.z2l/"},
            {"Cave.z2l=CAVE", "ICE.Z2T=ICE", "tune.z2b=TUNE"});
        row("tar.gz", "tar.gz", {"Sub/Forest.z2t=FOREST", "x.txt=x"}, {"Forest.z2t=FOREST"});
        QString lhaLevel; // as the fixture was made
        for (int i = 0; i < 200; ++i)
            lhaLevel += QString("LHA LEVEL row %1\n").arg(i, 3, 10, QChar('0'));
        row("lzh", "lzh", {}, {"Marsh.z2l=" + lhaLevel});
        row("rar", "rar", {"Rar/Stone.z2l=STONE", "info.txt=x"}, {"Stone.z2l=STONE"});
        row("paths that climb out or start at the root", "zip",
            {"../up.z2l=UP", "/abs/root.z2l=ROOT", "..\\win\\back.z2l=BACK", "x/..=DOTS"},
            {"back.z2l=BACK", "root.z2l=ROOT", "up.z2l=UP"});
        row("links and devices", "tar.gz",
            {"real.z2l=REAL", "link:evil.z2l>/etc/passwd", "hard:twin.z2l>real.z2l", "dev:null.z2b",
             "link:other>real.z2l"},
            {"real.z2l=REAL"},
            "Could not extract 3 files:\nevil.z2l: it is a link, not a file\ntwin.z2l: it is a link, not a "
            "file\nnull.z2b: it is a device, not a file");
        // Every row runs in the plain C locale; names come out the same in each format.
        row("names beyond ASCII, 7z", "7z", {"deep/a/Caf\u00e9 \u03a9.z2l=SKY"},
            {"Caf\u00e9 \u03a9.z2l=SKY"});
        row("names beyond ASCII, zip marked UTF-8", "zip", {"Caf\u00e9 \u03a9.z2l=UTF"},
            {"Caf\u00e9 \u03a9.z2l=UTF"});
        row("names beyond ASCII, DOS code page", "dos zip", {"DOS/Caf\u00e9 \u00c4rger.z2l=DOS"},
            {"Caf\u00e9 \u00c4rger.z2l=DOS"});
        row("names beyond ASCII, tar bytes as they are", "tar",
            {decodeFileName("caf\xE9.z2l") + "=RAW", "\u00e9t\u00e9.z2t=PAX"},
            {decodeFileName("caf\xE9.z2l") + "=RAW", "\u00e9t\u00e9.z2t=PAX"});
        // Files that are not game files are left out without a word, whatever their names; a game file
        // the game on Windows could not open is refused, and no name adds a line to the message.
        row("names that cannot be used or that pose as messages", "zip",
            {"notes: read me.txt=x", "what?.z2l=Q", "con.z2l=C", "C:drive.z2l=D",
             "a\nAll levels were added successfully.\nb.z2l=S", "ok.z2l=OK"},
            {"ok.z2l=OK"},
            "Could not extract 4 files:\nwhat?.z2l: its name holds \"?\", which Windows does not allow in "
            "file "
            "names\ncon.z2l: its name is that of a device on Windows\nC:drive.z2l: its name holds \":\", "
            "which "
            "Windows does not allow in file names\na\u240aAll levels were added successfully.\u240ab.z2l: "
            "its "
            "name holds a control character");
        row("hidden leftovers of other systems", "zip",
            {"__MACOSX/Pack/._level.z2l=#84r", "Pack/level.z2l=L", ".z2l=H"}, {"level.z2l=L"});
        row("hidden leftovers only", "zip", {"__MACOSX/._level.z2l=#84r"}, {},
            "No level, tileset or music files in pack.zip.");
        row("empty archive", "zip", {}, {}, "No level, tileset or music files in pack.zip.");
        row("not an archive", "text", {}, {},
            "Could not extract pack.zip: it is not an archive of a kind this program reads.");
        row("cut short", "cut zip", {"big.z2l=#300000r", "after.z2l=A"}, {},
            "Could not extract pack.zip: it is damaged (…");
        row("bad checksum", "bad crc zip", {"good.z2l=GOOD", "bad.z2l=#2000r", "next.z2l=NEXT"},
            {"good.z2l=GOOD", "next.z2l=NEXT"},
            "Could not extract bad.z2l: it cannot be unpacked (ZIP bad CRC…");
        row("damaged header, the next one sound", "bad header tar",
            {"first.z2l=#3000x", "second.z2l=#1500x", "third.z2l=T"}, {"first.z2l=#3000x", "third.z2l=T"},
            "Could not extract the member after first.z2l: it is damaged (…");
        row("first part of a split archive", "split rar", {"whole.z2l=W", "cut.z2l=#4000x"}, {"whole.z2l=W"},
            "Could not extract pack.rar: it is one part of an archive split into several, which this program "
            "does not join.");
        row("protected by a password", "locked zip", {"secret.z2l=SECRET", "notes.txt=x"}, {},
            "Could not extract secret.z2l: it is protected by a password.");
        // These two read bz2 and xz archives to their ends.
        row("bomb-like ratio", "tar.bz2", {"bomb.z2l=#4000000z"}, {}, bomb.arg("pack.tar.bz2"));
        row("a skipped member unpacks like a bomb", "tar.xz", {"padding.bin=#8000000z", "late.z2l=L"}, {},
            bomb.arg("pack.tar.xz"));
        const QStringList three{"first.z2l=#500x", "big.z2l=#700x", "last.z2l=L"};
        row("a file over the limit", "zip", three, {"first.z2l=#500x", "last.z2l=L"},
            "Could not extract big.z2l: it is larger than 600 bytes.", {600, 0, 0, 0});
        row("files adding up over the limit", "tar", three, {"first.z2l=#500x"},
            "Could not extract pack.tar: the level, tileset and music files of this drop add up to more than "
            "1 KiB.",
            {0, 1024, 0, 0});
        row("more new files than the limit", "tar.xz", {"a.z2l=", "b.z2l=", "c.z2l=", "d.z2l="},
            {"a.z2l=", "b.z2l="}, "Could not extract pack.tar.xz: this drop would add more than 2 files.",
            {0, 0, 2, 0});
        row("more members than the limit", "tar", {"a.txt=", "b.txt=", "c.txt=", "late.z2l="}, {},
            "Could not extract pack.tar: the archives of this drop hold more than 3 members.",
            {0, 0, 0, 0, 3});
        const QString memory = "Could not extract %1: it needs more than %2 MiB of memory to unpack.";
        row("a zip member packed with LZMA asking for a 4 GiB dictionary", "lzma zip", {}, {},
            memory.arg("pack.zip").arg(64));
        row("a 7z coder asking for a 4 GiB dictionary", "huge dictionary 7z", {"level.z2l=L"}, {},
            memory.arg("pack.7z").arg(64));
        row("an xz block asking for more than the limit", "tar.xz", {"level.z2l=L"}, {},
            memory.arg("pack.tar.xz").arg(1), {0, 0, 0, 1 << 20});
        row("a packed 7z header over the limit", "7z", {"level.z2l=L"}, {}, memory.arg("pack.7z").arg(1),
            {0, 0, 0, 1 << 20});

        const auto asked = [](const char* tag, const QStringList& members, const QStringList& before,
                              const char* answers, const QStringList& after, const QStringList& questions,
                              const QString& message = {}) {
            QTest::newRow(tag) << ExtractCase{"zip", members, before,    answers, {0, 0, 0, 0},
                                              {},    after,   questions, message};
        };
        const QStringList twins{"a/dup.z2l=ONE", "b/DUP.Z2L=TWO!"};
        asked("same name in two folders, yes", twins, {}, "y", {"DUP.Z2L=TWO!"}, {"DUP.Z2L 3 4"});
        asked("same name in two folders, no", twins, {}, "n", {"dup.z2l=ONE"}, {"DUP.Z2L 3 4"});
        asked("there in another case, yes", {"cave.z2l=NEWER"}, {"CAVE.Z2L=OLD"}, "y", {"cave.z2l=NEWER"},
              {"cave.z2l 3 5"});
        asked(
            "a folder and a link that leads nowhere in the way", {"cave.z2l=C", "gone.z2l=G", "ok.z2l=OK"},
            {"cave.z2l/", "link:gone.z2l"}, "", {"cave.z2l/", "gone.z2l=<missing>", "ok.z2l=OK"}, {},
            "Could not extract 2 files:\ncave.z2l: a folder of that name is in the way\ngone.z2l: a link of "
            "that name that leads nowhere is in the way");
        QTest::newRow("cancel halfway through a file")
            << ExtractCase{.kind = "zip",
                           .members = {"first.z2l=1", "second.z2l=#600000r", "third.z2l=3"},
                           .cancelAt = "first.z2l",
                           .after = {"first.z2l=1"}};
    }

    void extract() {
        QFETCH(ExtractCase, c);
        QTemporaryDir root;
        const QString game = root.filePath("game");
        fillGameFolder(game, c.before);
        const QString archive = makeArchive(root.path(), c.kind, c.members);
        QVERIFY(!archive.isEmpty());

        QStringList asked;
        const AskReplace ask = [&](const QString& name, qint64 oldSize, qint64 newSize) {
            asked << QString("%1 %2 %3").arg(name).arg(oldSize).arg(newSize);
            return c.answers.mid(asked.size() - 1, 1) == "y";
        };
        const ExtractLimits limits = limitsOf(c.limits);
        qint64 lastDone = 0;
        bool inOrder = true;
        qint64 largestPending = 0;
        const ExtractProgress progress = [&](qint64 done, qint64 total, qint64) {
            inOrder = inOrder && done >= lastDone && done <= total && total == QFileInfo(archive).size();
            lastDone = done;
            const QFileInfoList pending = QDir(game).entryInfoList({".zq2-*"}, QDir::Files | QDir::Hidden);
            for (const QFileInfo& file : pending)
                largestPending = std::max(largestPending, file.size());
            return c.cancelAt.isEmpty() || !QFile::exists(game + '/' + c.cancelAt) || pending.isEmpty();
        };

        FolderIndex folder(game);
        ExtractResult result;
        {
            const PlainCLocale plain;
            result = extractGameFiles(archive, folder, ask, progress, limits);
        }
        const QString report = extractionReport(QFileInfo(archive).fileName(), result);

        QCOMPARE(folderEntries(game), expanded(c.after));
        QCOMPARE(asked, c.questions);
        if (c.message.endsWith(u'…'))
            QVERIFY2(report.startsWith(c.message.chopped(1)), qPrintable(report));
        else
            QCOMPARE(report, c.message);
        using End = ExtractResult::End;
        const bool limit = c.message.contains("this drop");
        QCOMPARE(result.end, !c.cancelAt.isEmpty()                                     ? End::Cancelled
                             : limit                                                   ? End::LimitReached
                             : c.message.contains(QFileInfo(archive).fileName() + ':') ? End::Stopped
                                                                                       : End::Completed);
        QVERIFY(inOrder);
        // No limit is passed on disk, not even by a file that is given up.
        QVERIFY2(largestPending <= limits.fileBytes, qPrintable(QString::number(largestPending)));
        // Nothing lands beside the game folder, whatever the member paths say.
        QCOMPARE(QDir(root.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList({"game", QFileInfo(archive).fileName()}));
    }

    void drop_data() {
        QTest::addColumn<DropCase>("c");
        const QStringList old{"a.z2l=old", "b.z2l=old", "c.z2l=old"};
        const QString abc = "zip:abc=a.z2l=new|b.z2l=new|c.z2l=new";
        const QStringList questions{"a.z2l 3 3", "b.z2l 3 3", "c.z2l 3 3"};
        QTest::newRow("yes to all") << DropCase{.before = old,
                                                .dropped = {abc},
                                                .answers = "Y",
                                                .after = {"a.z2l=new", "b.z2l=new", "c.z2l=new"},
                                                .questions = questions.mid(0, 1)};
        QTest::newRow("yes, then no to all") << DropCase{.before = old,
                                                         .dropped = {abc, "c.z2l=newest"},
                                                         .answers = "yN",
                                                         .after = {"a.z2l=new", "b.z2l=old", "c.z2l=old"},
                                                         .questions = questions.mid(0, 2)};
        QTest::newRow("cancel ends the drop") << DropCase{.before = old,
                                                          .dropped = {"b.z2l=new", abc, "d.z2l=new"},
                                                          .answers = "c",
                                                          .after = old,
                                                          .questions = {"b.z2l 3 3"}};
        QTest::newRow("limits hold for the drop, not for each archive") << DropCase{
            .dropped = {"zip:one=a.z2l=1|b.z2l=2", "zip:two=c.z2l=3|d.z2l=4", "e.z2l=5"},
            .limits = {0, 0, 3, 0},
            .after = {"a.z2l=1", "b.z2l=2", "c.z2l=3"},
            .message = "Could not extract two.zip: this drop would add more than 3 files.\nAdding "
                       "stopped there; the 3 files added before it were kept."};
        QTest::newRow("past the level limit") << DropCase{
            .before = {"a.z2l=1", "m.z2b=M"},
            .dropped = {"zip:more=b.z2l=2|c.z2l=3"},
            .levelLimit = 2,
            .after = {"a.z2l=1", "b.z2l=2", "c.z2l=3", "m.z2b=M"},
            .message = "The game folder now holds 3 levels, more than the 2 that the game can list."};
        QTest::newRow("what is not a file, or is in the way, or cannot be named") << DropCase{
            .before = {"link:gone.z2l"},
            .dropped = {"/", "gone.z2l=G", "what?.z2l=Q", ".hidden.z2l=H", "fifo:x.zip", "ok.z2l=OK"},
            .after = {"gone.z2l=<missing>", "ok.z2l=OK"},
            .message = "Folders are not copied, so / was left out.\nCould not copy 3 files:\ngone.z2l: "
                       "a link of that name that leads nowhere is in the way\nwhat?.z2l: its name holds "
                       "\"?\", which Windows does not allow in file names\n.hidden.z2l: its name begins "
                       "with a dot, which would hide it from the lists\nCould not extract x.zip: it is "
                       "a named pipe, not a file."};
    }

    void drop() {
        QFETCH(DropCase, c);
        QTemporaryDir root;
        const QString game = root.filePath("game"), from = root.filePath("from");
        fillGameFolder(game, c.before);
        makeFolder(from);
        QStringList paths;
        for (const QString& item : c.dropped) {
            const QString kind = item.section(':', 0, 0);
            if (item == "/") {
                paths << item;
            } else if (kind == "fifo") {
                paths << from + '/' + item.mid(5);
                QVERIFY(makeFifo(paths.last()));
            } else if (item.contains(':')) {
                const QString rest = item.section(':', 1);
                paths << makeArchive(from, kind, rest.section('=', 1).split('|'), rest.section('=', 0, 0));
            } else {
                writeFile(from, item.section('=', 0, 0), item.section('=', 1).toUtf8());
                paths << from + '/' + item.section('=', 0, 0);
            }
        }
        QStringList asked;
        const AskDropReplace ask = [&](const QString& name, qint64 oldSize, qint64 newSize) {
            asked << QString("%1 %2 %3").arg(name).arg(oldSize).arg(newSize);
            const QChar answer = c.answers.mid(asked.size() - 1).append(QChar()).at(0);
            return answer == 'y'   ? ReplaceAnswer::Yes
                   : answer == 'Y' ? ReplaceAnswer::YesToAll
                   : answer == 'N' ? ReplaceAnswer::NoToAll
                   : answer == 'c' ? ReplaceAnswer::Cancel
                                   : ReplaceAnswer::No;
        };
        FolderIndex folder(game);
        DropResult result;
        {
            HangGuard guard;
            result = addDroppedFiles(paths, folder, ask, {}, {limitsOf(c.limits), c.levelLimit});
        }
        QCOMPARE(folderEntries(game), expanded(c.after));
        QCOMPARE(asked, c.questions);
        QCOMPARE(result.report, c.message);
        QCOMPARE(result.cancelled, c.answers.contains('c'));
    }

private:
    QTemporaryDir home_;
};

QTEST_GUILESS_MAIN(TestFileOps)
#include "tst_fileops.moc"
