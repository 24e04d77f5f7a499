// The main window's commands that change folders, end to end over temporary game folders.
#include "app/widgets/mainwindow.h"
#include "catalogue/widgets/filelistview.h"
#include "fakedialogs.h"
#include "support/scriptedprompter.h"
#include "support/tempfiles.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace zq2;
using zq2::test::levelBytes;
using zq2::test::readFile;
using zq2::test::writeFile;

namespace {

struct Fixture {
    QTemporaryDir appDir;
    QTemporaryDir gameDir;
    test::ScriptedPrompter prompter;
    test::FakeDialogs dialogs;
    std::unique_ptr<MainWindow> window;

    explicit Fixture(bool confirmDelete = true) {
        writeFile(app(), QStringLiteral("settings.ini"), game().toLocal8Bit() + "\r\nD:");
        writeFile(app(), QStringLiteral("preferences.ini"),
                  QByteArray("USESKIN=NO\r\n\r\nUSETIPS=YES\r\nWARNMAXLVLS=YES\r\nDISPLAYDELETE=") +
                      (confirmDelete ? "YES" : "NO") + "\r\n*.z2l\r\n*.z2t\r\n*.z2b");
    }
    QString app() const { return appDir.path(); }
    QString game() const { return gameDir.path(); }
    QString cache() const { return gameDir.path() + QStringLiteral("/cache"); }
    void start() {
        window = std::make_unique<MainWindow>(app(), prompter, dialogs);
        window->Form_Load();
    }
    FileListView* list(const char* name) const {
        return window->findChild<FileListView*>(QLatin1String(name));
    }
    QStringList entries(const char* name) const {
        QStringList out;
        for (int i = 0; i < list(name)->count(); ++i)
            out << list(name)->entry(i);
        return out;
    }
    QString text(const char* name) const { return window->findChild<QLabel*>(QLatin1String(name))->text(); }
    void chooseFilter(const char* combo, int index) {
        auto* view = window->findChild<QComboBox*>(QLatin1String(combo));
        view->setCurrentIndex(index);
        emit view->activated(index);
    }
    QStringList files(const QString& folder) const {
        return QDir(folder).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    }
};

} // namespace

class TestMainWindowCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void copyNewFileAsksNothingAndRefreshes();
    void copyOverDifferentlyCasedFile_data();
    void copyOverDifferentlyCasedFile();
    void copyEntireCacheFollowsTheFilterAndAsksPerConflict();
    void copyFailureIsReportedAndLosesNothing();
    void deleteSelected_data();
    void deleteSelected();
    void clearCache_data();
    void clearCache();
};

void TestMainWindowCommands::initTestCase() {
    // Deleted files go to the desktop's trash; keep the real one out of the tests.
    static QTemporaryDir trashHome;
    qputenv("XDG_DATA_HOME", trashHome.path().toLocal8Bit());
}

void TestMainWindowCommands::copyNewFileAsksNothingAndRefreshes() {
    Fixture f;
    writeFile(f.cache(), QStringLiteral("new.z2l"), levelBytes("New", 700));
    f.start();
    f.window->cacheCopy_Click();
    QCOMPARE(f.prompter.asked.size(), 0);
    QCOMPARE(readFile(f.game() + QStringLiteral("/new.z2l")), levelBytes("New", 700));
    QCOMPARE(f.entries("zq2Files"), QStringList{QStringLiteral("new.z2l")});
    QCOMPARE(f.list("zq2Cache")->selectedIndex(), -1);
    QCOMPARE(f.text("lvlStatus"), QStringLiteral("Levels: 1"));
    QVERIFY(QFile::exists(f.cache() + QStringLiteral("/new.z2l")));
}

void TestMainWindowCommands::copyOverDifferentlyCasedFile_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes replaces") << true;
    QTest::newRow("No leaves everything") << false;
}

void TestMainWindowCommands::copyOverDifferentlyCasedFile() {
    QFETCH(bool, yes);
    Fixture f;
    writeFile(f.game(), QStringLiteral("LEVEL1.Z2L"), QByteArray(1500, 'o'));
    writeFile(f.cache(), QStringLiteral("level1.z2l"), QByteArray(1000, 'n'));
    f.start();
    QCOMPARE(f.list("zq2Files")->selectedIndex(), 0);
    f.prompter.answer(yes ? Answer::Yes : Answer::No);
    f.window->cacheCopy_Click();
    QCOMPARE(f.prompter.texts(),
             QStringList{QStringLiteral("Are you sure you want to replace level1.z2l (Size: "
                                        "%1 KB) with level1.z2l (Size: 1 KB)?")
                             .arg(QLocale::system().toString(1.5))});
    QCOMPARE(f.prompter.asked.first().buttons, Buttons::YesNo);
    if (yes) {
        QCOMPARE(f.files(f.game()), QStringList{QStringLiteral("level1.z2l")});
        QCOMPARE(readFile(f.game() + QStringLiteral("/level1.z2l")), QByteArray(1000, 'n'));
        QCOMPARE(f.list("zq2Files")->selectedIndex(), -1);
    } else {
        QCOMPARE(f.files(f.game()), QStringList{QStringLiteral("LEVEL1.Z2L")});
        QCOMPARE(readFile(f.game() + QStringLiteral("/LEVEL1.Z2L")), QByteArray(1500, 'o'));
        QCOMPARE(f.list("zq2Files")->selectedIndex(), 0);
        QCOMPARE(f.list("zq2Cache")->selectedIndex(), 0);
    }
}

