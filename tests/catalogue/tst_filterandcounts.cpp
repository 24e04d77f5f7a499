#include "catalogue/counts.h"
#include "catalogue/filter.h"

#include <QTest>

using namespace zq2;

class TestFilterAndCounts : public QObject {
    Q_OBJECT

private slots:
    void patternText_data();
    void patternText();
    void quitQuestion_data();
    void quitQuestion();
};

void TestFilterAndCounts::patternText_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("pattern");

    const QStringList defaults{"All", "*.z2l", "*.z2t", "*.z2b"};
    QTest::newRow("All joins the rest") << "All" << defaults << "*.z2l;*.z2t;*.z2b";
    QTest::newRow("All in other case") << "aLL" << defaults << "*.z2l;*.z2t;*.z2b";
    QTest::newRow("single entry") << "*.z2t" << defaults << "*.z2t";
    QTest::newRow("entry with trailing separator") << "*.z2l;" << QStringList{"All", "*.z2l;"} << "*.z2l";
    QTest::newRow("All over entries ending in separator")
        << "All" << QStringList{"All", "*.z2l;", "*.z2t"} << "*.z2l;;*.z2t";
    QTest::newRow("entry holding several patterns") << "*.z2l;*.z2t" << defaults << "*.z2l;*.z2t";
    QTest::newRow("duplicates kept") << "All" << QStringList{"All", "*.z2l", "*.z2l"} << "*.z2l;*.z2l";
    QTest::newRow("All with no other entry") << "All" << QStringList{"All"} << "";
    QTest::newRow("preference entry that reads ALL")
        << "ALL" << QStringList{"All", "ALL", "*.z2b"} << "ALL;*.z2b";
}

void TestFilterAndCounts::patternText() {
    QFETCH(QString, chosen);
    QFETCH(QStringList, entries);
    QFETCH(QString, pattern);
    QCOMPARE(patternTextFor(chosen, entries), pattern);
}

void TestFilterAndCounts::quitQuestion_data() {
    QTest::addColumn<bool>("bySystem");
    QTest::addColumn<bool>("warn");
    QTest::addColumn<bool>("red");
    QTest::addColumn<bool>("asks");

    QTest::newRow("user close, warning on, red") << false << true << true << true;
    QTest::newRow("user close, warning off, red") << false << false << true << false;
    QTest::newRow("user close, warning on, black") << false << true << false << false;
    QTest::newRow("session end, warning on, red") << true << true << true << false;
}

void TestFilterAndCounts::quitQuestion() {
    QFETCH(bool, bySystem);
    QFETCH(bool, warn);
    QFETCH(bool, red);
    QFETCH(bool, asks);
    QCOMPARE(quitNeedsQuestion(bySystem, warn, red), asks);
    QCOMPARE(quitQuestionText(),
             QStringLiteral("You still have more levels in your Zeno2 folder than the maximum "
                            "amount of Zeno2 levels allowed.  Are you sure you want to quit?"));
}

QTEST_APPLESS_MAIN(TestFilterAndCounts)
#include "tst_filterandcounts.moc"
