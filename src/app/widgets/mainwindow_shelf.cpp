// The level shelf and Find, as the main window offers them: "Move to Shelf" on the game list's
// menu, the Level Shelf window, the Find window, and choosing a file that Find found.
#include "app/widgets/mainwindow.h"

#include "ui_mainwindow.h"

#include "app/widgets/findwindow.h"
#include "app/widgets/startup.h"
#include "catalogue/filter.h"
#include "catalogue/widgets/filelistview.h"
#include "fileops/deletion.h"
#include "fileops/fileruns.h"
#include "fileops/kilobytes.h"
#include "fileops/shelf.h"
#include "platform/paths.h"
#include "platform/prompter.h"

#include <QLocale>
#include <QMenu>
#include <QScreen>
#include <QShortcut>

namespace zq2 {

void MainWindow::connectShelfAndFind() {
    connect(ui_->levelShelf, &QAction::triggered, this, &MainWindow::levelShelf_Click);
    connect(ui_->findMenu, &QAction::triggered, this, &MainWindow::findMenu_Click);

    // The game list's menu opens on a right click and on the menu key; Shift+F10 opens it where the
    // keyboard has no menu key.
    FileListView* list = ui_->zq2Files;
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, &MainWindow::showGameListMenu);
    auto* menuKey =
        new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), list, nullptr, nullptr, Qt::WidgetShortcut);
    connect(menuKey, &QShortcut::activated, this,
            [this, list] { showGameListMenu(list->visualRect(list->currentIndex()).center()); });
}

void MainWindow::showGameListMenu(const QPoint& position) {
    QMenu menu(this);
    menu.addAction(QStringLiteral("Move to &Shelf"), this, &MainWindow::moveToShelf_Click)
        ->setEnabled(ui_->zq2Files->selectedIndex() >= 0);
    menu.exec(ui_->zq2Files->viewport()->mapToGlobal(position));
}

void MainWindow::moveToShelf_Click() {
    FileListView* list = ui_->zq2Files;
    if (list->selectedIndex() < 0 || gameDir_.isEmpty())
        return;
    const QString name = list->selectedName();
    if (const FileError error = makeShelfFolder(gameDir_)) {
        prompter_.tell(shelfFolderProblem(error));
        return;
    }
    MoveResult result;
    work_.run({QStringLiteral("Moving")}, [&](JobContext& job) {
        result = moveFiles(gameDir_, shelfDirOf(gameDir_), {name}, replaceQuestionThrough(job),
                           progressThrough(job));
    });
    // After a No nothing has changed, and the list keeps its selection.
    if (result.moved.isEmpty() && result.failed.isEmpty())
        return;
    rereadAndRecount(Lists::Game);
    if (shelfWindow_)
        shelfWindow_->relist();
    if (const QString report = moveReport(result, QStringLiteral("Could not move")); !report.isEmpty())
        prompter_.tell(report);
}

namespace {

// Puts `window` to the right of its parent window, where both can be seen at once; in the middle of
// the screen when there is no room there.
void placeBeside(QWidget* window) {
    const QWidget* main = window->parentWidget();
    const QScreen* screen = main ? main->screen() : nullptr;
    if (!screen) {
        centreOnScreen(window);
        return;
    }
    const QRect room = screen->availableGeometry();
    const QRect besideMain(QPoint(main->frameGeometry().right() + 8, main->frameGeometry().top()),
                           window->size());
    if (room.contains(besideMain))
        window->move(besideMain.topLeft());
    else
        centreOnScreen(window);
}

} // namespace