void TestMainWindowCommands::copyEntireCacheFollowsTheFilterAndAsksPerConflict() {
    Fixture f;
    writeFile(f.game(), QStringLiteral("b.z2b"), "old");
    writeFile(f.cache(), QStringLiteral("a.z2b"), "a");
    writeFile(f.cache(), QStringLiteral("b.z2b"), "new b");
    writeFile(f.cache(), QStringLiteral("c.z2b"), "c");
    writeFile(f.cache(), QStringLiteral("level.z2l"), "l");
    f.start();
    f.chooseFilter("cacheView", 3); // "*.z2b"
    f.prompter.answer(Answer::Yes);
    f.window->copyentireCache_Click();
    QCOMPARE(f.prompter.asked.size(), 1);
    // The question shows a game list that already holds the file copied before it.
    QCOMPARE(f.files(f.game()), QStringList({"a.z2b", "b.z2b", "c.z2b"}));
    QCOMPARE(readFile(f.game() + QStringLiteral("/b.z2b")), QByteArray("new b"));
    QCOMPARE(f.entries("zq2Files"), QStringList({"a.z2b", "b.z2b", "c.z2b"}));
    QCOMPARE(f.text("musicStatus"), QStringLiteral("Music files: 3"));
    QCOMPARE(f.text("lvlStatus"), QStringLiteral("Levels: 0"));
}

void TestMainWindowCommands::copyFailureIsReportedAndLosesNothing() {
    Fixture f;
    writeFile(f.cache(), QStringLiteral("gone.z2l"), "x");
    writeFile(f.cache(), QStringLiteral("ok.z2l"), "y");
    f.start();
    QFile::remove(f.cache() + QStringLiteral("/gone.z2l")); // vanished after the list was read
    f.window->cacheCopy_Click();
    QCOMPARE(f.prompter.asked.size(), 1);
    QVERIFY(f.prompter.asked.first().text.contains(QStringLiteral("gone.z2l")));
    QCOMPARE(f.prompter.asked.first().buttons, Buttons::Ok);
    QCOMPARE(f.files(f.game()), QStringList());
}

void TestMainWindowCommands::deleteSelected_data() {
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<bool>("deleted");
    QTest::addColumn<int>("questions");
    QTest::newRow("confirmed") << true << true << true << 1;
    QTest::newRow("declined") << true << false << false << 1;
    QTest::newRow("no confirmation") << false << false << true << 0;
}

void TestMainWindowCommands::deleteSelected() {
    QFETCH(bool, confirm);
    QFETCH(bool, answerYes);
    QFETCH(bool, deleted);
    QFETCH(int, questions);
    Fixture f(confirm);
    writeFile(f.game(), QStringLiteral("a.z2l"), levelBytes("Word"));
    writeFile(f.game(), QStringLiteral("b.z2l"), levelBytes(""));
    f.start();
    f.prompter.answer(answerYes ? Answer::Yes : Answer::No);
    f.window->delZQ2_Click();
    QCOMPARE(f.prompter.asked.size(), questions);
    if (questions)
        QCOMPARE(f.prompter.asked.first().text,
                 QStringLiteral("Are you sure you want to delete Word (a.z2l)?"));
    QCOMPARE(QFile::exists(f.game() + QStringLiteral("/a.z2l")), !deleted);
    QCOMPARE(f.text("lvlStatus"), deleted ? QStringLiteral("Levels: 1") : QStringLiteral("Levels: 2"));
    if (deleted) {
        // The caption still names the deleted file, but nothing is selected: a second click does nothing.
        QCOMPARE(f.list("zq2Files")->selectedIndex(), -1);
        f.window->delZQ2_Click();
        QCOMPARE(f.prompter.asked.size(), questions);
        QVERIFY(QFile::exists(f.game() + QStringLiteral("/b.z2l")));
    }
}

void TestMainWindowCommands::clearCache_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("filter");
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("nothing listed") << QStringList{"notes.txt"} << 0 << true << "Cache is empty."
                                    << QStringList{"notes.txt"};
    QTest::newRow("one file") << QStringList{"a.z2l"} << 0 << true
                              << "Are you sure you want to delete this 1 file?" << QStringList{};
    QTest::newRow("many, filter hides some")
        << QStringList{"a.z2l", "b.z2l", "c.z2t", "d.txt"} << 1 << true
        << "Are you sure you want to delete these 2 files?" << QStringList{"c.z2t", "d.txt"};
    QTest::newRow("declined") << QStringList{"a.z2l", "b.z2b"} << 0 << false
                              << "Are you sure you want to delete these 2 files?"
                              << QStringList{"a.z2l", "b.z2b"};
}

void TestMainWindowCommands::clearCache() {
    QFETCH(QStringList, files);
    QFETCH(int, filter);
    QFETCH(bool, answerYes);
    QFETCH(QString, question);
    QFETCH(QStringList, left);
    Fixture f;
    for (const QString& name : files)
        writeFile(f.cache(), name, "x");
    QDir().mkpath(f.cache());
    f.start();
    f.chooseFilter("cacheView", filter);
    f.prompter.answer(answerYes ? Answer::Yes : Answer::No);
    f.window->clearCache_Click();
    QCOMPARE(f.prompter.texts().value(0), question);
    QCOMPARE(f.files(f.cache()), left);
    QCOMPARE(f.text("cacheStatus"), QStringLiteral("Cache files: %1").arg(left.size()));
    QCOMPARE(f.list("zq2Cache")->selectedIndex(), -1);
}

QTEST_MAIN(TestMainWindowCommands)
#include "test_mainwindow_commands.moc"
