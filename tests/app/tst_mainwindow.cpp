// The main window end to end over temporary game folders: start-up, the first run, the quit
// question, what the Settings and Preferences commands re-read, and the commands that change folders.
#include "app/widgets/dialogs.h"
#include "app/widgets/mainwindow.h"
#include "app/widgets/splash.h"
#include "appearance/tooltips.h"
#include "archivewriter.h"
#include "catalogue/widgets/filelistview.h"
#include "fileops/kilobytes.h"
#include "platform/filenames.h"
#include "platform/folderreads.h"
#include "platform/urilist.h"
#include "support/faults.h"
#include "support/scriptedprompter.h"
#include "support/tempfiles.h"

#include <QComboBox>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <functional>

using namespace zq2;
using namespace zq2::test;
using namespace Qt::StringLiterals;

namespace {

// Stands in for the program's dialogs: records which were opened, in order, and runs an optional
// action in place of the user.
class FakeDialogs final : public Dialogs {
public:
    QStringList shown;
    std::function<void()> onSettings, onPreferences;

    void showSettings(QWidget*, const ProgramFolders&, const SkinValues&) override {
        run("settings", onSettings);
    }
    void showPreferences(QWidget*, const QString&, const SkinValues&) override {
        run("preferences", onPreferences);
    }
    void showRestore(QWidget*, const QString&, const QString&, const SkinValues&) override { run("restore"); }
    void showAbout(QWidget*, const SkinValues&) override { run("about"); }
    void showHelp(const QString&) override { run("help"); }

private:
    void run(const char* what, const std::function<void()>& action = {}) {
        shown << QLatin1String(what);
        if (action)
            action();
    }
};

// A program folder and a game folder of their own, and the main window over them.
struct AppFixture {
    TempDir appDir, gameDir;
    ScriptedPrompter prompter;
    FakeDialogs dialogs;
    std::unique_ptr<MainWindow> window;

    QString gameName; // of a game folder inside gameDir, if wanted

    QString app() const { return appDir.path(); }
    QString game() const { return gameDir.path() + gameName; }
    QString cache() const { return game() + QStringLiteral("/cache"); }

    void writeSettings(const QString& folder) {
        writeFile(app(), QStringLiteral("settings.ini"), encodeFileName(folder) + "\r\n/media/cdrom");
    }
    void writePreferences(bool warnMaxLevels, bool confirmDelete,
                          const QByteArray& patterns = "*.z2l\r\n*.z2t\r\n*.z2b", bool tips = true) {
        writeFile(app(), QStringLiteral("preferences.ini"),
                  QByteArray("USESKIN=NO\r\n\r\nUSETIPS=") + (tips ? "YES" : "NO") +
                      "\r\nWARNMAXLVLS=" + (warnMaxLevels ? "YES" : "NO") +
                      "\r\nDISPLAYDELETE=" + (confirmDelete ? "YES" : "NO") + "\r\n" + patterns);
    }
    MainWindow& start() {
        window = std::make_unique<MainWindow>(portableFolders(app()), prompter, dialogs);
        window->Form_Load();
        return *window;
    }

    template <class T> T* get(const char* name) const {
        T* child = window->findChild<T*>(QLatin1String(name));
        if (!child)
            qFatal("no control named %s", name);
        return child;
    }
    FileListView* list(const char* name) const { return get<FileListView>(name); }
    QString text(const char* name) const { return get<QWidget>(name)->property("text").toString(); }
    // A file list's names or a drop-down's patterns.
    QStringList entries(const char* name) const {
        QStringList out;
        auto* combo = window->findChild<QComboBox*>(QLatin1String(name));
        for (int i = 0; i < (combo ? combo->count() : list(name)->count()); ++i)
            out << (combo ? combo->itemText(i) : list(name)->entry(i));
        return out;
    }
    void chooseFilter(const char* name, int index) {
        auto* combo = get<QComboBox>(name);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
};

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
    test::makeFolder(f.cache());
    f.writeSettings(f.game());
    f.writePreferences(true, confirmDelete);
    f.start();
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        static TempDir home;
        useHomeOfItsOwn(home.path());
    }

