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

// name=contents of every entry of a folder, so that a comparison shows stray and lost files alike.
QStringList folderState(const QString& folder) {
    QStringList state;
    const QDir dir(folder);
    for (const QFileInfo& entry :
         dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)) {
        state << entry.fileName() + QLatin1Char('=') +
                     (entry.isDir() ? QStringLiteral("<folder>")
                                    : QString::fromLatin1(readFile(entry.filePath())));
    }
    state.sort();
    return state;
}

QByteArray pattern(int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 31 + i / 251) & 0xff);
    return bytes;
}

} // namespace

class TestFileCopy : public QObject {
    Q_OBJECT

private slots:
    void copyFileFastKeepsContents_data();
    void copyFileFastKeepsContents();
    void copyFileFastNeverOverwrites();
    void copyFileFastPermissions_data();
    void copyFileFastPermissions();
    void copyZQ2FileAsksAndReplaces_data();
    void copyZQ2FileAsksAndReplaces();
    void copyZQ2FileFailuresKeepOldFile_data();
    void copyZQ2FileFailuresKeepOldFile();
    void replaceOrCreateWithVanishedSourceKeepsOldFile();
    void folderIndexSeesChangesByOthers();
};

void TestFileCopy::copyFileFastKeepsContents_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("acrossFileSystems");
    for (int size : {0, 1, 128 * 1024 + 1, 3 * 1024 * 1024 + 7}) {
        QTest::addRow("%d bytes", size) << size << false;
        if (QDir(QStringLiteral("/dev/shm")).exists())
            QTest::addRow("%d bytes, other file system", size) << size << true;
    }
}

void TestFileCopy::copyFileFastKeepsContents() {
    QFETCH(int, size);
    QFETCH(bool, acrossFileSystems);
    QTemporaryDir target;
    QTemporaryDir elsewhere(QStringLiteral("/dev/shm/zq2-copy-XXXXXX"));
    const QString sourceFolder = acrossFileSystems ? elsewhere.path() : target.path();
    const QByteArray bytes = pattern(size);
    writeFile(sourceFolder, QStringLiteral("source.z2l"), bytes);

    const QString destination = target.filePath(QStringLiteral("copy.z2l"));
    const FileError error = copyFileFast(sourceFolder + QStringLiteral("/source.z2l"), destination);
    QVERIFY2(error.ok(), qPrintable(error.reason()));
    QCOMPARE(readFile(destination), bytes);
}

void TestFileCopy::copyFileFastNeverOverwrites() {
    QTemporaryDir dir;
    writeFile(dir.path(), QStringLiteral("a.z2l"), "new");
    writeFile(dir.path(), QStringLiteral("b.z2l"), "old");
    const FileError error =
        copyFileFast(dir.filePath(QStringLiteral("a.z2l")), dir.filePath(QStringLiteral("b.z2l")));
    QCOMPARE(error.code, EEXIST);
    QCOMPARE(error.path, dir.filePath(QStringLiteral("b.z2l")));
    QCOMPARE(readFile(dir.filePath(QStringLiteral("b.z2l"))), QByteArray("old"));

    const FileError missing =
        copyFileFast(dir.filePath(QStringLiteral("gone.z2l")), dir.filePath(QStringLiteral("c.z2l")));
    QCOMPARE(missing.code, ENOENT);
    QCOMPARE(missing.path, dir.filePath(QStringLiteral("gone.z2l")));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("c.z2l"))));

    const FileError folder = copyFileFast(dir.path(), dir.filePath(QStringLiteral("d.z2l")));
    QCOMPARE(folder.code, EISDIR);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("d.z2l"))));
}

void TestFileCopy::copyFileFastPermissions_data() {
    QTest::addColumn<int>("sourceMode");
    QTest::addColumn<bool>("executable");
    QTest::newRow("read-only media") << 0444 << false;
    QTest::newRow("program") << 0755 << true;
    QTest::newRow("plain") << 0644 << false;
}

