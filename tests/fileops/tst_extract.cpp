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

// Archives that libarchive cannot write, or that are broken on purpose, beside its own kinds.
enum Special { LhaFixture = 100, NotAnArchive, TruncatedTarGz, BadChecksumZip, EncryptedZip, TruncatedZip };

QString archiveFileName(int kind) {
    switch (kind) {
    case int(ArchiveKind::Zip):
    case int(ArchiveKind::ZipCp437):
    case NotAnArchive:
    case BadChecksumZip:
    case EncryptedZip:
    case TruncatedZip:
        return "pack.zip";
    case int(ArchiveKind::SevenZip):
        return "pack.7z";
    case int(ArchiveKind::TarGz):
    case TruncatedTarGz:
        return "pack.tar.gz";
    case int(ArchiveKind::TarBz2):
        return "pack.tar.bz2";
    case int(ArchiveKind::TarXz):
        return "pack.tar.xz";
    default:
        return "pack.lzh";
    }
}

// File contents written in a table: plain text, or "#<count><z|x|r>" for that many zeros, "x"s or
// bytes that do not compress.
QByteArray contents(const QString& spec) {
    if (!spec.startsWith('#'))
        return spec.toUtf8();
    const qsizetype count = spec.mid(1, spec.size() - 2).toLongLong();
    const QChar kind = spec.back();
    if (kind == 'z' || kind == 'x')
        return QByteArray(count, kind == 'z' ? '\0' : 'x');
    QByteArray bytes(count, Qt::Uninitialized);
    QRandomGenerator random(13);
    for (char& byte : bytes)
        byte = char(random.generate());
    return bytes;
}

// "name=spec" as folderState shows it.
QStringList expanded(const QStringList& entries) {
    QStringList out;
    for (const QString& entry : entries)
        out << entry.section('=', 0, 0) + '=' + QString::fromLatin1(contents(entry.section('=', 1)));
    return out;
}

// "path=spec" a file, "dir:path", "link:path>target", "hard:path>target", "dev:path".
QList<ArchiveMember> members(const QStringList& specs) {
    using Type = ArchiveMember::Type;
    QList<ArchiveMember> list;
    for (const QString& spec : specs) {
        const QString kind = spec.section(':', 0, 0);
        const QString rest = spec.section(':', 1);
        if (kind == "dir")
            list.append({rest, {}, Type::Folder, {}});
        else if (kind == "link" || kind == "hard")
            list.append({rest.section('>', 0, 0),
                         {},
                         kind == "link" ? Type::Symlink : Type::Hardlink,
                         rest.section('>', 1)});
        else if (kind == "dev")
            list.append({rest, {}, Type::Device, {}});
        else
            list.append({spec.section('=', 0, 0), contents(spec.section('=', 1)), Type::File, {}});
    }
    return list;
}

// "name=contents" of every entry, hidden ones too, so that a left-over temporary file shows.
QStringList folderState(const QString& folder) {
    QStringList state;
    for (const auto& e :
         QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name))
        state << e.fileName() + '=' + QString::fromLatin1(readFile(e.filePath()));
    return state;
}

QString makeArchive(const QString& folder, int kind, const QStringList& specs) {
    const QString path = folder + '/' + archiveFileName(kind);
    if (kind == LhaFixture)
        return QFile::copy(QFINDTESTDATA("data/marsh.lzh"), path) ? path : QString();
    if (kind == NotAnArchive) {
        writeFile(folder, archiveFileName(kind), "Just some text, not an archive.\n");
        return path;
    }
    const ArchiveKind written = kind == TruncatedTarGz ? ArchiveKind::TarGz
                                : kind >= LhaFixture   ? ArchiveKind::Zip
                                                       : ArchiveKind(kind);
    const QString error =
        tools::writeArchive(path, written, members(specs), kind == EncryptedZip ? "secret" : QByteArray());
    if (!error.isEmpty())
        qWarning("%s", qPrintable(error));
    QByteArray bytes = readFile(path);
    if (kind == TruncatedTarGz || kind == TruncatedZip)
        writeFile(folder, archiveFileName(kind), bytes.left(bytes.size() / 2));
    if (kind == BadChecksumZip) {
        // One byte of the only member that does not compress, changed after its checksum was taken.
        const QByteArray random = contents("#2000r");
        bytes[bytes.indexOf(random.left(32)) + 1000] ^= 1;
        writeFile(folder, archiveFileName(kind), bytes);
    }
    return error.isEmpty() ? path : QString();
}