    void startupShowsBothFoldersWithDetailsAndCounts() {
        AppFixture f;
        startWith(f,
                  {{"b level.z2l", levelBytes("  Second  ", 300)},
                   {"A Level.Z2L", levelBytes("First Title", 1024)},
                   {"tiles.z2t", "t"},
                   {"song.z2b", "s"},
                   {"readme.txt", "x"}},
                  {{"down.z2l", levelBytes("Download", 2000)},
                   {"notes.txt", "x"},
                   {".zq2-00c0ffee.part", "left by a crash"},
                   {".zq2-other.part", "not ours"}});
        // Our own temporary files left by a crash are gone; a hidden file of another shape stays.
        QCOMPARE(folderEntries(f.cache()).filter(".zq2"), QStringList{".zq2-other.part=not ours"});

        const QStringList defaults{"All", "*.z2l", "*.z2t", "*.z2b"};
        QCOMPARE(f.entries("zq2View") + f.entries("cacheView"), defaults + defaults);
        QCOMPARE(f.entries("zq2Files"), QStringList({"A Level.Z2L", "b level.z2l", "song.z2b", "tiles.z2t"}));
        QCOMPARE(f.entries("zq2Cache"), QStringList{"down.z2l"});
        const QStringList shown{f.text("zq2Title"),   f.text("zq2Type"),     f.text("zq2Size"),
                                f.text("delZQ2"),     f.text("seeFile"),     f.text("cacheTitle"),
                                f.text("cacheSize"),  f.text("delCache"),    f.text("lvlStatus"),
                                f.text("tileStatus"), f.text("musicStatus"), f.text("cacheStatus")};
        QCOMPARE(shown,
                 QStringList({"Title: First Title", "Type: Level", "Size: 1024 Bytes", "Delete A Level.Z2L",
                              "Play A Level.Z2L", "Title: Download", "Size: 2000 Bytes", "Delete down.z2l",
                              "Levels: 2", "Tilesets: 1", "Music files: 1", "Cache files: 2"}));
        QVERIFY(f.prompter.asked.isEmpty() && f.dialogs.shown.isEmpty());
        // A key that types a character shows the selected file's details again.
        f.get<QLabel>("zq2Title")->setText(QStringLiteral("stale"));
        QTest::keyClick(f.list("zq2Files"), Qt::Key_Return);
        QCOMPARE(f.text("zq2Title"), QStringLiteral("Title: First Title"));
    }

    // The splash stays its full time, even when started just past half a second on the clock that timers
    // run on, where a coarse timer would end it at the next whole second, 30 ms early.
    void splashStaysItsFullTime() {
        QElapsedTimer shown;
        shown.start();
        QThread::msleep(static_cast<unsigned long>((1530 - shown.msecsSinceReference() % 1000) % 1000));
        shown.restart();
        Splash().exec();
        QCOMPARE_GE(shown.elapsed(), Splash::kShowMilliseconds);
    }

    void firstRun_data() {
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("settings confirmed") << true;
        QTest::newRow("settings cancelled") << false;
    }

    void firstRun() {
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
        QCOMPARE(f.window->cdResourceDir(), confirmed ? QStringLiteral("/media/cdrom/Resources") : QString());
        QCOMPARE(f.entries("zq2Files"), confirmed ? QStringList{"one.z2l"} : QStringList());
        QCOMPARE(f.text("lvlStatus"), confirmed ? QStringLiteral("Levels: 1") : QStringLiteral("Levels: 0"));
        if (!confirmed) { // nothing is shown, so the buttons that act on a shown file do nothing
            f.window->delZQ2_Click();
            f.window->seeFile_Click();
            f.window->cacheCopy_Click();
            QVERIFY(f.prompter.asked.isEmpty());
        }
        // Nothing is written by the program itself on the way.
        QCOMPARE(QDir(f.app()).entryList(QDir::Files),
                 confirmed ? QStringList{"settings.ini"} : QStringList());
    }

    void quitQuestion_data() {
        QTest::addColumn<int>("levels");
        QTest::addColumn<bool>("warn");
        QTest::addColumn<CloseReason>("reason");
        QTest::addColumn<bool>("answerYes");
        QTest::addColumn<bool>("asked"); // and the window stays open only after a No
        QTest::newRow("255, user close") << 255 << true << CloseReason::User << false << false;
        QTest::newRow("256, exit, No") << 256 << true << CloseReason::Program << false << true;
        QTest::newRow("256, close box, Yes") << 256 << true << CloseReason::User << true << true;
        QTest::newRow("256, warning off") << 256 << false << CloseReason::User << false << false;
        QTest::newRow("300, session ends") << 300 << true << CloseReason::SessionEnd << false << false;
    }

