#pragma once

#include "app/closereason.h"
#include "app/widgets/findwindow.h"
#include "app/widgets/folderside.h"
#include "app/widgets/shelfwindow.h"
#include "appearance/skinfile.h"
#include "appearance/skinvalues.h"
#include "catalogue/find.h"
#include "catalogue/folderlisting.h"
#include "config/preferencesfile.h"
#include "fileops/widgets/filework.h"
#include "platform/programfolders.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <optional>

namespace Ui {
class zq2Form;
}

namespace zq2 {

class Dialogs;
class Prompter;

// The main window: the game folder and the download cache side by side, the counts along the
// bottom, and the menus. It is the controller of the program: it holds the preference values, the
// counts, the game folder and the skin values, and hands each dialog what that dialog needs.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(const ProgramFolders& folders, Prompter& prompter, Dialogs& dialogs,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start-up sequence; the window is shown afterwards by the caller.
    void Form_Load();
    // Asks the window to close for `reason`; returns whether it closed.
    bool requestClose(CloseReason reason);

    // Values held for the run, readable for tests and the close rule.
    const Preferences& preferences() const { return prefs_; }
    QString gameDir() const { return gameDir_; }
    QString cdResourceDir() const { return cdResourceDir_; }
    const SkinValues& skinValues() const { return skin_; }
    Ui::zq2Form* form() const { return ui_.get(); }
    FileWork& fileWork() { return work_; }

    // Menu commands and control handlers.
    void exitprog_Click();
    void setMenu_Click();
    void preferences_Click();
    void restoreZQ2_Click();
    void aboutMenu_Click();
    void zq2Help_Click();
    void zq2View_Click();
    void cacheView_Click();
    void zq2Files_Click();
    void zq2Files_KeyPress();
    void zq2Cache_Click();
    void zq2Cache_KeyPress();
    void cacheCopy_Click();
    void copyentireCache_Click();
    void delZQ2_Click();
    void delCache_Click();
    void clearCache_Click();
    void seeFile_Click();

    // The level shelf and Find.
    void moveToShelf_Click();
    void levelShelf_Click();
    void findMenu_Click();
    // Selects `name` in the list of `place` (for the shelf, in the Level Shelf window, opened when
    // needed) and shows its details, as a click on it would; false when it is not there.
    bool selectFile(FilePlace place, const QString& name);
    ShelfWindow* shelfWindow() const { return shelfWindow_; }
    FindWindow* findWindow() const { return findWindow_; }

    // Routines of the window.
    void LoadPreferences();
    void LoadSettings();
    void LoadSkinFile(const QString& sFile);
    void TurnOffSkin();
    void TurnTipsOn();
    void TurnTipsOff();
    void refreshCounts();
    void LoadZQ2Data(const QString& dFileName);
    void LoadCacheData(const QString& dFileName);
    void CopyZQ2File(const QString& dFileName);

    // Adds files named from outside the window (the command line, a later copy) to the game folder,
    // exactly as dropping them onto the game folder's list does.
    void addFilesToGameFolder(const QStringList& paths) { addDropped(game_, paths); }
    // Whether file work runs, during which the window takes no other command.
    bool busy() const { return FileWork::anyRunning(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Which lists a reading of the two folders is shown in; the counts always follow it.
    enum class Lists { None, Game, Cache, Both };

    bool Form_QueryUnload(CloseReason reason);
    void connectControls();
    void applyLook();
    void setTooltips(bool on);
    void pointListsAtFolders();
    // Reads each folder once, shows the readings in `lists` (which then have nothing selected) and
    // recounts from the same readings.
    void rereadAndRecount(Lists lists);
    void showCounts(const FolderCounts& counts);
    // Asks for the close that waited for the work to end, once no work runs any more.
    void closeWhenIdle();
    void copyFromCacheRun(const QStringList& names);
    void addDropped(FolderSide& side, const QStringList& paths);
    void deleteSelected(FolderSide& side);
    void removeLeftovers();
    void tellUnlessClosing(const QString& report);

    void connectShelfAndFind();
    void showGameListMenu(const QPoint& position);
    ShelfWindow* openShelfWindow();
    QList<FindFolder> findFolders() const;
    QString allPatternsText() const;
    // Passes what the main window has just read or counted on to the shelf and Find windows.
    void countsRefreshed(qint64 levels);
    void preferencesRead();
    void skinApplied(const MainWindowSkin* skin); // null: the skin was turned off

    std::unique_ptr<Ui::zq2Form> ui_;
    ProgramFolders folders_;
    Prompter& prompter_;
    Dialogs& dialogs_;
    FolderSide game_;
    FolderSide cache_;

    Preferences prefs_;
    QString gameDir_;
    QString cdResourceDir_;
    SkinValues skin_;
    CloseReason pendingReason_ = CloseReason::User;
    // The last recount found more levels than the game can list.
    bool overLimit_ = false;

    // The commands' file work, off the window's thread; a close asked for meanwhile stops the work
    // and follows once the command is done (closeAfterWork_).
    FileWork work_;
    std::optional<CloseReason> closeAfterWork_;
    // The last reading of each folder: a lookup ignoring letter case starts from it.
    FolderContents gameContents_;
    FolderContents cacheContents_;

    // Titles read for the shelf and for Find, kept for the whole run.
    std::shared_ptr<TitleCache> titles_ = std::make_shared<TitleCache>();
    QPointer<ShelfWindow> shelfWindow_;
    QPointer<FindWindow> findWindow_;
    ShelfLook shelfLook_;
    qint64 levelCount_ = 0;
};

} // namespace zq2
