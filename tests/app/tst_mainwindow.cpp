// The main window end to end: start-up over a temporary game folder, the first run, the quit
// question, and what the Settings and Preferences commands re-read.
#include "appearance/tooltips.h"
#include "appfixture.h"

#include <QTest>

using namespace zq2;
using namespace zq2::test;

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void startupShowsBothFoldersWithDetailsAndCounts();
    void startupWithNothingToListKeepsDesignCaptions();
    void firstRun_data();
    void firstRun();
    void quitQuestion_data();
    void quitQuestion();
    void filterChoiceNarrowsOneSideOnly();
    void settingsCommandRereadsEvenWhenCancelled();
    void preferencesCommandKeepsListsAndCounts();
    void restoreAsksForTheCdFirst();
    void characterKeyShowsTheSelectedFile();
};

void TestMainWindow::startupShowsBothFoldersWithDetailsAndCounts() {
    AppFixture f;
    writeFile(f.game(), QStringLiteral("b level.z2l"), levelBytes("  Second  ", 300));
    writeFile(f.game(), QStringLiteral("A Level.Z2L"), levelBytes("First Title", 1024));
    writeFile(f.game(), QStringLiteral("tiles.z2t"), levelBytes("Tiles", 400));
    writeFile(f.game(), QStringLiteral("song.z2b"), QByteArray(10, 'x'));
    writeFile(f.game(), QStringLiteral("readme.txt"), "x");
    writeFile(f.game(), QStringLiteral(".hidden.z2l"), "x");
    QDir(f.game()).mkdir(QStringLiteral("folder.z2l"));
    writeFile(f.cache(), QStringLiteral("down.z2l"), levelBytes("Download", 2000));
    writeFile(f.cache(), QStringLiteral("notes.txt"), "x");
    f.writeSettings(f.game());
    f.start();

    const QStringList defaults{"All", "*.z2l", "*.z2t", "*.z2b"};
    QCOMPARE(f.filterEntries("zq2View"), defaults);
    QCOMPARE(f.filterEntries("cacheView"), defaults);
    QCOMPARE(f.entries("zq2Files"), QStringList({"A Level.Z2L", "b level.z2l", "song.z2b", "tiles.z2t"}));
    QCOMPARE(f.entries("zq2Cache"), QStringList{"down.z2l"});
    QCOMPARE(f.list("zq2Files")->selectedIndex(), 0);
    const QStringList shown{f.text("zq2Title"),   f.text("zq2Type"),     f.text("zq2Size"),
                            f.caption("delZQ2"),  f.caption("seeFile"),  f.text("cacheTitle"),
                            f.text("cacheSize"),  f.caption("delCache"), f.text("lvlStatus"),
                            f.text("tileStatus"), f.text("musicStatus"), f.text("cacheStatus")};
    QCOMPARE(shown,
             QStringList({"Title: First Title", "Type: Level", "Size: 1024 Bytes", "Delete A Level.Z2L",
                          "Play A Level.Z2L", "Title: Download", "Size: 2000 Bytes", "Delete down.z2l",
                          "Levels: 2", "Tilesets: 1", "Music files: 1", "Cache files: 2"}));
    QCOMPARE(f.get<QLabel>("lvlStatus")->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    for (const TooltipEntry& tip : tooltipTable())
        QCOMPARE(f.get<QWidget>(tip.objectName)->toolTip(), tip.text);
    QVERIFY(f.prompter.asked.isEmpty() && f.dialogs.shown.isEmpty());
}

void TestMainWindow::startupWithNothingToListKeepsDesignCaptions() {
    AppFixture f;
    writeFile(f.game(), QStringLiteral("readme.txt"), "x");
    f.writeSettings(f.game());
    f.start();
    QCOMPARE(f.list("zq2Files")->selectedIndex(), -1);
    QCOMPARE(f.list("zq2Cache")->selectedIndex(), -1);
    const QStringList shown{f.text("zq2Title"),   f.text("cacheType"),  f.text("cacheSize"),
                            f.caption("delZQ2"),  f.caption("seeFile"), f.text("lvlStatus"),
                            f.text("cacheStatus")};
    QCOMPARE(shown,
             QStringList({"Title:", "Type:", "Size:", "Delete", "Play", "Levels: 0", "Cache files: 0"}));
    // With nothing shown yet, the buttons that act on a shown file do nothing.
    f.window->delZQ2_Click();
    f.window->seeFile_Click();
    f.window->cacheCopy_Click();
    QVERIFY(f.prompter.asked.isEmpty());
}

void TestMainWindow::firstRun_data() {
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("settings confirmed") << true;
    QTest::newRow("settings cancelled") << false;
}

void TestMainWindow::firstRun() {
    QFETCH(bool, confirmed);
    AppFixture f;
    writeFile(f.game(), QStringLiteral("one.z2l"));
    bool windowShownBeforeSettings = false;
    f.dialogs.onSettings = [&] {
        windowShownBeforeSettings = f.window && f.window->isVisible();
        if (confirmed)
            f.writeSettings(f.game());
    };
    f.start();
    QVERIFY(!windowShownBeforeSettings);
    QCOMPARE(f.dialogs.shown, QStringList{"settings"});
    QCOMPARE(f.window->gameDir(), confirmed ? f.game() : QString());
    QCOMPARE(f.window->cdResourceDir(), confirmed ? QStringLiteral("/media/cdrom/Resources") : QString());
    QCOMPARE(f.entries("zq2Files"), confirmed ? QStringList{"one.z2l"} : QStringList());
    QCOMPARE(f.text("lvlStatus"), confirmed ? QStringLiteral("Levels: 1") : QStringLiteral("Levels: 0"));
    // Nothing is written by the program itself on the way.
    QCOMPARE(QDir(f.app()).entryList(QDir::Files), confirmed ? QStringList{"settings.ini"} : QStringList());
}

void TestMainWindow::quitQuestion_data() {
    QTest::addColumn<int>("levels");
    QTest::addColumn<bool>("warn");
    QTest::addColumn<CloseReason>("reason");
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("closed");
    QTest::newRow("255 levels, user close") << 255 << true << CloseReason::User << false << false << true;
    QTest::newRow("256, exit, No keeps it open")
        << 256 << true << CloseReason::Program << false << true << false;
    QTest::newRow("256, close box, Yes closes") << 256 << true << CloseReason::User << true << true << true;
    QTest::newRow("256, warning off") << 256 << false << CloseReason::User << false << false << true;
    QTest::newRow("300, session ends") << 300 << true << CloseReason::SessionEnd << false << false << true;
    QTest::newRow("300, system terminates") << 300 << true << CloseReason::System << false << false << true;
}

void TestMainWindow::quitQuestion() {
    QFETCH(int, levels);
    QFETCH(bool, warn);
    QFETCH(CloseReason, reason);
    QFETCH(bool, answerYes);
    QFETCH(bool, asked);
    QFETCH(bool, closed);
    AppFixture f;
    for (int i = 0; i < levels; ++i)
        writeFile(f.game(), QStringLiteral("lvl%1.z2l").arg(i));
    f.writeSettings(f.game());
    f.writePreferences(warn, true);
    f.start();
    f.window->show();
    QCOMPARE(f.get<QLabel>("lvlStatus")->palette().color(QPalette::WindowText),
             levels > 255 ? QColor(255, 0, 0) : QColor(0, 0, 0));
    f.prompter.answer(answerYes ? Answer::Yes : Answer::No);
    QCOMPARE(f.window->requestClose(reason), closed);
    QCOMPARE(f.prompter.texts(),
             asked ? QStringList{"You still have more levels in your Zeno2 folder than the maximum "
                                 "amount of Zeno2 levels allowed.  Are you sure you want to quit?"}
                   : QStringList());
    QCOMPARE(f.window->isVisible(), !closed);
}

void TestMainWindow::filterChoiceNarrowsOneSideOnly() {
    AppFixture f;
    writeFile(f.game(), QStringLiteral("a.z2l"), levelBytes("A"));
    writeFile(f.game(), QStringLiteral("b.z2t"));
    writeFile(f.cache(), QStringLiteral("c.z2l"));
    writeFile(f.cache(), QStringLiteral("d.z2t"));
    f.writeSettings(f.game());
    f.start();
    f.chooseFilter("zq2View", 2);
    QCOMPARE(f.entries("zq2Files"), QStringList{"b.z2t"});
    QCOMPARE(f.entries("zq2Cache"), QStringList({"c.z2l", "d.z2t"}));
    QCOMPARE(f.list("zq2Files")->selectedIndex(), -1);
    QCOMPARE(f.text("zq2Title"), QStringLiteral("Title: A")); // details stay until another selection
    QCOMPARE(f.text("lvlStatus"), QStringLiteral("Levels: 1"));
}

void TestMainWindow::settingsCommandRereadsEvenWhenCancelled() {
    AppFixture f;
    QTemporaryDir other;
    writeFile(f.game(), QStringLiteral("a.z2l"));
    writeFile(other.path(), QStringLiteral("x.z2l"));
    writeFile(other.path(), QStringLiteral("y.z2l"));
    f.writeSettings(f.game());
    f.start();
    // The file is changed by hand while the program runs; the dialog is cancelled.
    f.dialogs.onSettings = [&] { f.writeSettings(other.path()); };
    f.window->setMenu_Click();
    QCOMPARE(f.window->gameDir(), other.path());
    QCOMPARE(f.entries("zq2Files"), QStringList({"x.z2l", "y.z2l"}));
    QCOMPARE(f.list("zq2Files")->selectedIndex(), -1);
    QCOMPARE(f.text("lvlStatus"), QStringLiteral("Levels: 2"));
    QCOMPARE(f.caption("delZQ2"), QStringLiteral("Delete a.z2l"));
}

void TestMainWindow::preferencesCommandKeepsListsAndCounts() {
    AppFixture f;
    writeFile(f.game(), QStringLiteral("a.z2l"));
    writeFile(f.game(), QStringLiteral("b.z2b"));
    f.writeSettings(f.game());
    f.start();
    f.dialogs.onPreferences = [&f] {
        f.writePreferences(true, false, "*.z2l\r\n*.txt", false);
        writeFile(f.game(), QStringLiteral("c.z2l"));
    };
    f.window->preferences_Click();
    QCOMPARE(f.filterEntries("zq2View"), QStringList({"All", "*.z2l", "*.txt"}));
    QCOMPARE(f.filterEntries("cacheView"), QStringList({"All", "*.z2l", "*.txt"}));
    QCOMPARE(f.entries("zq2Files"), QStringList({"a.z2l", "b.z2b"}));
    QCOMPARE(f.text("lvlStatus"), QStringLiteral("Levels: 1"));
    QVERIFY(!f.window->preferences().confirmDelete);
    for (const char* name : {"lvlStatus", "tileStatus", "musicStatus", "cacheStatus", "zq2Files", "zq2Cache",
                             "zq2View", "cacheView"})
        QVERIFY2(f.get<QWidget>(name)->toolTip().isEmpty(), name);
}

void TestMainWindow::restoreAsksForTheCdFirst() {
    AppFixture f;
    f.writeSettings(f.game());
    f.start();
    f.prompter.answer(Answer::Cancel);
    f.window->restoreZQ2_Click();
    f.prompter.answer(Answer::Ok);
    f.window->restoreZQ2_Click();
    QCOMPARE(f.prompter.texts(),
             QStringList(2, QStringLiteral("Please insert your Zeno Quillback 2 CD now.")));
    QCOMPARE(f.prompter.asked.first().buttons, Buttons::OkCancel);
    QCOMPARE(f.dialogs.shown, QStringList{"restore"});
}

void TestMainWindow::characterKeyShowsTheSelectedFile() {
    AppFixture f;
    writeFile(f.game(), QStringLiteral("a.z2l"), levelBytes("Alpha"));
    writeFile(f.game(), QStringLiteral("b.z2l"), levelBytes("Beta"));
    f.writeSettings(f.game());
    f.start();
    f.list("zq2Files")->select(1);
    f.get<QLabel>("zq2Title")->setText(QStringLiteral("stale"));
    QTest::keyClick(f.list("zq2Files"), Qt::Key_Return);
    QCOMPARE(f.text("zq2Title"), QStringLiteral("Title: Beta"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
