// The level shelf and Find as the user reaches them from the main window: the game list's menu, the
// Level Shelf window with its commands, keys and drops, and Find choosing a file or changing nothing.
#include "app/widgets/findwindow.h"
#include "app/widgets/mainwindow.h"
#include "app/widgets/shelfwindow.h"
#include "app/widgets/unattended.h"
#include "archivewriter.h"
#include "catalogue/widgets/filelistview.h"
#include "platform/filenames.h"
#include "platform/urilist.h"
#include "support/scriptedprompter.h"
#include "support/tempfiles.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using namespace zq2;
using namespace zq2::test;
using namespace Qt::StringLiterals;

namespace {

// A program folder and a game folder of their own, and the main window over them, shown.
struct Fixture {
    TempDir appDir, gameDir;
    ScriptedPrompter prompter;
    UnattendedDialogs dialogs;
    std::unique_ptr<MainWindow> window;

    QString game() const { return gameDir.path(); }

    MainWindow& start(const QByteArray& patterns = "*.z2l\r\n*.z2t\r\n*.z2b") {
        test::makeFolder(game() + "/cache");
        writeFile(appDir.path(), "settings.ini", encodeFileName(game()) + "\r\n/media/cdrom");
        writeFile(appDir.path(), "preferences.ini",
                  "USESKIN=NO\r\n\r\nUSETIPS=NO\r\nWARNMAXLVLS=YES\r\nDISPLAYDELETE=YES\r\n" + patterns);
        window = std::make_unique<MainWindow>(portableFolders(appDir.path()), prompter, dialogs);
        window->Form_Load();
        window->show();
        if (!QTest::qWaitForWindowActive(window.get()))
            qFatal("the main window did not become active");
        return *window;
    }
    template <class T> T* get(QObject* in, const char* name) const {
        T* child = in->findChild<T*>(QLatin1String(name));
        if (!child)
            qFatal("no control named %s", name);
        return child;
    }
    QString text(QWidget* in, const char* name) const {
        return get<QWidget>(in, name)->property("text").toString();
    }
    QStringList entries(const FileListView* list) const {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->entry(i);
        return out;
    }
};

// The rows of a shelf or results list as "name|title|type or place".
QStringList rows(const QTreeView* view) {
    QStringList out;
    const QAbstractItemModel* model = view->model();
    for (int row = 0; row < model->rowCount(); ++row)
        out << model->index(row, 0).data().toString() + '|' + model->index(row, 1).data().toString() + '|' +
                   model->index(row, 2).data().toString();
    return out;
}

// Picks `caption` in the menu that the next action opens.
void pickFromNextMenu(const QString& caption) {
    QTimer::singleShot(0, [caption] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (QAction* action : menu->actions())
            if (action->text() == caption && action->isEnabled())
                action->trigger();
        menu->close();
    });
}

// Drops `paths` onto `target` as a file manager does, offering a copy or a move.
bool dropFiles(QWidget* target, const QStringList& paths) {
    QMimeData mime;
    mime.setData(u"text/uri-list"_s, uriListOfPaths(paths));
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &drop);
    QCoreApplication::processEvents(); // the work starts once the drop has ended
    return enter.isAccepted() && drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
}

} // namespace

