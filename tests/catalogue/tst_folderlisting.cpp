#include "catalogue/counts.h"
#include "catalogue/folderlisting.h"
#include "support/tempfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace zq2;

class TestFolderListing : public QObject {
    Q_OBJECT

private slots:
    void listing_data();
    void listing();
    void missingFolders();
    void sortOrder();
    void countsAgreeWithListing_data();
    void countsAgreeWithListing();
    void levelLimit_data();
    void levelLimit();
};

namespace {

// A folder holding one entry of every sort a game folder may contain.
void fillMixedFolder(const QString& dir) {
    test::writeFile(dir, QStringLiteral("b.z2l"));
    test::writeFile(dir, QStringLiteral("B.z2l"));
    test::writeFile(dir, QStringLiteral("a.Z2L"));
    test::writeFile(dir, QStringLiteral("c.z2t"));
    test::writeFile(dir, QStringLiteral("music.z2b"));
    test::writeFile(dir, QStringLiteral("notes.txt"));
    test::writeFile(dir, QStringLiteral("README"));
    test::writeFile(dir, QStringLiteral(".hidden.z2l"));
    QDir(dir).mkpath(QStringLiteral("folder.z2l"));
    QFile::link(dir + QStringLiteral("/c.z2t"), dir + QStringLiteral("/linked.z2t"));
    QFile::link(dir + QStringLiteral("/folder.z2l"), dir + QStringLiteral("/linkedfolder.z2l"));
    QFile::link(dir + QStringLiteral("/gone.z2l"), dir + QStringLiteral("/dangling.z2l"));
}

} // namespace

void TestFolderListing::listing_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("default pattern") << "*.z2l;*.z2t;*.z2b"
                                     << QStringList{"a.Z2L", "B.z2l",      "b.z2l",
                                                    "c.z2t", "linked.z2t", "music.z2b"};
    QTest::newRow("levels only") << "*.z2l" << QStringList{"a.Z2L", "B.z2l", "b.z2l"};
    QTest::newRow("everything") << "*.*" << QStringList{"a.Z2L",      "B.z2l",     "b.z2l",     "c.z2t",
                                                        "linked.z2t", "music.z2b", "notes.txt", "README"};
    QTest::newRow("duplicated piece") << "*.z2t;*.z2t" << QStringList{"c.z2t", "linked.z2t"};
    QTest::newRow("empty pattern") << "" << QStringList{};
}

void TestFolderListing::listing() {
    QFETCH(QString, pattern);
    QFETCH(QStringList, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    fillMixedFolder(dir.path());
    QCOMPARE(listFolder(dir.path(), pattern), expected);
}

void TestFolderListing::missingFolders() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("nowhere"));
    QCOMPARE(listFolder(missing, QStringLiteral("*.*")), QStringList{});
    QCOMPARE(listFolder(QString(), QStringLiteral("*.*")), QStringList{});
    QCOMPARE(listFolder(dir.path(), QStringLiteral("*.*")), QStringList{});

    const FolderCounts none = countFolders(QString(), missing);
    QCOMPARE(none.levels + none.tilesets + none.music + none.cacheFiles, 0);
}

void TestFolderListing::sortOrder() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QStringList names{QStringLiteral("Zeta.z2l"),
                            QStringLiteral("_under.z2l"),
                            QString::fromUtf8("\xc3\xa9mile.z2l"),
                            QString::fromUtf8("\xc3\x89mile.z2l"),
                            QStringLiteral("eagle.z2l"),
                            QStringLiteral("[x].z2l"),
                            QStringLiteral("a b.z2l"),
                            QStringLiteral("ab.z2l"),
                            QStringLiteral("ABC.z2l"),
                            QStringLiteral("abc.z2l"),
                            QStringLiteral("Abc.z2l"),
                            QStringLiteral("abd.z2l")};
    for (const QString& name : names)
        test::writeFile(dir.path(), name);

    // Letter case only breaks ties: every spelling of "abc" sits together, upper case first.
    QStringList expected = names;
    std::sort(expected.begin(), expected.end(),
              [](const QString& a, const QString& b) { return compareListedNames(a, b) < 0; });
    const QStringList listed = listFolder(dir.path(), QStringLiteral("*.z2l"));
    QCOMPARE(listed, expected);
    const qsizetype abc = listed.indexOf(QStringLiteral("ABC.z2l"));
    QCOMPARE(listed.mid(abc - 1, 5), (QStringList{"ab.z2l", "ABC.z2l", "Abc.z2l", "abc.z2l", "abd.z2l"}));
    QVERIFY(listed.indexOf(QStringLiteral("eagle.z2l")) < listed.indexOf(QStringLiteral("Zeta.z2l")));
}

void TestFolderListing::countsAgreeWithListing_data() {
    QTest::addColumn<int>("levels");
    QTest::addColumn<bool>("withCache");

    QTest::newRow("mixed, with cache") << 3 << true;
    QTest::newRow("mixed, no cache folder") << 0 << false;
    QTest::newRow("300 levels") << 300 << true;
}

void TestFolderListing::countsAgreeWithListing() {
    QFETCH(int, levels);
    QFETCH(bool, withCache);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString game = dir.path();
    const QString cache = dir.filePath(QStringLiteral("cache"));
    fillMixedFolder(game);
    for (int i = 0; i < levels; ++i)
        test::writeFile(game, QStringLiteral("extra%1.z2l").arg(i));
    if (withCache) {
        fillMixedFolder(cache);
        test::writeFile(cache, QStringLiteral("download"));
    }

    const FolderCounts counts = countFolders(game, cache);
    QCOMPARE(counts.levels, listFolder(game, QStringLiteral("*.z2l")).size());
    QCOMPARE(counts.tilesets, listFolder(game, QStringLiteral("*.z2t")).size());
    QCOMPARE(counts.music, listFolder(game, QStringLiteral("*.z2b")).size());
    QCOMPARE(counts.cacheFiles, listFolder(cache, QStringLiteral("*.*")).size());
    QCOMPARE(counts.levels, qint64(3 + levels));
    QCOMPARE(counts.cacheFiles, withCache ? qint64(9) : qint64(0));
}

void TestFolderListing::levelLimit_data() {
    QTest::addColumn<qint64>("levels");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("overLimit");

    QTest::newRow("none") << qint64(0) << "Levels: 0" << false;
    QTest::newRow("at the limit") << qint64(255) << "Levels: 255" << false;
    QTest::newRow("one over") << qint64(256) << "Levels: 256" << true;
    QTest::newRow("past 16 bits") << qint64(70000) << "Levels: 70000" << true;
}

void TestFolderListing::levelLimit() {
    QFETCH(qint64, levels);
    QFETCH(QString, caption);
    QFETCH(bool, overLimit);

    FolderCounts counts;
    counts.levels = levels;
    counts.tilesets = 12;
    counts.music = 3;
    counts.cacheFiles = 40;
    const CountCaptions captions = countCaptions(counts);
    QCOMPARE(captions.levels, caption);
    QCOMPARE(captions.overLimit, overLimit);
    QCOMPARE(captions.tilesets, QStringLiteral("Tilesets: 12"));
    QCOMPARE(captions.music, QStringLiteral("Music files: 3"));
    QCOMPARE(captions.cache, QStringLiteral("Cache files: 40"));
}

QTEST_APPLESS_MAIN(TestFolderListing)
#include "tst_folderlisting.moc"