void TestFileCopy::copyFileFastPermissions() {
    QFETCH(int, sourceMode);
    QFETCH(bool, executable);
    QTemporaryDir dir;
    writeFile(dir.path(), QStringLiteral("s"), "x");
    std::filesystem::permissions(QFile::encodeName(dir.filePath(QStringLiteral("s"))).toStdString(),
                                 static_cast<std::filesystem::perms>(sourceMode));
    const QString copy = dir.filePath(QStringLiteral("c"));
    QVERIFY(copyFileFast(dir.filePath(QStringLiteral("s")), copy).ok());
    const QFileDevice::Permissions permissions = QFile::permissions(copy);
    QVERIFY(permissions.testFlag(QFileDevice::WriteOwner));
    QVERIFY(permissions.testFlag(QFileDevice::ReadOwner));
    QCOMPARE(permissions.testFlag(QFileDevice::ExeOwner), executable);
}

void TestFileCopy::copyZQ2FileAsksAndReplaces_data() {
    QTest::addColumn<QStringList>("gameFiles");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QStringList>("gameAfter");

    const QStringList other{QStringLiteral("other.z2t=T")};
    for (bool indexed : {false, true}) {
        const char* how = indexed ? "indexed" : "single";
        QTest::addRow("%s: new name, no question", how)
            << other << true << int(CopyOutcome::Result::Copied) << QStringList()
            << QStringList{QStringLiteral("level1.z2l=FRESH LEVEL"), QStringLiteral("other.z2t=T")};
        QTest::addRow("%s: other case, yes", how)
            << (QStringList{QStringLiteral("LEVEL1.Z2L=OLD")} + other) << true
            << int(CopyOutcome::Result::Copied) << QStringList{QStringLiteral("level1.z2l 3 11")}
            << QStringList{QStringLiteral("level1.z2l=FRESH LEVEL"), QStringLiteral("other.z2t=T")};
        QTest::addRow("%s: other case, no", how)
            << (QStringList{QStringLiteral("LEVEL1.Z2L=OLD")} + other) << false
            << int(CopyOutcome::Result::Declined) << QStringList{QStringLiteral("level1.z2l 3 11")}
            << QStringList{QStringLiteral("LEVEL1.Z2L=OLD"), QStringLiteral("other.z2t=T")};
        QTest::addRow("%s: same name, yes", how)
            << QStringList{QStringLiteral("level1.z2l=OLDER LEVEL")} << true
            << int(CopyOutcome::Result::Copied) << QStringList{QStringLiteral("level1.z2l 11 11")}
            << QStringList{QStringLiteral("level1.z2l=FRESH LEVEL")};
        QTest::addRow("%s: same name, no", how)
            << QStringList{QStringLiteral("level1.z2l=OLDER LEVEL")} << false
            << int(CopyOutcome::Result::Declined) << QStringList{QStringLiteral("level1.z2l 11 11")}
            << QStringList{QStringLiteral("level1.z2l=OLDER LEVEL")};
    }
}

