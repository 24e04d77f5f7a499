#include "platform/filenames.h"
#include "platform/urilist.h"

#include <QTest>

using namespace zq2;
using namespace Qt::StringLiterals;

class TestFileNames : public QObject {
    Q_OBJECT

private slots:
    // A name's bytes, the text the program holds it as (an undecodable byte b as U+DC00 + b), that
    // text with letter case folded, and the text shown for it.
    void decodeEncodeDisplay_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("held");
        QTest::addColumn<QString>("folded");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* tag, const QByteArray& bytes, QStringView held, QStringView folded,
                            QStringView shown) {
            QTest::newRow(tag) << bytes << held.toString() << folded.toString() << shown.toString();
        };
        row("ASCII", "A b.Z2L", u"A b.Z2L", u"a b.z2l", u"A b.Z2L");
        row("UTF-8 of two, three and four bytes", "\xC3\x89\xE2\x82\xAC\xF0\x9F\x8E\xAE", u"É€🎮", u"é€🎮",
            u"É€🎮");
        row("U+FFFD spelled out", "CAF\xEF\xBF\xBD", u"CAF\xFFFD", u"caf\xFFFD", u"CAF\xFFFD");
        row("Latin-1 byte", "CAF\xE9.Z2L", u"CAF\xDCE9.Z2L", u"caf\xDCE9.z2l", u"CAF\xFFFD.Z2L");
        row("lone continuation byte first", "\x80\x41", u"\xDC80\x41", u"\xDC80\x61", u"\xFFFD\x41");
        row("cut short, before ASCII and at the end", "\xE2\x82Z\xE2\x82", u"\xDCE2\xDC82Z\xDCE2\xDC82",
            u"\xDCE2\xDC82z\xDCE2\xDC82", u"\xFFFD\xFFFDZ\xFFFD\xFFFD");
        // An overlong "/", an encoded surrogate and a code point above U+10FFFF: one escape per byte.
        row("ill-formed sequences", "\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80",
            u"\xDCC0\xDCAF\xDCED\xDCA0\xDC80\xDCF4\xDC90\xDC80\xDC80",
            u"\xDCC0\xDCAF\xDCED\xDCA0\xDC80\xDCF4\xDC90\xDC80\xDC80",
            QString(9, QChar::ReplacementCharacter));
        // U+10080 is the pair D800 DC80: its second half looks like an escape but belongs to the letter.
        row("escape after a letter of four bytes", "\xF0\x90\x82\x80\x80", u"\xD800\xDC80\xDC80",
            u"\xD800\xDC80\xDC80", u"\xD800\xDC80\xFFFD");
    }
    void decodeEncodeDisplay() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, held);
        QFETCH(QString, folded);
        QFETCH(QString, shown);
        QCOMPARE(decodeFileName(bytes), held);
        QCOMPARE(encodeFileName(held), bytes);
        QCOMPARE(foldFileName(held), folded);
        QCOMPARE(displayFileName(held), shown);
        QCOMPARE(encodeStoredPath(decodeStoredPath(bytes)), bytes);
    }

    // What a drag from another program carries, and the local paths taken from it.
    void localPathsFromUriList_data() {
        QTest::addColumn<QByteArray>("uriList");
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("three spellings of a local file, CR LF and LF")
            << QByteArray("file:///g/a.z2l\r\nFILE://localhost/g/b.z2l\nfile:/g/c.z2l\r\n")
            << QStringList{"/g/a.z2l", "/g/b.z2l", "/g/c.z2l"};
        QTest::newRow("comments, other hosts and schemes left out")
            << QByteArray(
                   "# from a file "
                   "manager\r\nfile://server/g/a.z2l\r\nhttps://x/b.zip\r\nfile:x\r\nfile:///g/a%00/../b\r\n")
            << QStringList{};
        QTest::newRow("percent-encoded bytes, UTF-8 or not")
            << QByteArray("file:///g/caf%C3%A9%20%25.z2l\r\nfile:///g/CAF%E9.Z2L\r\n")
            << QStringList{u"/g/café %.z2l"_s, u"/g/CAF\xDCE9.Z2L"_s};
    }
    void localPathsFromUriList() {
        QFETCH(QByteArray, uriList);
        QFETCH(QStringList, paths);
        QCOMPARE(zq2::localPathsFromUriList(uriList), paths);
        // What this program offers when an entry is dragged out reads back as the same paths.
        QCOMPARE(zq2::localPathsFromUriList(uriListOfPaths(paths)), paths);
    }
};

QTEST_APPLESS_MAIN(TestFileNames)
#include "tst_filenames.moc"
