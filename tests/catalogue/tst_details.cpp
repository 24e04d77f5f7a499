#include "catalogue/details.h"
#include "support/tempfiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace zq2;

class TestDetails : public QObject {
    Q_OBJECT

private slots:
    void titles_data();
    void titles();
    void describe_data();
    void describe();
    void vanishedFile_data();
    void vanishedFile();
};

void TestDetails::titles_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("title");

    const QByteArray spaces(32, ' ');
    QTest::newRow("plain title") << test::levelBytes("Castle Run") << "Castle Run";
    QTest::newRow("all spaces") << test::levelBytes(spaces) << "";
    QTest::newRow("leading NUL") << test::levelBytes(QByteArray("\0Hidden", 7)) << "";
    QTest::newRow("word padded by spaces then NULs")
        << test::levelBytes(QByteArray("   Lava Lake   \0\0\0", 18)) << "Lava Lake";
    QTest::newRow("full 32 bytes, no NUL")
        << test::levelBytes("ABCDEFGHIJKLMNOPQRSTUVWXYZ012345") << "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";
    QTest::newRow("exactly 220 bytes")
        << test::levelBytes("ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", 220) << "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";
    QTest::newRow("shorter than 188 bytes") << QByteArray(100, 'x') << "";
    QTest::newRow("ends inside the field") << test::levelBytes("ABCDEFGHIJ", 193) << "ABCDE";
    QTest::newRow("ends inside, then spaces") << (QByteArray(188, 'x') + QByteArray("AB  ")) << "AB";
    QTest::newRow("tab is not trimmed") << test::levelBytes("\tTab") << "\tTab";
    QTest::newRow("e acute") << test::levelBytes("Caf\xe9") << QString::fromUtf8("Caf\xc3\xa9");
    QTest::newRow("undefined byte") << test::levelBytes("\x8d") << QString(QChar(0x8D));
    QTest::newRow("euro sign") << test::levelBytes("\x80 100") << QString::fromUtf8("\xe2\x82\xac 100");
}

void TestDetails::titles() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, title);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    test::writeFile(dir.path(), QStringLiteral("t.z2l"), bytes);
    QCOMPARE(loadTitle(dir.filePath(QStringLiteral("t.z2l"))), title);
}

void TestDetails::describe_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("seeFile");
    QTest::addColumn<int>("kind");

    QTest::newRow("level") << "castle.z2l" << test::levelBytes("Castle", 1024) << "Title: Castle"
                           << "Type: Level"
                           << "Size: 1024 Bytes"
                           << "Play castle.z2l" << int(FileKind::Level);
    QTest::newRow("level, upper-case ending, no dot")
        << "CASTLEZ2L" << test::levelBytes("Castle") << "Title: Castle"
        << "Type: Level"
        << "Size: 500 Bytes"
        << "Play CASTLEZ2L" << int(FileKind::Level);
    QTest::newRow("level, blank title") << "blank.z2l" << test::levelBytes("   ") << "Title: "
                                        << "Type: Level"
                                        << "Size: 500 Bytes"
                                        << "Play blank.z2l" << int(FileKind::Level);
    QTest::newRow("tileset") << "tiles.Z2t" << test::levelBytes("Ice") << "Title: Ice"
                             << "Type: Tileset"
                             << "Size: 500 Bytes"
                             << "Launch ZLE" << int(FileKind::Tileset);
    QTest::newRow("music") << "song.z2b" << test::levelBytes("Not read") << "No Title"
                           << "Type: Music"
                           << "Size: 500 Bytes"
                           << "Launch ZLE" << int(FileKind::Music);
    QTest::newRow("empty other file") << "notes.txt" << QByteArray() << "No Title"
                                      << "Type: Other"
                                      << "Size: 0 Bytes"
                                      << "Launch ZLE" << int(FileKind::Other);
    QTest::newRow("ending as whole name") << "z2l" << QByteArray("x") << "Title: "
                                          << "Type: Level"
                                          << "Size: 1 Bytes"
                                          << "Play z2l" << int(FileKind::Level);
}

void TestDetails::describe() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, title);
    QFETCH(QString, type);
    QFETCH(QString, size);
    QFETCH(QString, seeFile);
    QFETCH(int, kind);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    test::writeFile(dir.path(), name, bytes);
    const FileDetails details = describeFile(dir.path(), name);
    QCOMPARE(details.title, title);
    QCOMPARE(details.type, type);
    QCOMPARE(details.size, size);
    QCOMPARE(details.deleteCaption, QStringLiteral("Delete ") + name);
    QCOMPARE(details.seeFileCaption, seeFile);
    QVERIFY(details.readable);
    QCOMPARE(int(fileKindOf(name)), kind);
}

void TestDetails::vanishedFile_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");

    QTest::newRow("level") << "gone.z2l"
                           << "Title: ";
    QTest::newRow("other") << "gone.txt"
                           << "No Title";
    QTest::newRow("no name") << ""
                             << "No Title";
    QTest::newRow("folder named like a level") << "sub.z2l"
                                               << "Title: ";
}

void TestDetails::vanishedFile() {
    QFETCH(QString, name);
    QFETCH(QString, title);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub.z2l")));
    // A neighbour with a title proves no stale title leaks into the answer.
    test::writeFile(dir.path(), QStringLiteral("other.z2l"), test::levelBytes("Neighbour"));
    QCOMPARE(describeFile(dir.path(), QStringLiteral("other.z2l")).title, QStringLiteral("Title: Neighbour"));

    const FileDetails details = describeFile(dir.path(), name);
    QVERIFY(!details.readable);
    QCOMPARE(details.title, title);
    QCOMPARE(details.size, QStringLiteral("Size: unknown"));
    QCOMPARE(details.deleteCaption, QStringLiteral("Delete ") + name);
    QCOMPARE(loadTitle(dir.filePath(name)), QString());
}

QTEST_APPLESS_MAIN(TestDetails)
#include "tst_details.moc"