QString lhaLevel() {
    QString text;
    for (int row = 0; row < 200; ++row)
        text += QString("LHA LEVEL row %1\n").arg(row, 3, 10, QChar('0'));
    return text;
}

} // namespace

class TestExtract : public QObject {
    Q_OBJECT

private slots:
    // Each row writes an archive of `kind` holding `members`, extracts it into a game folder that
    // holds `before`, answering the replace questions from `answers`, and compares the game folder,
    // the questions and the message. `limits` are file and total bytes (0: as shipped); `cancelAt`
    // cancels at the first call of the progress callback that finds that file in place and another
    // one half-written beside it.
    void extract_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("memberSpecs");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QList<qint64>>("limits");
        QTest::addColumn<QString>("cancelAt");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<QString>("message");
        const int zip = int(ArchiveKind::Zip);
        const QList<qint64> shipped{0, 0};
        const auto row = [&](const char* tag, int kind, const QStringList& specs, const QStringList& after,
                             const QString& message = {}) {
            QTest::newRow(tag) << kind << specs << QStringList() << QString() << shipped << QString() << after
                               << QStringList() << message;
        };

        row("zip, nested folders", zip,
            {"Pack/levels/Cave.z2l=CAVE", "Pack/tiles/ICE.Z2T=ICE", "Pack/music/tune.z2b=TUNE",
             "Pack/readme.txt=README", "dir:Pack/Folder.z2l/"},
            {"Cave.z2l=CAVE", "ICE.Z2T=ICE", "tune.z2b=TUNE"});
        row("7z", int(ArchiveKind::SevenZip), {"deep/a/b/c/Sky.z2l=SKY", "notes.txt=x"}, {"Sky.z2l=SKY"});
        row("tar.gz", int(ArchiveKind::TarGz), {"Sub/Forest.z2t=FOREST", "x.txt=x"}, {"Forest.z2t=FOREST"});
        row("tar.bz2", int(ArchiveKind::TarBz2), {"x/Beat.z2b=BEAT"}, {"Beat.z2b=BEAT"});
        row("tar.xz", int(ArchiveKind::TarXz), {"y/Ridge.z2l=RIDGE"}, {"Ridge.z2l=RIDGE"});
        row("lzh", LhaFixture, {}, {"Marsh.z2l=" + lhaLevel()});
        row("paths that climb out or start at the root", zip,
            {"../up.z2l=UP", "/abs/root.z2l=ROOT", "..\\win\\back.z2l=BACK", "C:drive.z2l=DRIVE",
             "x/..=DOTS"},
            {"back.z2l=BACK", "root.z2l=ROOT", "up.z2l=UP"},
            "Could not extract 2 files:\nC:drive.z2l: its name cannot be used as a file name\n"
            "x/..: its name cannot be used as a file name");
        row("links and devices", int(ArchiveKind::TarGz),
            {"real.z2l=REAL", "link:evil.z2l>/etc/passwd", "hard:twin.z2l>real.z2l", "dev:null.z2b",
             "link:other>real.z2l"},
            {"real.z2l=REAL"},
            "Could not extract 3 files:\nevil.z2l: it is a link, not a file\ntwin.z2l: it is a link, not a "
            "file\nnull.z2b: it is a device, not a file");
        row("DOS code page name", int(ArchiveKind::ZipCp437), {"DOS/Caf\u00e9 \u00c4rger.z2l=DOS"},
            {"Caf\u00e9 \u00c4rger.z2l=DOS"});
        row("UTF-8 name", zip, {"Caf\u00e9 \u03a9.z2l=UTF"}, {"Caf\u00e9 \u03a9.z2l=UTF"});
        row("empty archive", zip, {}, {}, "No level, tileset or music files in pack.zip.");
        row("no game files", int(ArchiveKind::TarGz), {"docs/readme.txt=x"}, {},
            "No level, tileset or music files in pack.tar.gz.");
        row("not an archive", NotAnArchive, {}, {},
            "Could not extract pack.zip: it is not an archive of a kind this program reads.");
        row("damaged: cut short", TruncatedTarGz, {"big.z2l=#300000r", "after.z2l=A"}, {},
            "Could not extract pack.tar.gz: it is damaged (…");
        row("damaged: bad checksum", BadChecksumZip, {"good.z2l=GOOD", "bad.z2l=#2000r", "next.z2l=NEXT"},
            {"good.z2l=GOOD", "next.z2l=NEXT"},
            "Could not extract bad.z2l: it cannot be unpacked (ZIP bad CRC…");
        row("damaged: cut short zip", TruncatedZip, {"big.z2l=#300000r", "after.z2l=A"}, {},
            "Could not extract pack.zip: it is damaged (…");
        row("protected by a password", EncryptedZip, {"secret.z2l=SECRET", "notes.txt=x"}, {},
            "Could not extract secret.z2l: it is protected by a password.");
        row("bomb-like ratio", int(ArchiveKind::TarBz2), {"bomb.z2l=#4000000z"}, {},
            "Could not extract pack.tar.bz2: it unpacks to more than 1000 times its size, as only a damaged "
            "or hostile archive does.");
        row("skipped member unpacks like a bomb", int(ArchiveKind::TarXz),
            {"padding.bin=#8000000z", "late.z2l=L"}, {},
            "Could not extract pack.tar.xz: it unpacks to more than 1000 times its size, as only a damaged "
            "or hostile archive does.");

