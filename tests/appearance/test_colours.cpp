#include "appearance/colours.h"
#include "appearance/tooltips.h"

#include <QTest>

using namespace zq2;

namespace {

// A palette whose roles all differ, so that a system colour taken from the wrong role shows up.
QPalette distinctPalette() {
    QPalette p;
    int n = 1;
    for (QPalette::ColorRole role :
         {QPalette::Window, QPalette::WindowText, QPalette::Base, QPalette::Text, QPalette::Button,
          QPalette::ButtonText, QPalette::Highlight, QPalette::HighlightedText, QPalette::Light,
          QPalette::Midlight, QPalette::Mid, QPalette::Dark, QPalette::Shadow, QPalette::ToolTipBase,
          QPalette::ToolTipText}) {
        p.setColor(QPalette::All, role, QColor(n, 100 + n, 200 - n));
        ++n;
    }
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(99, 98, 97));
    return p;
}

} // namespace

class TestColours : public QObject {
    Q_OBJECT

private slots:
    void colour_data();
    void colour();
    void tooltips_data();
    void tooltips();
    void tooltipTableIsComplete();
};

void TestColours::colour_data() {
    const QPalette p = distinctPalette();
    const QColor face = p.color(QPalette::Window);
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("black") << 0x0u << QColor(0, 0, 0);
    QTest::newRow("red is low byte") << 0xFFu << QColor(255, 0, 0);
    QTest::newRow("green") << 0xFF00u << QColor(0, 255, 0);
    QTest::newRow("blue is high byte") << 0xFF0000u << QColor(0, 0, 255);
    QTest::newRow("above FFFFFF is face") << 0x1000000u << face;
    QTest::newRow("7FFFFFFF is face") << 0x7FFFFFFFu << face;
    QTest::newRow("button face") << 0x8000000Fu << face;
    QTest::newRow("window") << 0x80000005u << p.color(QPalette::Base);
    QTest::newRow("window text") << 0x80000008u << p.color(QPalette::Text);
    QTest::newRow("highlight") << 0x8000000Du << p.color(QPalette::Highlight);
    QTest::newRow("grey text") << 0x80000011u << QColor(99, 98, 97);
    QTest::newRow("button text") << 0x80000012u << p.color(QPalette::ButtonText);
    QTest::newRow("tooltip back") << 0x80000018u << p.color(QPalette::ToolTipBase);
    QTest::newRow("unknown index is face") << 0x800000FFu << face;
    QTest::newRow("index from low byte only") << 0x8000FF0Fu << face;
    QTest::newRow("saturated line is face") << 0xFFFFFFFFu << face;
}

void TestColours::colour() {
    QFETCH(quint32, value);
    QFETCH(QColor, expected);
    QCOMPARE(toQColor(value, distinctPalette()), expected);
}

void TestColours::tooltips_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QString>("text");
    QTest::newRow("levels") << 0 << "lvlStatus"
                            << "Red text shows that you have more levels than the Max amount allowed in the "
                               "Fresh Baked list.";
    QTest::newRow("tilesets") << 1 << "tileStatus"
                              << "This shows how many tilesets are in your Zeno2 directory.";
    QTest::newRow("music") << 2 << "musicStatus"
                           << "This shows how many *.z2b format music files are in your Zeno2 directory.";
    QTest::newRow("cache count") << 3 << "cacheStatus"
                                 << "This shows how many files are in your internet Cache directory.";
    QTest::newRow("game list") << 4 << "zq2Files"
                               << "This is the list of files in your Zeno2 directory.";
    QTest::newRow("cache list") << 5 << "zq2Cache"
                                << "This is the list of files in your cache.";
    QTest::newRow("game filter") << 6 << "zq2View"
                                 << "This is the filter for your Zeno2 directory list. Change this to view "
                                    "certain files only.";
    QTest::newRow("cache filter") << 7 << "cacheView"
                                  << "This is the filter for your Cache directory list. Change this to view "
                                     "certain files only.";
}

void TestColours::tooltips() {
    QFETCH(int, position);
    QFETCH(QString, objectName);
    QFETCH(QString, text);
    const QList<TooltipEntry> table = tooltipTable();
    QVERIFY(position < table.size());
    QCOMPARE(QString::fromLatin1(table.at(position).objectName), objectName);
    QCOMPARE(table.at(position).text, text);
}

void TestColours::tooltipTableIsComplete() {
    QCOMPARE(tooltipTable().size(), 8);
    QCOMPARE(levelLabelDesignTooltip(), tooltipTable().first().text);
}

QTEST_MAIN(TestColours)
#include "test_colours.moc"
