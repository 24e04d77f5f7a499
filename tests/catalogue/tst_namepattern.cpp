#include "catalogue/namepattern.h"

#include <QFile>
#include <QTest>

using zq2::NamePattern;

class TestNamePattern : public QObject {
    Q_OBJECT

private slots:
    void matching_data();
    void matching();
};

void TestNamePattern::matching_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("expected");

    QTest::newRow("suffix") << "*.z2l"
                            << "castle.z2l" << true;
    QTest::newRow("suffix, upper-case name") << "*.z2l"
                                             << "CASTLE.Z2L" << true;
    QTest::newRow("suffix, upper-case pattern") << "*.Z2L"
                                                << "castle.z2l" << true;
    QTest::newRow("suffix needs the dot") << "*.z2l"
                                          << "castlez2l" << false;
    QTest::newRow("suffix is only the end") << "*.z2l"
                                            << "castle.z2l.bak" << false;
    QTest::newRow("star-dot-star with dot") << "*.*"
                                            << "readme.txt" << true;
    QTest::newRow("star-dot-star without dot") << "*.*"
                                               << "README" << true;
    QTest::newRow("name-dot-star without extension") << "castle.*"
                                                     << "Castle" << true;
    QTest::newRow("name-dot-star with extension") << "castle.*"
                                                  << "castle.z2t" << true;
    QTest::newRow("name-dot-star other name") << "castle.*"
                                              << "castles" << false;
    QTest::newRow("question mark one char") << "level?.z2l"
                                            << "level7.z2l" << true;
    QTest::newRow("question mark not zero chars") << "level?.z2l"
                                                  << "level.z2l" << false;
    QTest::newRow("question mark wide char") << "?.z2l" << QString::fromUtf8("\xc3\xa9.z2l") << true;
    QTest::newRow("star in middle") << "a*z.z2b"
                                    << "abcz.Z2B" << true;
    QTest::newRow("star in middle backtracks") << "a*z.z2b"
                                               << "azzz.z2b" << true;
    QTest::newRow("star in middle fails") << "a*z.z2b"
                                          << "abc.z2b" << false;
    QTest::newRow("exact name") << "Castle.z2l"
                                << "castle.Z2L" << true;
    QTest::newRow("several, second matches") << "*.z2l;*.z2t;*.z2b"
                                             << "tiles.z2t" << true;
    QTest::newRow("several, none matches") << "*.z2l;*.z2t;*.z2b"
                                           << "notes.txt" << false;
    QTest::newRow("duplicates") << "*.z2t;*.z2t"
                                << "tiles.z2t" << true;
    QTest::newRow("empty pieces ignored") << ";*.z2t;;"
                                          << "tiles.z2t" << true;
    QTest::newRow("empty text") << ""
                                << "tiles.z2t" << false;
    QTest::newRow("non-ASCII name, ASCII pattern")
        << "*.z2l" << QString::fromUtf8("ch\xc3\xa2teau.Z2L") << true;
    QTest::newRow("non-ASCII pattern ignores case")
        << QString::fromUtf8("\xc3\x89t\xc3\xa9.z2l") << QString::fromUtf8("\xc3\xa9T\xc3\x89.z2l") << true;
}

void TestNamePattern::matching() {
    QFETCH(QString, pattern);
    QFETCH(QString, name);
    QFETCH(bool, expected);

    const NamePattern compiled(pattern);
    QCOMPARE(compiled.matches(name), expected);
    // The file-system route must give the same answer as the decoded one.
    QCOMPARE(compiled.matchesEncoded(QFile::encodeName(name)), expected);
}

QTEST_APPLESS_MAIN(TestNamePattern)
#include "tst_namepattern.moc"
