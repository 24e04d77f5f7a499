// The main window's commands that change folders, end to end over temporary game folders.
#include "appfixture.h"

#include <QTest>

using namespace zq2;
using namespace zq2::test;

namespace {

QStringList files(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
}

// A started window over a game folder holding `game` and a cache holding `cache` (name -> bytes).
void startWith(AppFixture& f, const QMap<QString, QByteArray>& game, const QMap<QString, QByteArray>& cache,
               bool confirmDelete = true) {
    for (auto it = game.begin(); it != game.end(); ++it)
        writeFile(f.game(), it.key(), it.value());
    for (auto it = cache.begin(); it != cache.end(); ++it)
        writeFile(f.cache(), it.key(), it.value());
    QDir().mkpath(f.cache());
    f.writeSettings(f.game());
    f.writePreferences(true, confirmDelete);
    f.start();
}

} // namespace

class TestMainWindowCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void copySelected_data();
    void copySelected();
    void copyEntireCacheFollowsTheFilterAndAsksPerConflict();
    void copyFailureIsReported();
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

void TestMainWindowCommands::copySelected_data() {
    QTest::addColumn<QString>("existing");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QStringList>("gameFiles");
    QTest::addColumn<QByteArray>("contents");
    QTest::newRow("new file, no question")
        << QString() << false << QStringList{"level1.z2l"} << QByteArray(1000, 'n');
    QTest::newRow("other spelling, Yes")
        << "LEVEL1.Z2L" << true << QStringList{"level1.z2l"} << QByteArray(1000, 'n');
    QTest::newRow("other spelling, No")
        << "LEVEL1.Z2L" << false << QStringList{"LEVEL1.Z2L"} << QByteArray(1500, 'o');
}

void TestMainWindowCommands::copySelected() {
    QFETCH(QString, existing);
    QFETCH(bool, yes);
    QFETCH(QStringList, gameFiles);
    QFETCH(QByteArray, contents);
    AppFixture f;
    QMap<QString, QByteArray> game;
    if (!existing.isEmpty())
        game.insert(existing, QByteArray(1500, 'o'));
    startWith(f, game, {{"level1.z2l", QByteArray(1000, 'n')}});
    f.prompter.answer(yes ? Answer::Yes : Answer::No);
    f.window->cacheCopy_Click();
    QCOMPARE(f.prompter.texts(),
             existing.isEmpty()
                 ? QStringList()
                 : QStringList{QStringLiteral("Are you sure you want to replace level1.z2l (Size: "
                                              "%1 KB) with level1.z2l (Size: 1 KB)?")
                                   .arg(QLocale::system().toString(1.5))});
    QCOMPARE(files(f.game()), gameFiles);
    QCOMPARE(readFile(f.game() + QLatin1Char('/') + gameFiles.first()), contents);
    QCOMPARE(files(f.cache()), QStringList{"level1.z2l"});
    // A copy re-reads both lists and recounts; a No leaves everything as it was, selections included.
    const bool copied = existing.isEmpty() || yes;
    QCOMPARE(f.entries("zq2Files"), gameFiles);
    QCOMPARE(f.list("zq2Cache")->selectedIndex(), copied ? -1 : 0);
    QCOMPARE(f.text("lvlStatus"), QStringLiteral("Levels: 1"));
}

void TestMainWindowCommands::copyEntireCacheFollowsTheFilterAndAsksPerConflict() {
    AppFixture f;
    startWith(f, {{"b.z2b", "old"}},
              {{"a.z2b", "a"}, {"b.z2b", "new b"}, {"c.z2b", "c"}, {"level.z2l", "l"}});
    f.chooseFilter("cacheView", 3); // "*.z2b"
    f.prompter.answer(Answer::Yes);
    f.window->copyentireCache_Click();
    QCOMPARE(f.prompter.asked.size(), 1);
    QCOMPARE(files(f.game()), QStringList({"a.z2b", "b.z2b", "c.z2b"}));
    QCOMPARE(readFile(f.game() + QStringLiteral("/b.z2b")), QByteArray("new b"));
    QCOMPARE(f.entries("zq2Files"), QStringList({"a.z2b", "b.z2b", "c.z2b"}));
    QCOMPARE(f.text("musicStatus"), QStringLiteral("Music files: 3"));
}

void TestMainWindowCommands::copyFailureIsReported() {
    AppFixture f;
    startWith(f, {}, {{"gone.z2l", "x"}});
    QFile::remove(f.cache() + QStringLiteral("/gone.z2l")); // vanished after the list was read
    f.window->cacheCopy_Click();
    QCOMPARE(f.prompter.asked.size(), 1);
    QVERIFY(f.prompter.asked.first().text.contains(QStringLiteral("gone.z2l")));
    QCOMPARE(f.prompter.asked.first().buttons, Buttons::Ok);
    QVERIFY(files(f.game()).isEmpty());
}

void TestMainWindowCommands::deleteSelected_data() {
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("confirmed") << true << true << true;
    QTest::newRow("declined") << true << false << false;
    QTest::newRow("no confirmation") << false << false << true;
}

void TestMainWindowCommands::deleteSelected() {
    QFETCH(bool, confirm);
    QFETCH(bool, answerYes);
    QFETCH(bool, deleted);
    AppFixture f;
    startWith(f, {{"a.z2l", levelBytes("Word")}, {"b.z2l", levelBytes("")}}, {}, confirm);
    f.prompter.answer(answerYes ? Answer::Yes : Answer::No);
    f.window->delZQ2_Click();
    QCOMPARE(f.prompter.texts(),
             confirm ? QStringList{"Are you sure you want to delete Word (a.z2l)?"} : QStringList());
    QCOMPARE(QFile::exists(f.game() + QStringLiteral("/a.z2l")), !deleted);
    QCOMPARE(f.text("lvlStatus"), deleted ? QStringLiteral("Levels: 1") : QStringLiteral("Levels: 2"));
    // After a delete the caption still names the file, but nothing is selected: a second click does nothing.
    if (deleted) {
        f.window->delZQ2_Click();
        QVERIFY(QFile::exists(f.game() + QStringLiteral("/b.z2l")));
        QCOMPARE(f.prompter.unexpected, 0);
    }
}

void TestMainWindowCommands::clearCache_data() {
    QTest::addColumn<QStringList>("names");
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
    QFETCH(QStringList, names);
    QFETCH(int, filter);
    QFETCH(bool, answerYes);
    QFETCH(QString, question);
    QFETCH(QStringList, left);
    AppFixture f;
    QMap<QString, QByteArray> cache;
    for (const QString& name : names)
        cache.insert(name, "x");
    startWith(f, {}, cache);
    f.chooseFilter("cacheView", filter);
    f.prompter.answer(answerYes ? Answer::Yes : Answer::No);
    f.window->clearCache_Click();
    QCOMPARE(f.prompter.texts(), QStringList{question});
    QCOMPARE(files(f.cache()), left);
    QCOMPARE(f.text("cacheStatus"), QStringLiteral("Cache files: %1").arg(left.size()));
}

QTEST_MAIN(TestMainWindowCommands)
#include "tst_mainwindow_commands.moc"
