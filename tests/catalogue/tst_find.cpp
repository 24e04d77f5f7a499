// Find over temporary folders: which files a query finds by name or title, ignoring case and
// accents; that typing on finds what a fresh search finds; and when a title kept in memory is read
// again.
#include "catalogue/find.h"
#include "catalogue/titlecache.h"
#include "platform/filenames.h"
#include "support/tempfiles.h"

#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

using namespace zq2;
using namespace zq2::test;

namespace {

const QString kPattern = QStringLiteral("*.z2l;*.z2t;*.z2b");

// Each entry "folder:name=title field" writes a level-sized file whose title field holds the field's
// Latin-1 bytes, "folder:name/" a folder; folder is game, cache or shelf.
QList<FindFolder> makeFolders(const QString& root, const QStringList& entries) {
    for (const QString& entry : entries) {
        const QString place = entry.section(':', 0, 0), rest = entry.section(':', 1);
        if (rest.endsWith('/'))
            makeFolder(root + '/' + place + '/' + rest);
        else
            writeFile(root + '/' + place, rest.section('=', 0, 0),
                      levelBytes(rest.section('=', 1).toLatin1()));
    }
    return {{FilePlace::Game, root + "/game"},
            {FilePlace::Cache, root + "/cache"},
            {FilePlace::Shelf, root + "/shelf"}};
}

QStringList found(const FindIndex& index, const FindHits& hits) {
    QStringList out;
    for (const qsizetype i : hits.files)
        out << placeName(index.file(i).place) + ": " + index.file(i).name;
    return out;
}

// Gives the file at `path` the modification time `nanoseconds`, to the nanosecond.
void setModified(const QString& path, qint64 nanoseconds) {
    const struct timespec times[2] = {{0, UTIME_OMIT},
                                      {time_t(nanoseconds / 1000000000), long(nanoseconds % 1000000000)}};
    QCOMPARE(::utimensat(AT_FDCWD, encodeFileName(path).constData(), times, 0), 0);
}

} // namespace