    void quitQuestion() {
        QFETCH(int, levels);
        QFETCH(bool, warn);
        QFETCH(CloseReason, reason);
        QFETCH(bool, answerYes);
        QFETCH(bool, asked);
        const bool closed = !asked || answerYes;
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

    // Preferences and Settings re-read their files when their dialogs close, cancelled or not, as the
    // files may have been changed by hand meanwhile.
    void dialogCommandsRereadTheirFiles() {
        AppFixture f;
        TempDir other;
        for (const char* name : {"x.z2l", "y.z2l", "z.z2b"})
            writeFile(other.path(), name);
        startWith(f, {{"a.z2l", {}}, {"b.z2b", {}}, {"d.z2t", {}}}, {});
        f.chooseFilter("zq2View", 3); // "*.z2b"
        f.dialogs.onPreferences = [&f] {
            f.writePreferences(true, false, "*.z2l\r\n*.txt\r\n*.z\xE9t", false);
            writeFile(f.game(), QStringLiteral("c.z2l"));
        };
        f.window->preferences_Click();
        const QStringList entries{"All", "*.z2l", "*.txt", u"*.z\uFFFDt"_s};
        QCOMPARE(f.entries("zq2View") + f.entries("cacheView"), entries + entries);
        // The lists keep their patterns, and a drop-down whose chosen pattern went shows no choice;
        // the counts stay until the folders are read again.
        QCOMPARE(f.entries("zq2Files"), QStringList{"b.z2b"});
        QCOMPARE(f.get<QComboBox>("zq2View")->currentIndex(), -1);
        QCOMPARE(f.get<QComboBox>("cacheView")->currentIndex(), 0);
        QCOMPARE(f.text("lvlStatus"), QStringLiteral("Levels: 1"));
        for (const TooltipEntry& tip : tooltipTable())
            QVERIFY2(f.get<QWidget>(tip.objectName)->toolTip().isEmpty(), tip.objectName);
        // The settings file is changed by hand while the program runs; the dialog is cancelled.
        f.dialogs.onSettings = [&] { f.writeSettings(other.path()); };
        f.window->setMenu_Click();
        QCOMPARE(f.entries("zq2Files"), QStringList{"z.z2b"});
        QCOMPARE(f.list("zq2Files")->selectedIndex(), -1);
        QCOMPARE(f.text("lvlStatus"), QStringLiteral("Levels: 2"));
        QCOMPARE(f.text("delZQ2"), QStringLiteral("Delete a.z2l"));
        // Restore asks for the CD first, and opens only after OK.
        f.prompter.answer(Answer::Cancel);
        f.window->restoreZQ2_Click();
        f.prompter.answer(Answer::Ok);
        f.window->restoreZQ2_Click();
        QCOMPARE(f.prompter.texts(),
                 QStringList(2, QStringLiteral("Please insert your Zeno Quillback 2 CD now.")));
        QCOMPARE(f.prompter.asked.first().buttons, Buttons::OkCancel);
        QCOMPARE(f.dialogs.shown, (QStringList{"preferences", "settings", "restore"}));
        // A pattern that is not UTF-8 is shown with U+FFFD but matches by its bytes.
        writeFile(other.path(), decodeFileName("e.z\xE9t"));
        f.chooseFilter("zq2View", 3);
        QCOMPARE(f.entries("zq2Files"), QStringList{decodeFileName("e.z\xE9t")});
    }

    void copySelectedAsksOnlyBeforeReplacingAndReportsFailure() {
        AppFixture f;
        startWith(f, {{"LEVEL1.Z2L", QByteArray(1500, 'o')}},
                  {{"level1.z2l", QByteArray(1000, 'n')}, {"new.z2l", "n"}, {"zz.z2l", "x"}});
        f.prompter.answer(Answer::No);
        f.window->cacheCopy_Click(); // level1.z2l, selected at start-up, exists under another spelling
        QCOMPARE(f.prompter.texts(),
                 QStringList{QStringLiteral("Are you sure you want to replace level1.z2l (Size: %1 "
                                            "KB) with level1.z2l (Size: 1 KB)?")
                                 .arg(QLocale::system().toString(1.5))});
        // No leaves everything as it was, selections included.
        QCOMPARE(files(f.game()), QStringList{"LEVEL1.Z2L"});
        QCOMPARE(f.list("zq2Cache")->selectedIndex(), 0);
        f.list("zq2Cache")->select(1);
        f.window->cacheCopy_Click(); // a new name: copied without a question, lists re-read, counts refreshed
        QCOMPARE(f.prompter.asked.size(), 1);
        QCOMPARE(f.entries("zq2Files"), QStringList({"LEVEL1.Z2L", "new.z2l"}));
        QCOMPARE(f.list("zq2Cache")->selectedIndex(), -1);
        QCOMPARE(f.text("lvlStatus"), QStringLiteral("Levels: 2"));
        QFile::remove(f.cache() + QStringLiteral("/zz.z2l")); // vanished after the list was read
        f.list("zq2Cache")->select(2);
        f.window->cacheCopy_Click();
        QCOMPARE(f.prompter.texts().last(),
                 QStringLiteral("Could not copy zz.z2l: No such file or directory."));
        QCOMPARE(f.prompter.asked.last().buttons, Buttons::Ok);
        QCOMPARE(files(f.game()), QStringList({"LEVEL1.Z2L", "new.z2l"}));
    }

    void copyEntireCacheFollowsTheFilterAndAsksPerConflict() {
        AppFixture f;
        startWith(f, {{"b.z2b", "old"}},
                  {{"a.z2b", "a"}, {"b.z2b", "new b"}, {"c.z2b", "c"}, {"level.z2l", "l"}});
        f.chooseFilter("cacheView", 3); // "*.z2b"
        f.prompter.answer(Answer::Yes);
        f.window->copyentireCache_Click();
        QCOMPARE(f.prompter.asked.size(), 1);
        QCOMPARE(readFile(f.game() + QStringLiteral("/b.z2b")), QByteArray("new b"));
        QCOMPARE(f.entries("zq2Files"), QStringList({"a.z2b", "b.z2b", "c.z2b"}));
        QCOMPARE(f.text("musicStatus"), QStringLiteral("Music files: 3"));
    }

    void deleteSelected_data() {
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<bool>("answerYes");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("confirmed") << true << true << true;
        QTest::newRow("declined") << true << false << false;
        QTest::newRow("no confirmation") << false << false << true;
    }

    void deleteSelected() {
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
        // After a delete the caption still names the file, but nothing is selected: a second click does
        // nothing.
        if (deleted) {
            f.window->delZQ2_Click();
            QVERIFY(QFile::exists(f.game() + QStringLiteral("/b.z2l")));
            QCOMPARE(f.prompter.unexpected, 0);
        }
    }

    // A game folder whose path in settings.ini is not UTF-8, holding a level whose name is not UTF-8
    // beside its U+FFFD twin: every command acts on the file selected, by its own bytes.
    void namesNotUtf8ThroughEveryCommand() {
        AppFixture f;
        f.gameName = decodeFileName("/Zeno \xE9t\xE9");
        const QString latin1 = decodeFileName("caf\xE9.z2l"), twin = u"caf\xFFFD.z2l"_s,
                      lone = decodeFileName("\xFF.z2l"), loneUpper = decodeFileName("\xFF.Z2L");
        startWith(f,
                  {{latin1, levelBytes("Latin", 300)},
                   {twin, levelBytes("Twin", 400)},
                   {loneUpper, "old"},
                   {"Zeno2.exe", {}}},
                  {{decodeFileName("caf\xE9.z2b"), "m"}, {lone, "new"}});
        FileListView* games = f.list("zq2Files");
        QCOMPARE(f.entries("zq2Files"), (QStringList{latin1, twin, loneUpper}));
        QCOMPARE(games->model()->index(0, 0).data().toString(), twin); // shown with U+FFFD
        QCOMPARE((QStringList{f.text("zq2Title"), f.text("zq2Size"), f.text("delZQ2"), f.text("seeFile")}),
                 (QStringList{"Title: Latin", "Size: 300 Bytes", "Delete " + twin, "Play " + twin}));

        // Play: through a stand-in for wine that records what it was given.
        QTemporaryDir bin;
        writeRecorder(bin.path(), "wine");
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()) + ":/usr/bin:/bin");
        f.window->seeFile_Click();
        qputenv("PATH", path);
        QTRY_COMPARE(
            readFile(bin.filePath("wine.args")),
            encodeFileName(f.game() + "/Zeno2.exe|" + latin1 + '|' + QDir::current().canonicalPath() + '|'));