void TestFileCopy::copyZQ2FileAsksAndReplaces() {
    QFETCH(QStringList, gameFiles);
    QFETCH(bool, answer);
    QFETCH(int, result);
    QFETCH(QStringList, asked);
    QFETCH(QStringList, gameAfter);
    const bool indexed = QString::fromLatin1(QTest::currentDataTag()).startsWith(QLatin1String("indexed"));

    QTemporaryDir game;
    const QString cache = game.filePath(QStringLiteral("cache"));
    writeFile(cache, QStringLiteral("level1.z2l"), "FRESH LEVEL");
    for (const QString& file : gameFiles)
        writeFile(game.path(), file.section(QLatin1Char('='), 0, 0),
                  file.section(QLatin1Char('='), 1).toLatin1());

    QStringList questions;
    const AskReplace ask = [&](const QString& name, qint64 oldSize, qint64 newSize) {
        questions << QStringLiteral("%1 %2 %3").arg(name).arg(oldSize).arg(newSize);
        return answer;
    };
    FolderIndex index(game.path());
    const CopyOutcome outcome = indexed ? copyZQ2File(cache, index, QStringLiteral("level1.z2l"), ask)
                                        : copyZQ2File(cache, game.path(), QStringLiteral("level1.z2l"), ask);
    QVERIFY2(outcome.error.ok(), qPrintable(outcome.error.reason()));
    QCOMPARE(int(outcome.result), result);
    QCOMPARE(questions, asked);
    QStringList expected = gameAfter + QStringList{QStringLiteral("cache=<folder>")};
    expected.sort();
    QCOMPARE(folderState(game.path()), expected);
    QCOMPARE(folderState(cache), QStringList{QStringLiteral("level1.z2l=FRESH LEVEL")});
    if (indexed) // the index follows the change it made
        QCOMPARE(index.find(QStringLiteral("level1.z2l")).value_or(QString()),
                 game.filePath(gameAfter.first().section(QLatin1Char('='), 0, 0)));
}

void TestFileCopy::copyZQ2FileFailuresKeepOldFile_data() {
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("failedName");
    QTest::newRow("source vanished, nothing to replace") << "vanished" << ENOENT << "level1.z2l";
    QTest::newRow("source vanished, old file present") << "vanished+old" << ENOENT << "level1.z2l";
    QTest::newRow("game folder missing") << "no game folder" << ENOENT << "level1.z2l";
    QTest::newRow("a folder holds the name") << "folder in the way" << EEXIST << "level1.z2l";
    QTest::newRow("read-only game folder") << "read-only" << EACCES << "level1.z2l";
}

void TestFileCopy::copyZQ2FileFailuresKeepOldFile() {
    QFETCH(QString, scenario);
    QFETCH(int, code);
    QFETCH(QString, failedName);
    if (scenario == QLatin1String("read-only") && ::geteuid() == 0)
        QSKIP("permissions do not bind the super-user");

    QTemporaryDir root;
    const QString cache = root.filePath(QStringLiteral("cache"));
    QString game = root.filePath(QStringLiteral("game"));
    QDir().mkpath(game);
    if (!scenario.startsWith(QLatin1String("vanished")))
        writeFile(cache, QStringLiteral("level1.z2l"), "FRESH");
    if (scenario == QLatin1String("vanished+old") || scenario == QLatin1String("read-only"))
        writeFile(game, QStringLiteral("Level1.z2l"), "OLD");
    if (scenario == QLatin1String("no game folder"))
        game = root.filePath(QStringLiteral("nowhere"));
    if (scenario == QLatin1String("folder in the way"))
        QDir(game).mkdir(QStringLiteral("level1.z2l"));
    const QStringList before = folderState(game);
    if (scenario == QLatin1String("read-only"))
        QFile::setPermissions(game, QFileDevice::ReadOwner | QFileDevice::ExeOwner);

    const CopyOutcome outcome = copyZQ2File(cache, game, QStringLiteral("level1.z2l"),
                                            [](const QString&, qint64, qint64) { return true; });
    QFile::setPermissions(game, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(outcome.result, CopyOutcome::Result::Failed);
    QCOMPARE(outcome.error.code, code);
    QCOMPARE(QFileInfo(outcome.error.path).fileName(), failedName);
    QCOMPARE(folderState(game), before);
}

void TestFileCopy::replaceOrCreateWithVanishedSourceKeepsOldFile() {
    QTemporaryDir game;
    writeFile(game.path(), QStringLiteral("LEVEL1.Z2L"), "OLD");
    const FileError error =
        replaceOrCreate(game.filePath(QStringLiteral("gone")), game.path(), QStringLiteral("level1.z2l"),
                        game.filePath(QStringLiteral("LEVEL1.Z2L")));
    QCOMPARE(error.code, ENOENT);
    QCOMPARE(folderState(game.path()), QStringList{QStringLiteral("LEVEL1.Z2L=OLD")});
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