class TestShelfAndFind : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        static TempDir home;
        useHomeOfItsOwn(home.path());
    }

    void shelfThroughTheGameListMenuAndTheShelfWindow() {
        Fixture f;
        writeFile(f.game(), "Alpha.z2l", levelBytes("Alpha", 500));
        for (int i = 1; i <= 255; ++i)
            writeFile(f.game(), QStringLiteral("lvl%1.z2l").arg(i, 3, 10, QLatin1Char('0')), "x");
        MainWindow& window = f.start();
        FileListView* games = f.get<FileListView>(&window, "zq2Files");
        QLabel* levels = f.get<QLabel>(&window, "lvlStatus");
        QCOMPARE(levels->palette().color(QPalette::WindowText), QColor(255, 0, 0));

        // The menu key on the selected level, then a right click on another: each is shelved.
        games->select(0);
        pickFromNextMenu(u"Move to &Shelf"_s);
        // What the window system makes of the menu key: a context menu event for the focus widget.
        games->setFocus();
        const QPoint at = games->visualRect(games->currentIndex()).center();
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, at, games->mapToGlobal(at));
        QCoreApplication::sendEvent(games, &menuKey);
        QCOMPARE(levels->text(), u"Levels: 255"_s);
        QCOMPARE(levels->palette().color(QPalette::WindowText), QColor(0, 0, 0));
        pickFromNextMenu(u"Move to &Shelf"_s);
        // A right click: the press selects the entry under it, then the window system asks for the menu.
        const QPoint on = games->visualRect(games->model()->index(0, 0)).center();
        QTest::mouseClick(games->viewport(), Qt::RightButton, {}, on);
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, on, games->viewport()->mapToGlobal(on));
        QCoreApplication::sendEvent(games->viewport(), &rightClick);
        QCOMPARE(f.text(&window, "delZQ2"), u"Delete lvl001.z2l"_s); // the right click selected it
        QCOMPARE(folderEntries(f.game() + "/shelf"),
                 (QStringList{"Alpha.z2l=" + levelBytes("Alpha", 500), "lvl001.z2l=x"}));
        QCOMPARE(f.entries(games).first(), u"lvl002.z2l"_s);

        // A level of a shelved name asks before it replaces the shelved one; No changes nothing.
        writeFile(f.game(), "ALPHA.Z2L", "new");
        games->reread();
        games->select(0);
        f.prompter.answer(Answer::No);
        window.moveToShelf_Click();
        QCOMPARE(
            f.prompter.texts().last(),
            u"Are you sure you want to replace ALPHA.Z2L (Size: %1 KB) with ALPHA.Z2L (Size: %2 KB)?"_s.arg(
                QLocale::system().toString(0.5), QLocale::system().toString(0.003)));
        QCOMPARE(games->selectedName(), u"ALPHA.Z2L"_s);
        QVERIFY(QFile::remove(f.game() + "/ALPHA.Z2L"));

        // The Level Shelf window, from the Advanced menu.
        f.get<QAction>(&window, "levelShelf")->trigger();
        ShelfWindow* shelf = window.shelfWindow();
        QVERIFY(QTest::qWaitForWindowActive(shelf));
        auto* list = f.get<QTreeView>(shelf, "shelfFiles");
        QCOMPARE(rows(list), (QStringList{"Alpha.z2l|Alpha|Level", "lvl001.z2l||Level"}));
        QCOMPARE(f.text(shelf, "roomStatus"), u"Levels in the game: 254 of 255. Room for 1 more."_s);

        // Dropped onto the shelf: a file of the game folder is shelved, others are copied, an
        // archive gives its game files; both windows follow.
        TempDir out;
        writeFile(out.path(), "new.z2t", "n");
        QCOMPARE(tools::writeArchive(out.path() + "/pack.zip", tools::ArchiveKind::Zip,
                                     {tools::ArchiveMember::file(u"levels/Inside.z2l"_s, "i"),
                                      tools::ArchiveMember::file(u"readme.txt"_s, "r")}),
                 QString());
        QVERIFY(dropFiles(list->viewport(),
                          {f.game() + "/lvl002.z2l", out.path() + "/new.z2t", out.path() + "/pack.zip"}));
        QCOMPARE(rows(list), (QStringList{"Alpha.z2l|Alpha|Level", "Inside.z2l||Level", "lvl001.z2l||Level",
                                          "lvl002.z2l||Level", "new.z2t||Tileset"}));
        QCOMPARE(levels->text(), u"Levels: 253"_s);
        QCOMPARE(f.text(shelf, "roomStatus"), u"Levels in the game: 253 of 255. Room for 2 more."_s);
        QCOMPARE(folderEntries(out.path()).size(), 2);

        // Put Back by its access key, after the file was chosen as a click would.
        QVERIFY(shelf->selectFile(u"Alpha.z2l"_s));
        QCOMPARE(f.text(shelf, "shelfTitle") + ' ' + f.text(shelf, "shelfSize"),
                 u"Title: Alpha Size: 500 Bytes"_s);
        QTest::keyClick(shelf, Qt::Key_P, Qt::AltModifier);
        QTRY_COMPARE(f.entries(games).first(), u"Alpha.z2l"_s); // an access key clicks a moment later
        QCOMPARE(levels->text(), u"Levels: 254"_s);
        QCOMPARE(f.text(shelf, "roomStatus"), u"Levels in the game: 254 of 255. Room for 1 more."_s);

        // Delete, by the Delete key, asks first.
        QVERIFY(shelf->selectFile(u"lvl001.z2l"_s));
        f.prompter.answer(Answer::Yes);
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(f.prompter.texts().last(), u"Are you sure you want to delete  (lvl001.z2l)?"_s);

        // A shelved file removed from outside while the window is open.
        QVERIFY(QFile::remove(f.game() + "/shelf/new.z2t"));
        QVERIFY(shelf->selectFile(u"new.z2t"_s));
        f.prompter.answer(Answer::Ok);
        shelf->putBack_Click();
        QCOMPARE(f.prompter.texts().last(), u"Could not put back new.z2t: No such file or directory."_s);
        QCOMPARE(rows(list), (QStringList{"Inside.z2l||Level", "lvl002.z2l||Level"}));
        QCOMPARE(f.prompter.unexpected, 0);
    }

    // Find opened by Ctrl+F over a game folder, a cache whose filter hides music and a shelf.
    void findChoosesOrChangesNothing_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("how"); // Enter, double click, Escape, gone
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("details");
        QTest::newRow("level by its title") << "SOCIETY"
                                            << "Enter"
                                            << "zq2Files"
                                            << "Cafe.z2l"
                                            << "Title: Café Society";
        QTest::newRow("music the filter hid") << "cache only"
                                              << "double click"
                                              << "zq2Cache"
                                              << "Cache Only.z2b"
                                              << "Type: Music";
        QTest::newRow("shelved, by an accent") << "crème"
                                               << "Enter"
                                               << "shelfFiles"
                                               << "Shelved.z2l"
                                               << "Title: Creme";
        QTest::newRow("closed by Escape") << "cafe"
                                          << "Escape"
                                          << ""
                                          << ""
                                          << "";
        QTest::newRow("gone meanwhile") << "cafe"
                                        << "gone"
                                        << ""
                                        << ""
                                        << "Cafe.z2l is no longer in the Zeno 2 folder.";
    }

    void findChoosesOrChangesNothing() {
        QFETCH(QString, query);
        QFETCH(QString, how);
        QFETCH(QString, list);
        QFETCH(QString, selected);
        QFETCH(QString, details);
        Fixture f;
        writeFile(f.game(), "Cafe.z2l", levelBytes("Caf\xE9 Society"));
        writeFile(f.game(), "b.z2t", levelBytes("Tiles"));
        writeFile(f.game() + "/cache", "Cache Only.z2b", "m");
        writeFile(f.game() + "/cache", "a.z2l", "l");
        writeFile(f.game() + "/shelf", "Shelved.z2l", levelBytes("Creme"));
        MainWindow& window = f.start();
        auto* cacheView = f.get<QComboBox>(&window, "cacheView");
        cacheView->setCurrentIndex(1); // "*.z2l"
        emit cacheView->activated(1);
        f.get<FileListView>(&window, "zq2Files")->select(1);
        const auto state = [&] {
            return QStringList{f.entries(f.get<FileListView>(&window, "zq2Files")).join(','),
                               f.entries(f.get<FileListView>(&window, "zq2Cache")).join(','),
                               QString::number(f.get<FileListView>(&window, "zq2Files")->selectedIndex()),
                               QString::number(f.get<FileListView>(&window, "zq2Cache")->selectedIndex()),
                               QString::number(cacheView->currentIndex()),
                               f.text(&window, "zq2Title"),
                               f.text(&window, "cacheType")};
        };
        const QStringList before = state();

        QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
        QPointer<FindWindow> find = window.findWindow();
        QVERIFY(find);
        QTRY_VERIFY(find->isReady());
        for (const QChar c : query) // one key at a time, as typed, accents included
            QTest::sendKeyEvent(QTest::Click, f.get<QLineEdit>(find, "findText"), Qt::Key_unknown, QString(c),
                                {});
        auto* results = f.get<QTreeView>(find, "findResults");
        QVERIFY(results->model()->rowCount() > 0);
        if (how == "gone") {
            QVERIFY(QFile::remove(f.game() + "/Cafe.z2l"));
            f.prompter.answer(Answer::Ok);
        }
        if (how == "double click") { // as the window system sends one: a click, then the second press
            const QPoint row = results->visualRect(results->model()->index(0, 0)).center();
            QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, row);
            QTest::mouseDClick(results->viewport(), Qt::LeftButton, {}, row);
        } else if (how == "Escape")
            QTest::keyClick(f.get<QLineEdit>(find, "findText"), Qt::Key_Escape);
        else
            QTest::keyClick(f.get<QLineEdit>(find, "findText"), Qt::Key_Return);

        if (list.isEmpty()) {
            QCOMPARE(state(), before);
            QCOMPARE(f.prompter.texts(), details.isEmpty() ? QStringList() : QStringList{details});
            QTRY_COMPARE(find.isNull(), how == "Escape");
            return;
        }
        QTRY_VERIFY(find.isNull());
        QWidget* shown = list == "shelfFiles" ? static_cast<QWidget*>(window.shelfWindow()) : &window;
        QWidget* view = f.get<QWidget>(shown, qPrintable(list));
        QCOMPARE(QApplication::focusWidget(), view);
        if (auto* files = qobject_cast<FileListView*>(view)) {
            QCOMPARE(files->selectedName(), selected);
            QCOMPARE(f.text(&window, list == "zq2Files" ? "zq2Title" : "cacheType"), details);
        } else {
            QCOMPARE(rows(static_cast<QTreeView*>(view)), QStringList{selected + "|Creme|Level"});
            QCOMPARE(static_cast<QTreeView*>(view)->selectionModel()->selectedRows().size(), 1);
            QCOMPARE(f.text(shown, "shelfTitle"), details);
        }
        QCOMPARE(f.prompter.asked.size(), 0);
    }
};

QTEST_MAIN(TestShelfAndFind)
#include "tst_shelfandfind.moc"
