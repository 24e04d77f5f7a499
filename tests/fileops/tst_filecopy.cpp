#include "fileops/filecopy.h"
#include "support/tempfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <unistd.h>

using namespace zq2;
using zq2::test::readFile;
using zq2::test::writeFile;

namespace {

// "name=contents" of every entry, sorted, so that a comparison shows stray and lost files alike.
QStringList folderState(const QString& folder) {
    QStringList state;
    for (const QFileInfo& e :
         QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        state << e.fileName() + QLatin1Char('=') +
                     (e.isDir() ? "<folder>" : QString::fromLatin1(readFile(e.filePath())));
    state.sort();
    return state;
}

} // namespace

class TestFileCopy : public QObject {
    Q_OBJECT

private slots:
    void copyFileFast_data();
    void copyFileFast();
    void copyZQ2FileAsks_data();
    void copyZQ2FileAsks();
    void failuresKeepOldFile_data();
    void failuresKeepOldFile();
    void folderIndexSeesChangesByOthers();
};

void TestFileCopy::copyFileFast_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("sourceFolder"); // another file system where there is one
    const QString shm = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QString();
    QTest::newRow("empty, from read-only media") << 0 << 0444 << QString();
    QTest::newRow("past one buffer, program, other file system") << 128 * 1024 + 1 << 0755 << shm;
}

void TestFileCopy::copyFileFast() {
    QFETCH(int, size);
    QFETCH(int, mode);
    QFETCH(QString, sourceFolder);
    QTemporaryDir target;
    QTemporaryDir source(sourceFolder.isEmpty() ? QDir::tempPath() + "/src-XXXXXX"
                                                : sourceFolder + "/zq2-XXXXXX");
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 31 + i / 251) & 0xff);
    writeFile(source.path(), QStringLiteral("s"), bytes);
    std::filesystem::permissions(QFile::encodeName(source.filePath("s")).toStdString(),
                                 std::filesystem::perms(mode));

    const QString copy = target.filePath(QStringLiteral("c"));
    const FileError error = zq2::copyFileFast(source.filePath(QStringLiteral("s")), copy);
    QVERIFY2(error.ok(), qPrintable(error.reason()));
    QCOMPARE(readFile(copy), bytes);
    // Always replaceable later by its owner; a program stays a program.
    QVERIFY(QFile::permissions(copy).testFlag(QFileDevice::WriteOwner));
    QCOMPARE(QFile::permissions(copy).testFlag(QFileDevice::ExeOwner), (mode & 0100) != 0);
}

void TestFileCopy::copyZQ2FileAsks_data() {
    QTest::addColumn<bool>("indexed");
    QTest::addColumn<QString>("oldFile"); // "name=contents" in the game folder, or empty
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QString>("gameAfter");

    const QStringList question{QStringLiteral("level1.z2l 3 5")};
    for (bool indexed : {false, true}) {
        const char* how = indexed ? "indexed" : "single";
        QTest::addRow("%s: new name, no question", how)
            << indexed << "" << true << QStringList() << "level1.z2l=FRESH";
        QTest::addRow("%s: other case, yes", how)
            << indexed << "LEVEL1.Z2L=OLD" << true << question << "level1.z2l=FRESH";
        QTest::addRow("%s: other case, no", how)
            << indexed << "LEVEL1.Z2L=OLD" << false << question << "LEVEL1.Z2L=OLD";
        QTest::addRow("%s: same name, yes", how)
            << indexed << "level1.z2l=OLD" << true << question << "level1.z2l=FRESH";
    }
}