        // Copy finds the other letter case of the same bytes; Delete removes the file selected and
        // not its twin; Clear Cache removes both files of the cache.
        for (int i = 0; i < 3; ++i)
            f.prompter.answer(Answer::Yes);
        f.list("zq2Cache")->select(1);
        f.window->cacheCopy_Click();
        games->select(0);
        f.window->delZQ2_Click();
        f.window->clearCache_Click();
        QCOMPARE(f.prompter.texts(), (QStringList{replaceQuestion(lone, 3, 3, QLocale::system()),
                                                  "Are you sure you want to delete Latin (" + twin + ")?",
                                                  "Are you sure you want to delete these 2 files?"}));
        QCOMPARE(folderEntries(f.game()).filter(".z"),
                 (QStringList{twin + '=' + levelBytes("Twin", 400), lone + "=new"}));
        QCOMPARE(folderEntries(f.cache()), QStringList());
        QCOMPARE(f.text("lvlStatus") + ' ' + f.text("cacheStatus"), "Levels: 2 Cache files: 0");
    }

    void clearCache_data() {
        QTest::addColumn<QString>("names"); // the cache's files, separated by commas
        QTest::addColumn<int>("filter");
        QTest::addColumn<bool>("answerYes");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("left");
        const QString two = "Are you sure you want to delete these 2 files?";
        QTest::newRow("nothing listed") << "notes.txt" << 0 << true << "Cache is empty."
                                        << "notes.txt";
        QTest::newRow("one") << "a.z2l" << 0 << true << "Are you sure you want to delete this 1 file?"
                             << "";
        QTest::newRow("filter hides some") << "a.z2l,b.z2l,c.z2t,d.txt" << 1 << true << two << "c.z2t,d.txt";
        QTest::newRow("declined") << "a.z2l,b.z2b" << 0 << false << two << "a.z2l,b.z2b";
    }

    void clearCache() {
        QFETCH(QString, names);
        QFETCH(int, filter);
        QFETCH(bool, answerYes);
        QFETCH(QString, question);
        QFETCH(QString, left);
        AppFixture f;
        QMap<QString, QByteArray> cache;
        for (const QString& name : names.split(','))
            cache.insert(name, "x");
        startWith(f, {}, cache);
        f.chooseFilter("cacheView", filter);
        f.prompter.answer(answerYes ? Answer::Yes : Answer::No);
        f.window->clearCache_Click();
        QCOMPARE(f.prompter.texts(), QStringList{question});
        QCOMPARE(files(f.cache()).join(','), left);
        QCOMPARE(f.text("cacheStatus"), QStringLiteral("Cache files: %1").arg(files(f.cache()).size()));
    }

    // Every command reads each folder once for its lists and counts together, and the commands
    // that read the cache before they ask read it once more at their end.
    void eachCommandReadsEachFolderOnce_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("reads");
        for (const auto& [command, reads] :
             std::initializer_list<std::pair<const char*, int>>{{"start-up", 2},
                                                                {"filter", 2},
                                                                {"copy", 2},
                                                                {"copy entire cache", 3},
                                                                {"delete", 2},
                                                                {"clear cache", 3},
                                                                {"settings", 2},
                                                                {"drop", 2}})
            QTest::newRow(command) << QString(command) << reads;
    }
    void eachCommandReadsEachFolderOnce() {
        QFETCH(QString, command);
        QFETCH(int, reads);
        AppFixture f;
        TempDir out;
        writeFile(out.path(), u"dropped.z2l"_s, "d");
        QMap<QString, QByteArray> many;
        for (int i = 0; i < 50; ++i)
            many.insert(u"level%1.z2l"_s.arg(i), "l");
        const quint64 before = folderReadCount();
        startWith(f, many, {{"new.z2l", "n"}}, false);
        const quint64 started = folderReadCount();
        if (command == "filter")
            f.chooseFilter("zq2View", 1);
        else if (command == "copy")
            f.window->cacheCopy_Click();
        else if (command == "copy entire cache")
            f.window->copyentireCache_Click();
        else if (command == "delete")
            f.window->delZQ2_Click();
        else if (command == "clear cache")
            f.prompter.answer(Answer::Yes), f.window->clearCache_Click();
        else if (command == "settings")
            f.window->setMenu_Click();
        else if (command == "drop")
            emit f.list("zq2Files")->filesDropped({out.path() + u"/dropped.z2l"_s});
        QCOMPARE(int((command == "start-up" ? started - before : folderReadCount() - started)), reads);
        QCOMPARE(f.prompter.unexpected, 0);
    }

    // A drop whose only file is declined changes nothing, so nothing is read again: both lists keep
    // their selections, as after No to the copy button's question.
    void declinedDropKeepsBothSelections() {
        AppFixture f;
        TempDir out;
        writeFile(out.path(), u"a.z2l"_s, "newer");
        startWith(f, {{"a.z2l", "old"}, {"b.z2l", "b"}}, {{"c.z2l", "c"}});
        f.list("zq2Files")->select(1);
        f.prompter.answer(Answer::No);
        emit f.list("zq2Files")->filesDropped({out.path() + u"/a.z2l"_s});
        QCOMPARE(f.prompter.texts(), QStringList{replaceQuestion(u"a.z2l"_s, 3, 5, QLocale::system())});
        QCOMPARE(f.list("zq2Files")->selectedIndex(), 1);
        QCOMPARE(f.list("zq2Cache")->selectedIndex(), 0);
        QCOMPARE(readFile(f.game() + u"/a.z2l"_s), QByteArray("old"));
    }

    // A copy that takes long shows its progress and takes a Cancel in the middle of the file, while
    // the window's events go on; nothing of the cancelled copy remains, and the user is told.
    void cancelInTheMiddleOfAFile() {
        HangGuard guard;
        AppFixture f;
        startWith(f, {}, {{"big.z2l", QByteArray(8 << 20, 'b')}});
        f.window->show();
        // Each piece of the copy takes a tenth of a second, as from a slow stick.
        f.window->fileWork().beforeStart = [](JobContext& job) {
            job.onProgress = [](const JobProgress& p) {
                if (p.done > 0)
                    QThread::msleep(100);
            };
        };
        int ticks = 0;
        bool cancelled = false;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            ++ticks;
            auto* cancel = f.window->findChild<QPushButton*>(u"cancelButton"_s);
            if (cancel && cancel->isVisible() && !cancelled) {
                cancelled = true;
                cancel->click();
            }
        });
        tick.start(10);
        f.prompter.answer(Answer::Ok);
        f.window->cacheCopy_Click();
        tick.stop();
        QVERIFY(cancelled);
        QVERIFY(ticks >= 20); // the dialog came after half a second of work, the events flowing
        QCOMPARE(f.prompter.texts(), QStringList{u"0 of 1 file was copied before you cancelled."_s});
        QCOMPARE(folderEntries(f.game()), QStringList{u"cache/"_s});
        QCOMPARE(f.list("zq2Cache")->selectedIndex(), -1); // the copy was tried: both lists re-read
    }

    // Closing the window while a copy runs stops the copy and then closes, asking nothing.
    void closeWhileACopyRuns() {
        HangGuard guard;
        AppFixture f;
        startWith(f, {}, {{"big.z2l", QByteArray(4 << 20, 'b')}});
        f.window->show();
        f.window->fileWork().beforeStart = [](JobContext& job) {
            job.onProgress = [](const JobProgress& p) {
                if (p.done > 0)
                    QThread::msleep(50);
            };
        };
        QTimer::singleShot(100, f.window.get(), [&] { f.window->close(); });
        f.window->cacheCopy_Click();
        QTRY_VERIFY(!f.window->isVisible());
        QCOMPARE(f.prompter.texts().join('|'), QString());
        QCOMPARE(folderEntries(f.game()), QStringList{u"cache/"_s});
    }

    // Files dropped from a file manager, through the lists' own drop handling: each file is copied by
    // the rules of copying a download, an archive gives its game files, folders and files of the
    // folder itself are left alone, and the lists and counts follow; what is offered only to be moved
    // is refused. An entry dragged out is offered as its file.
    void dropFilesAndDragOut() {
        AppFixture f;
        TempDir out;
        writeFile(out.path(), u"New.z2l"_s, "new");
        writeFile(out.path(), u"Old.Z2L"_s, "newer");
        writeFile(out.path(), u"sub/inside.z2l"_s, "i");
        using tools::ArchiveMember;
        QCOMPARE(tools::writeArchive(out.path() + u"/pack.zip"_s, tools::ArchiveKind::Zip,
                                     {ArchiveMember::file(u"levels/Beta.z2l"_s, "b"),
                                      ArchiveMember::file(u"tiles/Gamma.z2t"_s, "g"),
                                      ArchiveMember::file(u"readme.txt"_s, "r")}),
                 QString());
        QCOMPARE(tools::writeArchive(out.path() + u"/shots.zip"_s, tools::ArchiveKind::Zip,
                                     {ArchiveMember::file(u"shot.png"_s, "p")}),
                 QString());
        startWith(f, {{"old.z2l", "old"}}, {{"c.z2l", "c"}});
        const auto drop = [&](const char* list, const QStringList& paths, Qt::DropActions offered) {
            QMimeData mime;
            mime.setData(u"text/uri-list"_s, uriListOfPaths(paths));
            // As a file manager drops, Shift asking for a move: the list is entered first, and takes the
            // drop only if it took that.
            QWidget* target = f.list(list)->viewport();
            QDragEnterEvent enter(QPoint(5, 5), offered, &mime, Qt::LeftButton, Qt::ShiftModifier);
            QCoreApplication::sendEvent(target, &enter);
            QDropEvent dropped(QPointF(5, 5), offered, &mime, Qt::LeftButton, Qt::ShiftModifier);
            QCoreApplication::sendEvent(target, &dropped);
            QCoreApplication::processEvents(); // the work starts once the drop has ended
            // Never a move: the program the files came from keeps them.
            return enter.isAccepted() && dropped.isAccepted() && dropped.dropAction() == Qt::CopyAction;
        };
        const QString o = out.path() + '/';
        QVERIFY(!drop("zq2Files", {o + "New.z2l"}, Qt::MoveAction));
        f.prompter.answer(Answer::Yes);
        f.prompter.answer(Answer::Ok);
        QVERIFY(drop(
            "zq2Files",
            {o + "New.z2l", o + "pack.zip", o + "Old.Z2L", o + "sub", o + "shots.zip", f.game() + "/old.z2l"},
            Qt::CopyAction | Qt::MoveAction));
        f.prompter.answer(Answer::Ok);
        QVERIFY(drop("zq2Cache", {o + "New.z2l", f.game() + "/Beta.z2l"}, Qt::CopyAction));
        QCOMPARE(
            f.prompter.texts(),
            (QStringList{replaceQuestion(u"Old.Z2L"_s, 3, 5, QLocale::system()),
                         "Folders are not copied, so sub was left out.\nNo level, tileset or music files in "
                         "shots.zip."}));
        QCOMPARE(f.prompter.unexpected, 0);
        // A drop may meet many files the folder has: its question can answer for all of them.
        QCOMPARE(f.prompter.asked.value(0).buttons, Buttons::YesAllNoAllCancel);
        QCOMPARE(folderEntries(f.game()).filter(u".z2"_s, Qt::CaseInsensitive),
                 (QStringList{"Beta.z2l=b", "Gamma.z2t=g", "New.z2l=new", "Old.Z2L=newer"}));
        QCOMPARE(folderEntries(f.cache()), (QStringList{"Beta.z2l=b", "c.z2l=c", "New.z2l=new"}));
        QCOMPARE(folderEntries(out.path()).size(), 5);
        QCOMPARE(f.entries("zq2Files").size(), 4);
        QCOMPARE(f.text("lvlStatus") + ' ' + f.text("cacheStatus"), u"Levels: 3 Cache files: 3"_s);

        FileListView* list = f.list("zq2Files");
        const QModelIndex entry = list->model()->index(0, 0);
        QCOMPARE(list->model()->supportedDragActions(), Qt::CopyAction);
        const std::unique_ptr<QMimeData> data(list->model()->mimeData({entry}));
        QCOMPARE(localPathsFromUriList(data->data(u"text/uri-list"_s)), QStringList{f.game() + "/Beta.z2l"});
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