        const auto limited = [&](const char* tag, const QList<qint64>& limits, const QStringList& after,
                                 const QString& message) {
            QTest::newRow(tag) << zip << QStringList{"first.z2l=#500x", "big.z2l=#700x", "last.z2l=L"}
                               << QStringList() << QString() << limits << QString() << after << QStringList()
                               << message;
        };
        limited("a file over the limit", {600, 0}, {"first.z2l=#500x"},
                "Could not extract pack.zip: big.z2l is larger than 600 bytes.");
        limited("files adding up over the limit", {0, 1024}, {"first.z2l=#500x"},
                "Could not extract pack.zip: its level, tileset and music files add up to more than 1 KiB.");

        const auto asked = [&](const char* tag, const QStringList& specs, const QStringList& before,
                               const char* answers, const QStringList& after, const QStringList& questions) {
            QTest::newRow(tag) << zip << specs << before << QString(answers) << shipped << QString() << after
                               << questions << QString();
        };
        const QStringList twins{"a/dup.z2l=ONE", "b/DUP.Z2L=TWO!"};
        asked("same name in two folders, yes", twins, {}, "y", {"DUP.Z2L=TWO!"}, {"DUP.Z2L 3 4"});
        asked("same name in two folders, no", twins, {}, "n", {"dup.z2l=ONE"}, {"DUP.Z2L 3 4"});
        asked("there in another case, no", {"cave.z2l=NEWER"}, {"CAVE.Z2L=OLD"}, "n", {"CAVE.Z2L=OLD"},
              {"cave.z2l 3 5"});
        asked("there in another case, yes", {"cave.z2l=NEWER"}, {"CAVE.Z2L=OLD"}, "y", {"cave.z2l=NEWER"},
              {"cave.z2l 3 5"});