void TestFileCopy::copyZQ2FileAsks() {
    QFETCH(bool, indexed);
    QFETCH(QString, oldFile);
    QFETCH(bool, answer);
    QFETCH(QStringList, asked);
    QFETCH(QString, gameAfter);

    QTemporaryDir game;
    const QString cache = game.filePath(QStringLiteral("cache"));
    writeFile(cache, QStringLiteral("level1.z2l"), "FRESH");
    writeFile(game.path(), QStringLiteral("other.z2t"), "T");
    if (!oldFile.isEmpty())
        writeFile(game.path(), oldFile.section('=', 0, 0), oldFile.section('=', 1).toLatin1());

    QStringList questions;
    const AskReplace ask = [&](const QString& name, qint64 oldSize, qint64 newSize) {
        questions << QStringLiteral("%1 %2 %3").arg(name).arg(oldSize).arg(newSize);
        return answer;
    };
    FolderIndex index(game.path());
    const CopyOutcome outcome = indexed ? copyZQ2File(cache, index, QStringLiteral("level1.z2l"), ask)
                                        : copyZQ2File(cache, game.path(), QStringLiteral("level1.z2l"), ask);
    QCOMPARE(outcome.result, answer ? CopyOutcome::Result::Copied : CopyOutcome::Result::Declined);
    QCOMPARE(questions, asked);
    QStringList expected{gameAfter, QStringLiteral("cache=<folder>"), QStringLiteral("other.z2t=T")};
    expected.sort();
    QCOMPARE(folderState(game.path()), expected);
    QCOMPARE(folderState(cache), QStringList{QStringLiteral("level1.z2l=FRESH")});
}

void TestFileCopy::failuresKeepOldFile_data() {
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<int>("code");
    QTest::newRow("source gone after yes") << "vanished after yes" << ENOENT;
    QTest::newRow("game folder missing") << "no game folder" << ENOENT;
    QTest::newRow("a folder holds the name") << "folder in the way" << EEXIST;
    QTest::newRow("read-only game folder") << "read-only" << EACCES;
}

void TestFileCopy::failuresKeepOldFile() {
    QFETCH(QString, scenario);
    QFETCH(int, code);
    if (scenario == QLatin1String("read-only") && ::geteuid() == 0)
        QSKIP("permissions do not bind the super-user");

    QTemporaryDir root;
    const QString cache = root.filePath(QStringLiteral("cache"));
    const QString game = root.filePath(scenario == "no game folder" ? "nowhere" : "game");
    const QString source = cache + QStringLiteral("/level1.z2l");
    writeFile(cache, QStringLiteral("level1.z2l"), "FRESH");
    if (scenario == QLatin1String("folder in the way"))
        QDir().mkpath(game + QStringLiteral("/level1.z2l"));
    else if (scenario != QLatin1String("no game folder"))
        writeFile(game, QStringLiteral("Level1.z2l"), "OLD");
    const QStringList before = folderState(game);
    if (scenario == QLatin1String("read-only"))
        QFile::setPermissions(game, QFileDevice::ReadOwner | QFileDevice::ExeOwner);

    const AskReplace yes = [&](const QString&, qint64, qint64) {
        if (scenario == QLatin1String("vanished after yes"))
            QFile::remove(source);
        return true;
    };
    const CopyOutcome outcome = copyZQ2File(cache, game, QStringLiteral("level1.z2l"), yes);
    QFile::setPermissions(game, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(outcome.result, CopyOutcome::Result::Failed);
    QCOMPARE(outcome.error.code, code);
    QCOMPARE(QFileInfo(outcome.error.path).fileName().toLower(), QStringLiteral("level1.z2l"));
    QCOMPARE(folderState(game), before);
}

void TestFileCopy::folderIndexSeesChangesByOthers() {
    QTemporaryDir game;
    writeFile(game.path(), QStringLiteral("a.z2l"), "A");
    // A folder that has been quiet for a while, as a game folder normally is.
    const auto native = std::filesystem::path(QFile::encodeName(game.path()).toStdString());
    std::filesystem::last_write_time(native,
                                     std::filesystem::last_write_time(native) - std::chrono::hours(1));

    FolderIndex index(game.path());
    QCOMPARE(index.find(QStringLiteral("A.Z2L")).value_or(QString()), game.filePath(QStringLiteral("a.z2l")));
    QCOMPARE(index.find(QStringLiteral("B.Z2L")).value_or(QString()), QString());
    writeFile(game.path(), QStringLiteral("b.z2l"), "B");
    QCOMPARE(index.find(QStringLiteral("B.Z2L")).value_or(QString()), game.filePath(QStringLiteral("b.z2l")));
    QVERIFY(QFile::remove(game.filePath(QStringLiteral("a.z2l"))));
    QCOMPARE(index.find(QStringLiteral("A.Z2L")).value_or(QString()), QString());
}

QTEST_GUILESS_MAIN(TestFileCopy)
#include "tst_filecopy.moc"