ShelfWindow* MainWindow::openShelfWindow() {
    if (shelfWindow_)
        return shelfWindow_;
    auto* window = new ShelfWindow(prompter_, *titles_, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setConfirmDelete(prefs_.confirmDelete);
    window->setLook(shelfLook_);
    window->setLevelsInGame(levelCount_);
    window->setFilterEntries(prefs_.patterns);
    // The pattern first, so that the shelf is read once, when its folder is given.
    window->shelfView_Click();
    window->setGameFolder(gameDir_);
    connect(window, &ShelfWindow::gameFolderChanged, this, [this] { rereadAndRecount(Lists::Game); });
    placeBeside(window);
    shelfWindow_ = window;
    return window;
}

void MainWindow::levelShelf_Click() {
    ShelfWindow* window = openShelfWindow();
    window->show();
    window->raise();
    window->activateWindow();
    if (const FileError blocked = checkShelfFolder(gameDir_))
        prompter_.tell(shelfFolderProblem(blocked));
}

QList<FindFolder> MainWindow::findFolders() const {
    return {{FilePlace::Game, gameDir_},
            {FilePlace::Cache, cacheDirOf(gameDir_)},
            {FilePlace::Shelf, shelfDirOf(gameDir_)}};
}

// Find looks at the files that the lists show with "All" chosen.
QString MainWindow::allPatternsText() const {
    return patternTextFor(QStringLiteral("All"), QStringList{QStringLiteral("All")} + prefs_.patterns);
}

void MainWindow::findMenu_Click() {
    if (!findWindow_) {
        auto* window = new FindWindow(findFolders(), allPatternsText(), titles_, this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        connect(window, &FindWindow::fileChosen, this, [this](FilePlace place, const QString& name) {
            if (selectFile(place, name)) {
                if (findWindow_)
                    findWindow_->close();
                return;
            }
            prompter_.tell(noLongerThereText(place, name));
            if (findWindow_)
                findWindow_->reload();
        });
        centreOnScreen(window);
        findWindow_ = window;
    }
    findWindow_->show();
    findWindow_->raise();
    findWindow_->activateWindow();
    findWindow_->focusField();
}

namespace {

int indexOfEntry(const FileListView* list, const QString& name) {
    for (int i = 0; i < list->count(); ++i)
        if (list->entry(i) == name)
            return i;
    return -1;
}

} // namespace

bool MainWindow::selectFile(FilePlace place, const QString& name) {
    if (place == FilePlace::Shelf) {
        ShelfWindow* window = openShelfWindow();
        if (!window->selectFile(name))
            return false;
        window->show();
        window->raise();
        window->activateWindow();
        return true;
    }
    const bool game = place == FilePlace::Game;
    FolderSide& side = game ? game_ : cache_;
    // A list read before the file went would still offer it.
    if (!isPlainFile(joinPath(side.folder(), name)))
        return false;
    QComboBox* filter = game ? ui_->zq2View : ui_->cacheView;
    FileListView* list = side.list();
    int index = indexOfEntry(list, name);
    if (index < 0) {
        // The filter may hide it: show every kind of file, as choosing "All" does; or it came
        // after the list was read.
        if (filter->currentIndex() != 0) {
            side.chooseFilterEntry(0);
            side.applyFilter();
        }
        rereadAndRecount(game ? Lists::Game : Lists::Cache);
        index = indexOfEntry(list, name);
    }
    if (index < 0)
        return false;
    raise();
    activateWindow();
    list->select(index); // shows the details, as the selection event of a click does
    list->setFocus();
    return true;
}

void MainWindow::countsRefreshed(qint64 levels) {
    levelCount_ = levels;
    if (shelfWindow_) {
        shelfWindow_->setGameFolder(gameDir_);
        shelfWindow_->setLevelsInGame(levels);
    }
    // Whatever changed the counts may have changed what Find would find.
    if (findWindow_)
        findWindow_->setFolders(findFolders(), allPatternsText());
}

void MainWindow::preferencesRead() {
    if (shelfWindow_) {
        shelfWindow_->setFilterEntries(prefs_.patterns);
        shelfWindow_->setConfirmDelete(prefs_.confirmDelete);
    }
    if (findWindow_)
        findWindow_->setFolders(findFolders(), allPatternsText());
}

void MainWindow::skinApplied(const MainWindowSkin* skin) {
    // A skin makefile without a line leaves what the main window shows, and so what the shelf borrows.
    if (!skin) {
        shelfLook_ = {};
    } else {
        if (skin->picture)
            shelfLook_.picture = *skin->picture;
        if (skin->frame1)
            shelfLook_.frameColour = *skin->frame1;
    }
    if (shelfWindow_)
        shelfWindow_->setLook(shelfLook_);
}

} // namespace zq2
