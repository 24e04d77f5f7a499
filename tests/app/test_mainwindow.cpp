// The main window end to end: start-up over a temporary game folder, the first run, the quit
// question, and what the Settings and Preferences commands re-read.
#include "app/widgets/mainwindow.h"
#include "catalogue/widgets/filelistview.h"
#include "fakedialogs.h"
#include "support/scriptedprompter.h"
#include "support/tempfiles.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace zq2;
using zq2::test::levelBytes;
using zq2::test::writeFile;

namespace {

struct Fixture {
    QTemporaryDir appDir;
    QTemporaryDir gameDir;
    test::ScriptedPrompter prompter;
    test::FakeDialogs dialogs;
    std::unique_ptr<MainWindow> window;

    QString app() const { return appDir.path(); }
    QString game() const { return gameDir.path(); }
    void writeSettings(const QString& folder) {
        writeFile(app(), QStringLiteral("settings.ini"), folder.toLocal8Bit() + "\r\n/media/cdrom");
    }
    MainWindow& start() {
        window = std::make_unique<MainWindow>(app(), prompter, dialogs);
        window->Form_Load();
        return *window;
    }
    template <class T> T* get(const char* name) const {
        T* child = window->findChild<T*>(QLatin1String(name));
        if (!child)
            qFatal("no control named %s", name);
        return child;
    }
    QString text(const char* name) const { return get<QLabel>(name)->text(); }
    QString caption(const char* name) const { return get<QPushButton>(name)->text(); }
    QStringList entries(const char* name) const {
        auto* list = get<FileListView>(name);
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->entry(i);
        return out;
    }
    QStringList filterEntries(const char* name) const {
        auto* combo = get<QComboBox>(name);
        QStringList out;
        for (int i = 0; i < combo->count(); ++i)
            out << combo->itemText(i);
        return out;
    }
    void addLevels(int n) {
        for (int i = 0; i < n; ++i)
            writeFile(game(), QStringLiteral("lvl%1.z2l").arg(i, 3, 10, QLatin1Char('0')));
    }
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void startupShowsBothFoldersWithDetailsAndCounts();
    void startupWithNothingToListKeepsDesignCaptions();
    void firstRunAsksForSettingsBeforeTheWindowShows();
    void firstRunCancelledLeavesEmptyLists();
    void quitQuestion_data();
    void quitQuestion();
    void filterChoiceNarrowsOneSideOnly();
    void settingsCommandRereadsEvenWhenCancelled();
    void preferencesCommandKeepsListsAndCounts();
    void restoreAsksForTheCdFirst();
    void characterKeyShowsTheSelectedFile();
};

void TestMainWindow::startupShowsBothFoldersWithDetailsAndCounts() {
    Fixture f;
    writeFile(f.game(), QStringLiteral("b level.z2l"), levelBytes("  Second  ", 300));
    writeFile(f.game(), QStringLiteral("A Level.Z2L"), levelBytes("First Title", 1024));
    writeFile(f.game(), QStringLiteral("tiles.z2t"), levelBytes("Tiles", 400));
    writeFile(f.game(), QStringLiteral("song.z2b"), QByteArray(10, 'x'));
    writeFile(f.game(), QStringLiteral("readme.txt"), "x");
    writeFile(f.game(), QStringLiteral(".hidden.z2l"), "x");
    QDir(f.game()).mkdir(QStringLiteral("folder.z2l"));
    writeFile(f.game(), QStringLiteral("cache/down.z2l"), levelBytes("Download", 2000));
    writeFile(f.game(), QStringLiteral("cache/notes.txt"), "x");
    f.writeSettings(f.game());
    f.start();

    QCOMPARE(f.window->gameDir(), f.game());
    QCOMPARE(f.filterEntries("zq2View"), QStringList({"All", "*.z2l", "*.z2t", "*.z2b"}));
    QCOMPARE(f.filterEntries("cacheView"), QStringList({"All", "*.z2l", "*.z2t", "*.z2b"}));
    QCOMPARE(f.entries("zq2Files"), QStringList({"A Level.Z2L", "b level.z2l", "song.z2b", "tiles.z2t"}));
    QCOMPARE(f.entries("zq2Cache"), QStringList({"down.z2l"}));

    QCOMPARE(f.get<FileListView>("zq2Files")->selectedIndex(), 0);
    QCOMPARE(f.text("zq2Title"), QStringLiteral("Title: First Title"));
    QCOMPARE(f.text("zq2Type"), QStringLiteral("Type: Level"));
    QCOMPARE(f.text("zq2Size"), QStringLiteral("Size: 1024 Bytes"));
    QCOMPARE(f.caption("delZQ2"), QStringLiteral("Delete A Level.Z2L"));
    QCOMPARE(f.caption("seeFile"), QStringLiteral("Play A Level.Z2L"));
    QCOMPARE(f.text("cacheTitle"), QStringLiteral("Title: Download"));
    QCOMPARE(f.text("cacheSize"), QStringLiteral("Size: 2000 Bytes"));
    QCOMPARE(f.caption("delCache"), QStringLiteral("Delete down.z2l"));

    QCOMPARE(f.text("lvlStatus"), QStringLiteral("Levels: 2"));
    QCOMPARE(f.text("tileStatus"), QStringLiteral("Tilesets: 1"));
    QCOMPARE(f.text("musicStatus"), QStringLiteral("Music files: 1"));
    QCOMPARE(f.text("cacheStatus"), QStringLiteral("Cache files: 2"));
    QCOMPARE(f.get<QLabel>("lvlStatus")->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    QVERIFY(!f.get<QWidget>("zq2Files")->toolTip().isEmpty());
    QCOMPARE(f.prompter.asked.size(), 0);
    QVERIFY(f.dialogs.shown.isEmpty());
}

void TestMainWindow::startupWithNothingToListKeepsDesignCaptions() {
    Fixture f;
    writeFile(f.game(), QStringLiteral("readme.txt"), "x");
    f.writeSettings(f.game());
    f.start();
    QCOMPARE(f.get<FileListView>("zq2Files")->selectedIndex(), -1);
    QCOMPARE(f.get<FileListView>("zq2Cache")->selectedIndex(), -1);
    for (const char* name : {"zq2Title", "cacheTitle"})
        QCOMPARE(f.text(name), QStringLiteral("Title:"));
    QCOMPARE(f.text("zq2Type"), QStringLiteral("Type:"));
    QCOMPARE(f.text("cacheSize"), QStringLiteral("Size:"));
    QCOMPARE(f.caption("delZQ2"), QStringLiteral("Delete"));
    QCOMPARE(f.caption("seeFile"), QStringLiteral("Play"));
    QCOMPARE(f.text("lvlStatus"), QStringLiteral("Levels: 0"));
    QCOMPARE(f.text("cacheStatus"), QStringLiteral("Cache files: 0"));

    // With nothing shown yet, the buttons that act on a shown file do nothing.
    f.window->delZQ2_Click();
    f.window->seeFile_Click();
    f.window->cacheCopy_Click();
    QCOMPARE(f.prompter.asked.size(), 0);
}

void TestMainWindow::firstRunAsksForSettingsBeforeTheWindowShows() {
    Fixture f;
    writeFile(f.game(), QStringLiteral("one.z2l"));
    f.dialogs.onSettings = [&f] { f.writeSettings(f.game()); };
    f.start();
    QCOMPARE(f.dialogs.shown, QStringList{QStringLiteral("settings")});
    QCOMPARE(f.window->gameDir(), f.game());
    QCOMPARE(f.window->cdResourceDir(), QStringLiteral("/media/cdrom/Resources"));
    QCOMPARE(f.entries("zq2Files"), QStringList{QStringLiteral("one.z2l")});
}

void TestMainWindow::firstRunCancelledLeavesEmptyLists() {
    Fixture f;
    f.start();
    QCOMPARE(f.dialogs.shown, QStringList{QStringLiteral("settings")});
    QVERIFY(f.window->gameDir().isEmpty());
    QCOMPARE(f.get<FileListView>("zq2Files")->count(), 0);
    QCOMPARE(f.get<FileListView>("zq2Cache")->count(), 0);
    QCOMPARE(f.text("lvlStatus"), QStringLiteral("Levels: 0"));
    QVERIFY(!QFile::exists(f.app() + QStringLiteral("/settings.ini")));
    QVERIFY(!QFile::exists(f.app() + QStringLiteral("/preferences.ini")));
}

void TestMainWindow::quitQuestion_data() {
    QTest::addColumn<int>("levels");
    QTest::addColumn<bool>("warn");
    QTest::addColumn<CloseReason>("reason");
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("closed");
    QTest::newRow("255 levels, user close") << 255 << true << CloseReason::User << false << false << true;
    QTest::newRow("256 levels, exit, No keeps it open")
        << 256 << true << CloseReason::Program << false << true << false;
    QTest::newRow("256 levels, close box, Yes closes")
        << 256 << true << CloseReason::User << true << true << true;
    QTest::newRow("256 levels, warning off") << 256 << false << CloseReason::User << false << false << true;
    QTest::newRow("300 levels, session ends")
        << 300 << true << CloseReason::SessionEnd << false << false << true;
    QTest::newRow("300 levels, system terminates")
        << 300 << true << CloseReason::System << false << false << true;
}

void TestMainWindow::quitQuestion() {
    QFETCH(int, levels);
    QFETCH(bool, warn);
    QFETCH(CloseReason, reason);
    QFETCH(bool, answerYes);
    QFETCH(bool, asked);
    QFETCH(bool, closed);
    Fixture f;
    f.addLevels(levels);
    f.writeSettings(f.game());
    writeFile(f.app(), QStringLiteral("preferences.ini"),
              QByteArray("USESKIN=NO\r\n\r\nUSETIPS=YES\r\n") +
                  (warn ? "WARNMAXLVLS=YES" : "WARNMAXLVLS=NO") + "\r\nDISPLAYDELETE=YES\r\n*.z2l");
    f.start();
    f.window->show();
    QCOMPARE(f.get<QLabel>("lvlStatus")->palette().color(QPalette::WindowText),
             levels > 255 ? QColor(255, 0, 0) : QColor(0, 0, 0));
    f.prompter.answer(answerYes ? Answer::Yes : Answer::No);
    QCOMPARE(f.window->requestClose(reason), closed);
    QCOMPARE(f.prompter.asked.size(), asked ? 1 : 0);
    if (asked)
        QCOMPARE(
            f.prompter.asked.first().text,
            QStringLiteral("You still have more levels in your Zeno2 folder than the maximum amount of Zeno2 "
                           "levels allowed.  Are you sure you want to quit?"));
    QCOMPARE(f.window->isVisible(), !closed);
}

void TestMainWindow::filterChoiceNarrowsOneSideOnly() {
    Fixture f;
    writeFile(f.game(), QStringLiteral("a.z2l"), levelBytes("A"));
    writeFile(f.game(), QStringLiteral("b.z2t"));
    writeFile(f.game(), QStringLiteral("cache/c.z2l"));
    writeFile(f.game(), QStringLiteral("cache/d.z2t"));
    f.writeSettings(f.game());
    f.start();
    auto* view = f.get<QComboBox>("zq2View");
    view->setCurrentIndex(2);
    emit view->activated(2);
    QCOMPARE(f.entries("zq2Files"), QStringList{QStringLiteral("b.z2t")});
    QCOMPARE(f.entries("zq2Cache"), QStringList({"c.z2l", "d.z2t"}));
    QCOMPARE(f.get<FileListView>("zq2Files")->selectedIndex(), -1);
    QCOMPARE(f.text("zq2Title"), QStringLiteral("Title: A")); // details stay until another selection
    QCOMPARE(f.text("lvlStatus"), QStringLiteral("Levels: 1"));
}

void TestMainWindow::settingsCommandRereadsEvenWhenCancelled() {
    Fixture f;
    QTemporaryDir other;
    writeFile(f.game(), QStringLiteral("a.z2l"));
    writeFile(other.path(), QStringLiteral("x.z2l"));
    writeFile(other.path(), QStringLiteral("y.z2l"));
    f.writeSettings(f.game());
    f.start();
    QCOMPARE(f.get<FileListView>("zq2Files")->selectedIndex(), 0);
    // The file changed by hand while the program runs; the dialog is cancelled.
    f.dialogs.onSettings = [&] { f.writeSettings(other.path()); };
    f.window->setMenu_Click();
    QCOMPARE(f.window->gameDir(), other.path());
    QCOMPARE(f.entries("zq2Files"), QStringList({"x.z2l", "y.z2l"}));
    QCOMPARE(f.get<FileListView>("zq2Files")->selectedIndex(), -1);
    QCOMPARE(f.text("lvlStatus"), QStringLiteral("Levels: 2"));
    QCOMPARE(f.caption("delZQ2"), QStringLiteral("Delete a.z2l"));
}

void TestMainWindow::preferencesCommandKeepsListsAndCounts() {
    Fixture f;
    writeFile(f.game(), QStringLiteral("a.z2l"));
    writeFile(f.game(), QStringLiteral("b.z2b"));
    f.writeSettings(f.game());
    f.start();
    f.dialogs.onPreferences = [&f] {
        writeFile(f.app(), QStringLiteral("preferences.ini"),
                  "USESKIN=NO\r\n\r\nUSETIPS=NO\r\nWARNMAXLVLS=YES\r\nDISPLAYDELETE=NO\r\n*.z2l\r\n*.txt");
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
    Fixture f;
    f.writeSettings(f.game());
    f.start();
    f.prompter.answer(Answer::Cancel);
    f.window->restoreZQ2_Click();
    f.prompter.answer(Answer::Ok);
    f.window->restoreZQ2_Click();
    QCOMPARE(f.prompter.texts(),
             QStringList(2, QStringLiteral("Please insert your Zeno Quillback 2 CD now.")));
    QCOMPARE(f.prompter.asked.first().buttons, Buttons::OkCancel);
    QCOMPARE(f.dialogs.shown, QStringList{QStringLiteral("restore")});
}

void TestMainWindow::characterKeyShowsTheSelectedFile() {
    Fixture f;
    writeFile(f.game(), QStringLiteral("a.z2l"), levelBytes("Alpha"));
    writeFile(f.game(), QStringLiteral("b.z2l"), levelBytes("Beta"));
    f.writeSettings(f.game());
    f.start();
    auto* list = f.get<FileListView>("zq2Files");
    list->select(1);
    f.get<QLabel>("zq2Title")->setText(QStringLiteral("stale"));
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(f.text("zq2Title"), QStringLiteral("Title: Beta"));
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