class TestFind : public QObject {
    Q_OBJECT

private slots:
    void findByNameOrTitle_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("expected");
        const QStringList cloud{"game:Cloud Castle.z2l=Sky Fort"};
        QTest::newRow("name, other letter case")
            << cloud << "CLOUD" << QStringList{"Zeno 2 folder: Cloud Castle.z2l"};
        QTest::newRow("title") << cloud << "fort" << QStringList{"Zeno 2 folder: Cloud Castle.z2l"};
        QTest::newRow("words from name and title")
            << cloud << " fort  castle " << QStringList{"Zeno 2 folder: Cloud Castle.z2l"};
        QTest::newRow("a word is not found across name and title") << cloud << "z2lsky" << QStringList{};
        QTest::newRow("a word not there") << cloud << "castle moat" << QStringList{};
        QTest::newRow("accent in the title") << QStringList{QString::fromUtf8("game:lagoon.z2l=Café Lagoon")}
                                             << "cafe" << QStringList{"Zeno 2 folder: lagoon.z2l"};
        QTest::newRow("accent in the query") << QStringList{"game:Cafe.z2l="} << QString::fromUtf8("CAFÉ")
                                             << QStringList{"Zeno 2 folder: Cafe.z2l"};
        QTest::newRow("letters written as two")
            << QStringList{QString::fromUtf8("game:Æther.z2t=Straße")} << "aether strasse"
            << QStringList{QString::fromUtf8("Zeno 2 folder: Æther.z2t")};
        QTest::newRow("title padded with spaces and NUL bytes")
            << QStringList{"game:p.z2l=   Sky   "} << "sky" << QStringList{"Zeno 2 folder: p.z2l"};
        QTest::newRow("padding is not part of the title")
            << QStringList{"game:p.z2l=   Sky   "} << "sky   x" << QStringList{};
        QTest::newRow("music has no title")
            << QStringList{"game:song.z2b=Secret"} << "secret" << QStringList{};
        QTest::newRow("every folder, each in name order")
            << QStringList{"shelf:lava.z2l=", "cache:Lava.z2l=", "game:b lava.z2l=", "game:A lava.z2l="}
            << "lava"
            << QStringList{"Zeno 2 folder: A lava.z2l", "Zeno 2 folder: b lava.z2l",
                           "Internet Cache folder: Lava.z2l", "Level Shelf: lava.z2l"};
        QTest::newRow("what the lists leave out")
            << QStringList{"game:.hidden.z2l=", "game:folder.z2l/", "game:level.txt=", "shelf:ok.z2l="} << "l"
            << QStringList{"Level Shelf: ok.z2l"};
        const QString latin1 = decodeFileName("caf\xE9.z2l");
        QTest::newRow("name not UTF-8, up to its odd byte")
            << QStringList{"game:" + latin1 + "="} << "caf" << QStringList{"Zeno 2 folder: " + latin1};
        QTest::newRow("name not UTF-8, past its odd byte")
            << QStringList{"game:" + latin1 + "="} << "cafe" << QStringList{};
        QTest::newRow("no words") << cloud << "   " << QStringList{};
    }

    void findByNameOrTitle() {
        QFETCH(QStringList, entries);
        QFETCH(QString, query);
        QFETCH(QStringList, expected);
        TempDir root;
        TitleCache titles;
        const FindIndex index = buildFindIndex(makeFolders(root.path(), entries), kPattern, titles);
        QCOMPARE(found(index, index.search(query)), expected);
    }

    // Each keystroke searches only the hits of the one before when it can; the hits must be those of a
    // search over every file, whether the user types on, takes letters back or starts another word.
    void typingOnFindsWhatAFreshSearchFinds() {
        TempDir root;
        TitleCache titles;
        const FindIndex index =
            buildFindIndex(makeFolders(root.path(), {"game:cab.z2l=Blue", "game:cave.z2l=Cabin",
                                                     "cache:arc.z2l=Cave", "shelf:b.z2l=Ca b"}),
                           kPattern, titles);
        const QStringList typed{"c", "ca", "cab", "ca", "ca b", "ca bl", "cab bl", "b", "ve ca", "cave", "e"};
        FindHits hits;
        for (const QString& query : typed) {
            hits = index.search(query, &hits);
            QCOMPARE(found(index, hits), found(index, index.search(query)));
        }
    }

    // A title is kept by name, size and modification time: the file's bytes are changed behind the
    // cache's back, and only a change of size or time makes it read them. Both the shelf's lookups
    // and Find's readings share what is kept.
    void titleCacheReadsAgainOnlyWhenSizeOrTimeChanged_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("title");
        QTest::newRow("same size and time") << "none"
                                            << "Old";
        QTest::newRow("size changed") << "size"
                                      << "New";
        QTest::newRow("time changed") << "time"
                                      << "New";
        QTest::newRow("moved to another folder") << "moved"
                                                 << "Old";
    }

    void titleCacheReadsAgainOnlyWhenSizeOrTimeChanged() {
        QFETCH(QString, change);
        QFETCH(QString, title);
        TempDir root;
        const QList<FindFolder> folders = makeFolders(root.path(), {"game:lvl.z2l=Old"});
        TitleCache titles;
        QCOMPARE(titles.titleOf(folders[0].folder, "lvl.z2l"), QString("Old"));
        const QString path = folders[0].folder + "/lvl.z2l";
        const qint64 time = fileStampOf(path)->modified;
        writeFile(folders[0].folder, "lvl.z2l", levelBytes("New", change == "size" ? 600 : 500));
        setModified(path, change == "time" ? time + 1 : time);
        QString folder = folders[0].folder;
        if (change == "moved") {
            folder = folders[2].folder;
            makeFolder(folder);
            QVERIFY(QFile::rename(path, folder + "/lvl.z2l"));
        }
        QCOMPARE(titles.titleOf(folder, "lvl.z2l"), title);
        const FindIndex index = buildFindIndex(folders, kPattern, titles);
        QCOMPARE(index.size(), 1);
        QCOMPARE(index.file(0).title, title);
    }
};

QTEST_GUILESS_MAIN(TestFind)
#include "tst_find.moc"
