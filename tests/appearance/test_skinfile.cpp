#include "appearance/skinfile.h"
#include "platform/paths.h"
#include "support/tempfiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace zq2;

namespace {

// Values that no skin line would produce, so that a value the reader must not touch shows up.
SkinValues markedValues() {
    SkinValues v;
    v.prefsPicture = QStringLiteral("old-prefs");
    v.prefsColour = 0x123456;
    v.settingsPicture = QStringLiteral("old-settings");
    v.restorePicture = QStringLiteral("old-restore");
    v.restoreColour = 0x234567;
    v.restoreOverwriteColour = 0x345678;
    v.aboutPicture = QStringLiteral("old-about");
    return v;
}

QStringList describe(const SkinValues& v) {
    return {
        v.prefsPicture,   QString::number(v.prefsColour, 16),   v.settingsPicture,
        v.restorePicture, QString::number(v.restoreColour, 16), QString::number(v.restoreOverwriteColour, 16),
        v.aboutPicture};
}

QString absolutePicture() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\pics\\a.bmp");
#else
    return QStringLiteral("/pics/a.bmp");
#endif
}

const QString kApp = QStringLiteral("APPDIR");

} // namespace

class TestSkinFile : public QObject {
    Q_OBJECT

private slots:
    void colourLine_data();
    void colourLine();
    void picturePath_data();
    void picturePath();
    void loadSkin_data();
    void loadSkin();
    void missingFileChangesNothing();
    void hugeFileIsReadOnlyAtItsStart();
    void turnOff();
};

void TestSkinFile::colourLine_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<quint32>("expected");
    QTest::newRow("red") << "FF" << 0xFFu;
    QTest::newRow("green") << "00FF00" << 0xFF00u;
    QTest::newRow("blue") << "FF0000" << 0xFF0000u;
    QTest::newRow("face colour") << "8000000F" << 0x8000000Fu;
    QTest::newRow("lower case") << "80000005" << 0x80000005u;
    QTest::newRow("mixed case") << "aBcDeF" << 0xABCDEFu;
    QTest::newRow("empty is black") << "" << 0u;
    QTest::newRow("junk is black") << "xyz" << 0u;
    QTest::newRow("leading blank is black") << " FF" << 0u;
    QTest::newRow("prefix is not hex") << "&HFF" << 0u;
    QTest::newRow("stops at first non-digit") << "12G34" << 0x12u;
    QTest::newRow("stops at blank") << "FF 00" << 0xFFu;
    QTest::newRow("FFFF is not negative") << "FFFF" << 0xFFFFu;
    QTest::newRow("8000 is not negative") << "8000" << 0x8000u;
    QTest::newRow("above FFFFFF kept") << "1000000" << 0x1000000u;
    QTest::newRow("eight digits") << "FFFFFFFF" << 0xFFFFFFFFu;
    QTest::newRow("too long saturates") << "1000000FF" << 0xFFFFFFFFu;
    QTest::newRow("leading zeros do not overflow") << "000000000000FF" << 0xFFu;
}

void TestSkinFile::colourLine() {
    QFETCH(QString, line);
    QFETCH(quint32, expected);
    QCOMPARE(parseColourLine(line), expected);
}

void TestSkinFile::picturePath_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("absolute unchanged") << absolutePicture() << absolutePicture();
    QTest::newRow("relative to app dir") << "pics/a.bmp" << joinPath(kApp, QStringLiteral("pics/a.bmp"));
    QTest::newRow("empty names the app dir") << "" << joinPath(kApp, QString());
#ifndef Q_OS_WIN
    QTest::newRow("drive letter is relative here")
        << "C:/a.bmp" << joinPath(kApp, QStringLiteral("C:/a.bmp"));
#endif
}

void TestSkinFile::picturePath() {
    QFETCH(QString, line);
    QFETCH(QString, expected);
    QCOMPARE(picturePathFor(line, kApp), expected);
}

