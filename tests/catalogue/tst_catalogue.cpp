#include "catalogue/counts.h"
#include "catalogue/details.h"
#include "catalogue/folderlisting.h"
#include "catalogue/namepattern.h"
#include "platform/filenames.h"
#include "support/faults.h"
#include "support/tempfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace zq2;
using namespace Qt::StringLiterals;

namespace {

// Every sort of entry a game folder may hold. Only the visible plain files and the links to them
// count, 19 in all; the level names also pin down the order, where letter case only breaks ties.
// A name with a Latin-1 byte and its U+FFFD twin are two files.
void fillMixedFolder(const QString& dir) {
    for (const QString& name :
         decodeFileName("Zeta.z2l|_under.z2l|émile.z2l|Émile.z2l|eagle.z2l|[x].z2l|a b.z2l|ab.z2l|ABC.z2l|"
                        "abc.z2l|Abc.Z2L|abd.z2l|c.z2t|music.z2b|notes.txt|README|.hidden.z2l|caf\xE9.z2l|"
                        "caf\xEF\xBF\xBD.z2l|.zq2-0123abcd.part|.zq2-0123ABCD.part|.zq2-0123abc.part")
             .split('|'))
        test::writeFile(dir, name);
    QDir(dir).mkpath(u"folder.z2l"_s);
    QFile::link(dir + "/c.z2t", dir + "/linked.z2t");
    QFile::link(dir + "/folder.z2l", dir + "/linkedfolder.z2l");
    QFile::link(dir + "/gone.z2l", dir + "/dangling.z2l");
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT

    static void row(const char* tag, const QString& name, const QByteArray& bytes, const QString& captions) {
        QTest::newRow(tag) << name << bytes << captions;
    }

private slots:
    // The readers of the rules of matching decoded names are the fuzz targets; here the one case they
    // leave out: a byte that is not valid UTF-8 is a character of its own, which U+FFFD does not match.
    void undecodableByteIsItsOwnCharacter() {
        const NamePattern pattern(u"\xFFFD.z2l;?.Z2T"_s);
        QVERIFY(!pattern.matches(decodeFileName("\xFF.z2l")));
        QVERIFY(!pattern.matchesEncoded("\xFF.z2l"));
        QVERIFY(pattern.matches(decodeFileName("\xFF.z2t")) && pattern.matchesEncoded("\xFF.z2t"));
    }

    void listing_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");
        QTest::newRow("game files")
            << u"*.z2l;*.z2t;*.z2b"_s
            << u"[x].z2l|_under.z2l|a b.z2l|ab.z2l|ABC.z2l|Abc.Z2L|abc.z2l|abd.z2l|c.z2t|caf\xDCE9.z2l|"
               "caf\xFFFD.z2l|eagle.z2l|linked.z2t|music.z2b|Zeta.z2l|Émile.z2l|émile.z2l"_s;
        QTest::newRow("empty pattern") << QString() << QString();
    }

    void listing() {
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        test::TempDir dir;
        fillMixedFolder(dir.path());
        QCOMPARE(listFolder(dir.path(), pattern).join('|'), expected);
        // One reading serves any pattern: the same names as a listing with the pattern.
        const FolderContents contents = readFolder(dir.path());
        QCOMPARE(namesMatching(contents, pattern).join('|'), expected);
        // Only a name of the exact shape of our own temporary files is taken for a leftover.
        QCOMPARE(contents.leftovers, QStringList{u".zq2-0123abcd.part"_s});
        // Counted as listed: 14 levels, a tileset and a link to it, one music file; 19 files in a cache.
        const FolderCounts c = countContents(contents, contents);
        QCOMPARE(QList<qint64>({c.levels, c.tilesets, c.music, c.cacheFiles}), QList<qint64>({14, 2, 1, 19}));
        QCOMPARE(countContents(contents, readFolder(dir.filePath(u"nowhere"_s))).cacheFiles, 0);
    }

    void titles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("title");
        QTest::newRow("leading NUL") << test::levelBytes(QByteArray("\0Hidden", 7)) << QString();
        QTest::newRow("ends inside the field") << QByteArray(188, 'x').append("AB  ") << u"AB"_s;
        QTest::newRow("Windows-1252") << test::levelBytes("Caf\xe9 \x80\x8d\x9f") << u"Café €\u008dŸ"_s;
        QTest::newRow("a pipe named like a level") << QByteArray("<pipe>") << QString();
    }

    void titles() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, title);
        QTemporaryDir dir;
        if (bytes != "<pipe>")
            test::writeFile(dir.path(), u"t.z2l"_s, bytes);
        QVERIFY(bytes != "<pipe>" || test::makeFifo(dir.filePath(u"t.z2l"_s)));
        test::HangGuard guard;
        QCOMPARE(loadTitle(dir.filePath(u"t.z2l"_s)), title);
    }

    void describe_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // null: no such file
        QTest::addColumn<QString>("captions");
        const QByteArray ice = test::levelBytes("Ice");
        row("level", "ice.z2l", ice, "Title: Ice|Type: Level|Size: 500 Bytes|Play ice.z2l");
        row("tileset", "ice.Z2t", ice, "Title: Ice|Type: Tileset|Size: 500 Bytes|Launch ZLE");
        row("music has no title", "ice.z2b", ice, "No Title|Type: Music|Size: 500 Bytes|Launch ZLE");
        row("empty file", "notes.txt", "", "No Title|Type: Other|Size: 0 Bytes|Launch ZLE");
        row("vanished level", "gone.z2l", {}, "Title: |Type: Level|Size: unknown|Play gone.z2l");
        row("folder named like a level", "sub.z2l", {}, "Title: |Type: Level|Size: unknown|Play sub.z2l");
        row("Latin-1 byte", decodeFileName("caf\xE9.z2l"), ice,
            u"Title: Ice|Type: Level|Size: 500 Bytes|Play caf\xFFFD.z2l"_s);
    }

    void describe() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, captions);
        test::TempDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"sub.z2l"_s));
        if (!bytes.isNull())
            test::writeFile(dir.path(), name, bytes);
        if (displayFileName(name) != name) // a twin spelled with U+FFFD, which must not be described
            test::writeFile(dir.path(), displayFileName(name), test::levelBytes("Twin", 700));
        const FileDetails d = describeFile(dir.path(), name);
        QCOMPARE(QStringList({d.title, d.type, d.size, d.seeFileCaption}).join('|'), captions);
        QCOMPARE(d.deleteCaption, "Delete " + displayFileName(name));
        QCOMPARE(d.readable, !bytes.isNull());
    }
};

QTEST_APPLESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