        QTest::newRow("a folder in the way")
            << zip << QStringList{"cave.z2l=C", "ok.z2l=OK"} << QStringList{"dir:cave.z2l"} << QString()
            << shipped << QString() << QStringList{"cave.z2l=<missing>", "ok.z2l=OK"} << QStringList()
            << "Could not extract cave.z2l: File exists.";
        QTest::newRow("cancel halfway through a file")
            << zip << QStringList{"first.z2l=1", "second.z2l=#600000r", "third.z2l=3"} << QStringList()
            << QString() << shipped << "first.z2l" << QStringList{"first.z2l=1"} << QStringList()
            << QString();
    }

    void extract() {
        QFETCH(int, kind);
        QFETCH(QStringList, memberSpecs);
        QFETCH(QStringList, before);
        QFETCH(QString, answers);
        QFETCH(QList<qint64>, limits);
        QFETCH(QString, cancelAt);
        QFETCH(QStringList, after);
        QFETCH(QStringList, questions);
        QFETCH(QString, message);

        QTemporaryDir root;
        const QString game = root.filePath("game");
        QDir().mkpath(game);
        for (const QString& entry : before) {
            if (entry.startsWith("dir:"))
                QDir().mkpath(game + '/' + entry.mid(4));
            else
                writeFile(game, entry.section('=', 0, 0), contents(entry.section('=', 1)));
        }
        const QString archive = makeArchive(root.path(), kind, memberSpecs);
        QVERIFY(!archive.isEmpty());

        QStringList asked;
        const AskReplace ask = [&](const QString& name, qint64 oldSize, qint64 newSize) {
            asked << QString("%1 %2 %3").arg(name).arg(oldSize).arg(newSize);
            return answers.mid(asked.size() - 1, 1) == "y";
        };
        qint64 lastDone = 0, calls = 0;
        bool inOrder = true;
        const ExtractProgress progress = [&](qint64 done, qint64 total) {
            ++calls;
            inOrder = inOrder && done >= lastDone && done <= total && total == QFileInfo(archive).size();
            lastDone = done;
            if (cancelAt.isEmpty() || !QFile::exists(game + '/' + cancelAt))
                return true;
            return QDir(game).entryList({".zq2-*"}, QDir::Files | QDir::Hidden).isEmpty();
        };
        ExtractLimits bounds;
        if (limits[0] != 0)
            bounds.fileBytes = limits[0];
        if (limits[1] != 0)
            bounds.totalBytes = limits[1];

        FolderIndex folder(game);
        const ExtractResult result = extractGameFiles(archive, folder, ask, progress, bounds);
        const QString report = extractionReport(QFileInfo(archive).fileName(), result);

        QCOMPARE(folderState(game), expanded(after));
        QCOMPARE(asked, questions);
        if (message.endsWith(u'…'))
            QVERIFY2(report.startsWith(message.chopped(1)), qPrintable(report));
        else
            QCOMPARE(report, message);
        QCOMPARE(result.end, !cancelAt.isEmpty()                             ? ExtractResult::End::Cancelled
                             : message.contains(archiveFileName(kind) + ':') ? ExtractResult::End::Stopped
                                                                             : ExtractResult::End::Completed);
        // Nothing lands beside the game folder, whatever the member paths say.
        QCOMPARE(QDir(root.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList({"game", QFileInfo(archive).fileName()}));
        QVERIFY(inOrder);
        QVERIFY(calls > 0 || kind == NotAnArchive);
    }

    void isArchiveName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("archive");
        for (const char* name : {"a.zip", "B.7Z", "c.rar", "d.LZH", "e.lha", "f.tar", "g.tar.gz", "h.TGZ",
                                 "i.tar.bz2", "j.tbz2", "k.tar.xz", "l.txz"})
            QTest::newRow(name) << name << true;
        for (const char* name : {"level.z2l", "zip", "notes.gz", "readme.zip.txt", "x.bz2"})
            QTest::newRow(name) << name << false;
    }
    void isArchiveName() {
        QFETCH(QString, name);
        QFETCH(bool, archive);
        QCOMPARE(zq2::isArchiveName(name), archive);
    }
};

QTEST_GUILESS_MAIN(TestExtract)
#include "tst_extract.moc"