void TestSkinFile::loadSkin_data() {
    QTest::addColumn<QByteArray>("bytes");
    // Main window part: picture, frame1, frame2 ("-" for a part the file lacks).
    QTest::addColumn<QStringList>("mainWindow");
    QTest::addColumn<QStringList>("values");

    const QStringList untouched = describe(markedValues());
    const QString m = joinPath(kApp, QStringLiteral("m.png"));
    const QStringList full = {
        joinPath(kApp, QStringLiteral("p.png")), "dbeee3", joinPath(kApp, QStringLiteral("s.png")),
        joinPath(kApp, QStringLiteral("r.png")), "efe0e6", "8000000f",
        joinPath(kApp, QStringLiteral("a.png"))};
    const QByteArray tenLines = "m.png\r\nFF\r\n00FF00\r\np.png\r\nDBEEE3\r\ns.png\r\nr.png\r\nEFE0E6\r\n"
                                "8000000F\r\na.png";

    QTest::newRow("ten lines") << tenLines << QStringList{m, "ff", "ff00"} << full;
    QTest::newRow("ten lines with final line end") << tenLines + "\r\n"
                                                   << QStringList{m, "ff", "ff00"} << full;
    QTest::newRow("lone line feeds") << QByteArray(tenLines).replace("\r\n", "\n")
                                     << QStringList{m, "ff", "ff00"} << full;
    QTest::newRow("lines after ten ignored") << tenLines + "\r\nx.png\r\nFF\r\n00FF00\r\nq.png\r\n0\r\n"
                                             << QStringList{m, "ff", "ff00"} << full;
    QTest::newRow("three lines keep dialog values")
        << QByteArray("m.png\r\nFF\r\n00FF00\r\n") << QStringList{m, "ff", "ff00"} << untouched;
    QTest::newRow("one line") << QByteArray("m.png") << QStringList{m, "-", "-"} << untouched;
    QTest::newRow("empty file") << QByteArray() << QStringList{"-", "-", "-"} << untouched;
    QTest::newRow("empty colour lines are black")
        << QByteArray("\r\n\r\n\r\n") << QStringList{joinPath(kApp, QString()), "0", "0"} << untouched;

    QStringList fourLines = untouched;
    fourLines[0] = joinPath(kApp, QStringLiteral("p.png"));
    QTest::newRow("four lines") << QByteArray("m.png\r\n1\r\n2\r\np.png\r\n") << QStringList{m, "1", "2"}
                                << fourLines;

    QStringList absolute = untouched;
    absolute[0] = absolutePicture();
    QTest::newRow("absolute picture line") << QByteArray("\r\n\r\n\r\n") + absolutePicture().toLocal8Bit()
                                           << QStringList{joinPath(kApp, QString()), "0", "0"} << absolute;

    QByteArray binary(4096, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = char((i * 37) % 256);
    QTest::newRow("binary file does not fail") << binary << QStringList() << QStringList();
}

void TestSkinFile::loadSkin() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, mainWindow);
    QFETCH(QStringList, values);

    QTemporaryDir dir;
    test::writeFile(dir.path(), QStringLiteral("skin.skn"), bytes);
    SkinValues v = markedValues();
    const MainWindowSkin skin = loadSkinFile(dir.filePath(QStringLiteral("skin.skn")), kApp, v);

    if (mainWindow.isEmpty())
        return; // only that reading such a file neither crashes nor hangs
    auto colour = [](const std::optional<ColourValue>& c) { return c ? QString::number(*c, 16) : "-"; };
    QCOMPARE((QStringList{skin.picture.value_or("-"), colour(skin.frame1), colour(skin.frame2)}), mainWindow);
    QCOMPARE(describe(v), values);
}

void TestSkinFile::missingFileChangesNothing() {
    QTemporaryDir dir;
    SkinValues v = markedValues();
    const MainWindowSkin skin = loadSkinFile(dir.filePath(QStringLiteral("none.skn")), kApp, v);
    QVERIFY(!skin.picture && !skin.frame1 && !skin.frame2);
    QCOMPARE(describe(v), describe(markedValues()));
    loadSkinFile(QString(), kApp, v);
    QCOMPARE(describe(v), describe(markedValues()));
    loadSkinFile(dir.path(), kApp, v); // a folder, not a file
    QCOMPARE(describe(v), describe(markedValues()));
}

void TestSkinFile::hugeFileIsReadOnlyAtItsStart() {
    // One line of 100 MB without a line end: the first line is cut, the others are never reached.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("huge.skn"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        const QByteArray chunk(1024 * 1024, 'A');
        for (int i = 0; i < 100; ++i)
            QCOMPARE(f.write(chunk), chunk.size());
    }
    SkinValues v = markedValues();
    const MainWindowSkin skin = loadSkinFile(path, kApp, v);
    QVERIFY(skin.picture.has_value());
    QVERIFY(skin.picture->size() < 64 * 1024);
    QVERIFY(!skin.frame1);
    QCOMPARE(describe(v), describe(markedValues()));
}

void TestSkinFile::turnOff() {
    SkinValues v = markedValues();
    turnOffSkin(v);
    QCOMPARE(describe(v), (QStringList{"", "8000000f", "", "", "8000000f", "8000000f", ""}));
}

QTEST_GUILESS_MAIN(TestSkinFile)
#include "test_skinfile.moc"
