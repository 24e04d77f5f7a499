#include "app/widgets/mainwindow.h"

#include "ui_mainwindow.h"

#include "app/widgets/dialogs.h"
#include "app/widgets/helpwindow.h"
#include "appearance/skinfile.h"
#include "appearance/tooltips.h"
#include "appearance/widgets/skinning.h"
#include "catalogue/counts.h"
#include "config/settingsfile.h"
#include "platform/paths.h"
#include "platform/prompter.h"

#include <QCloseEvent>

#include <tuple>

namespace zq2 {

namespace {

// The form's controls exist before the two columns are made from them.
std::unique_ptr<Ui::zq2Form> setUpForm(QMainWindow* window) {
    auto form = std::make_unique<Ui::zq2Form>();
    form->setupUi(window);
    return form;
}

} // namespace

MainWindow::MainWindow(const ProgramFolders& folders, Prompter& prompter, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent)
    , ui_(setUpForm(this))
    , folders_(folders)
    , prompter_(prompter)
    , dialogs_(dialogs)
    , game_(FolderSide::Controls{ui_->zq2Files, ui_->zq2View, ui_->zq2Title, ui_->zq2Type, ui_->zq2Size,
                                 ui_->delZQ2})
    , cache_(FolderSide::Controls{ui_->zq2Cache, ui_->cacheView, ui_->cacheTitle, ui_->cacheType,
                                  ui_->cacheSize, ui_->delCache})
    , work_(this, prompter) {
    // A fixed single border: the client area keeps its designed size under the menu bar.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(361, 397 + menuBar()->sizeHint().height());
    connectControls();
    // The lists on the screen while a question is open show every file the work put in place
    // before it, as they would had each file been copied by a command of its own.
    work_.beforeQuestion = [this](JobContext& job) {
        if (job.takeChange())
            rereadAndRecount(Lists::Both);
    };
}

MainWindow::~MainWindow() = default;

void MainWindow::connectControls() {
    connect(ui_->exitprog, &QAction::triggered, this, &MainWindow::exitprog_Click);
    connect(ui_->setMenu, &QAction::triggered, this, &MainWindow::setMenu_Click);
    connect(ui_->preferences, &QAction::triggered, this, &MainWindow::preferences_Click);
    connect(ui_->restoreZQ2, &QAction::triggered, this, &MainWindow::restoreZQ2_Click);
    connect(ui_->aboutMenu, &QAction::triggered, this, &MainWindow::aboutMenu_Click);
    connect(ui_->zq2Help, &QAction::triggered, this, &MainWindow::zq2Help_Click);
    connect(ui_->clearCache, &QAction::triggered, this, &MainWindow::clearCache_Click);
    connect(ui_->copyentireCache, &QAction::triggered, this, &MainWindow::copyentireCache_Click);

    connect(ui_->zq2View, &QComboBox::activated, this, &MainWindow::zq2View_Click);
    connect(ui_->cacheView, &QComboBox::activated, this, &MainWindow::cacheView_Click);
    connect(ui_->zq2Files, &FileListView::selectionChanged_, this, &MainWindow::zq2Files_Click);
    connect(ui_->zq2Files, &FileListView::characterKeyPressed, this, &MainWindow::zq2Files_KeyPress);
    connect(ui_->zq2Cache, &FileListView::selectionChanged_, this, &MainWindow::zq2Cache_Click);
    connect(ui_->zq2Cache, &FileListView::characterKeyPressed, this, &MainWindow::zq2Cache_KeyPress);
    connect(ui_->zq2Files, &FileListView::filesDropped, this,
            [this](const QStringList& paths) { addDropped(game_, paths); });
    connect(ui_->zq2Cache, &FileListView::filesDropped, this,
            [this](const QStringList& paths) { addDropped(cache_, paths); });

    connect(ui_->cacheCopy, &QPushButton::clicked, this, &MainWindow::cacheCopy_Click);
    connect(ui_->delZQ2, &QPushButton::clicked, this, &MainWindow::delZQ2_Click);
    connect(ui_->delCache, &QPushButton::clicked, this, &MainWindow::delCache_Click);
    connect(ui_->seeFile, &QPushButton::clicked, this, &MainWindow::seeFile_Click);
    connectShelfAndFind();
}

void MainWindow::Form_Load() {
    LoadPreferences();
    LoadSettings();
    applyLook();
    pointListsAtFolders();

    // Choosing "All" applies each filter and recounts; one reading of each folder serves both lists
    // and the counts, since nothing is on the screen yet to show the counts in between.
    game_.chooseFilterEntry(0);
    game_.applyFilter();
    cache_.chooseFilterEntry(0);
    cache_.applyFilter();
    rereadAndRecount(Lists::Both);
    removeLeftovers();

    if (ui_->zq2Files->count() > 0)
        ui_->zq2Files->select(0);
    if (ui_->zq2Cache->count() > 0)
        ui_->zq2Cache->select(0);
    ui_->zq2Files->setFocus();
}

// ---- menus -----------------------------------------------------------------------------------

void MainWindow::exitprog_Click() {
    requestClose(CloseReason::Program);
}

void MainWindow::setMenu_Click() {
    dialogs_.showSettings(this, folders_, skin_);
    LoadSettings();
    pointListsAtFolders();
    rereadAndRecount(Lists::Both);
}

void MainWindow::preferences_Click() {
    dialogs_.showPreferences(this, folders_.configDir, skin_);
    LoadPreferences();
    applyLook();
}

void MainWindow::restoreZQ2_Click() {
    if (prompter_.ask(QStringLiteral("Please insert your Zeno Quillback 2 CD now."), Buttons::OkCancel) !=
        Answer::Ok)
        return;
    dialogs_.showRestore(this, gameDir_, cdResourceDir_, skin_);
}

void MainWindow::aboutMenu_Click() {
    dialogs_.showAbout(this, skin_);
}

void MainWindow::zq2Help_Click() {
    dialogs_.showHelp(helpFilePath(folders_));
}

// ---- closing ---------------------------------------------------------------------------------

bool MainWindow::requestClose(CloseReason reason) {
    pendingReason_ = reason;
    const bool closed = close();
    pendingReason_ = CloseReason::User;
    return closed;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (FileWork::anyRunning()) {
        // The work stops at its next piece; what it finished stays, and the close follows once the
        // command that ran it is done.
        FileWork::cancelRunning();
        if (!closeAfterWork_) {
            closeAfterWork_ = pendingReason_;
            closeWhenIdle();
        }
        event->ignore();
        return;
    }
    if (Form_QueryUnload(pendingReason_))
        event->ignore();
    else
        event->accept();
}

bool MainWindow::Form_QueryUnload(CloseReason reason) {
    if (!quitNeedsQuestion(!closeMayAsk(reason), prefs_.warnMaxLevels, overLimit_))
        return false;
    return prompter_.ask(quitQuestionText(), Buttons::YesNo) != Answer::Yes;
}

// ---- preferences, settings and look ------------------------------------------------------------

void MainWindow::LoadPreferences() {
    loadPreferences(prefs_, folders_.configDir);
    game_.setFilterEntries(prefs_.patterns);
    cache_.setFilterEntries(prefs_.patterns);
    preferencesRead();
}

void MainWindow::LoadSettings() {
    if (!findSettingsFile(folders_.configDir))
        dialogs_.showSettings(this, folders_, skin_);
    const std::optional<SettingsLines> lines = readSettingsFile(folders_.configDir);
    if (!lines)
        return;
    const LoadedSettings loaded = resolveSettings(*lines, folders_.appDir);
    gameDir_ = loaded.gameDir;
    cdResourceDir_ = loaded.cdResourceDir;
}

void MainWindow::applyLook() {
    if (prefs_.skinEnabled)
        LoadSkinFile(prefs_.skinFile);
    else
        TurnOffSkin();
    if (prefs_.tipsEnabled)
        TurnTipsOn();
    else
        TurnTipsOff();
}

void MainWindow::LoadSkinFile(const QString& sFile) {
    const MainWindowSkin skin = loadSkinFile(sFile, folders_.appDir, skin_);
    applyMainWindowSkin(this, skin, ui_->Frame1, ui_->Frame2);
    skinApplied(&skin);
}

void MainWindow::TurnOffSkin() {
    turnOffSkin(skin_);
    turnOffMainWindowSkin(this, ui_->Frame1, ui_->Frame2);
    skinApplied(nullptr);
}

void MainWindow::TurnTipsOn() {
    setTooltips(true);
}

void MainWindow::TurnTipsOff() {
    setTooltips(false);
}

void MainWindow::setTooltips(bool on) {
    for (const TooltipEntry& entry : tooltipTable()) {
        if (auto* control = findChild<QWidget*>(QLatin1String(entry.objectName))) {
            const QString text = on ? entry.text : QString();
            control->setToolTip(text);
            // A screen reader hears the tooltip as the control's description, but a list does not
            // hand its tooltip on by itself; it goes, and comes back, with the tooltip.
            control->setAccessibleDescription(text);
        }
    }
}

// ---- lists, details and counts -----------------------------------------------------------------

void MainWindow::pointListsAtFolders() {
    game_.setFolder(gameDir_);
    cache_.setFolder(cacheDirOf(gameDir_));
}

void MainWindow::zq2View_Click() {
    game_.applyFilter();
    rereadAndRecount(Lists::Game);
}

void MainWindow::cacheView_Click() {
    cache_.applyFilter();
    rereadAndRecount(Lists::Cache);
}

void MainWindow::rereadAndRecount(Lists lists) {
    std::tie(gameContents_, cacheContents_) = readFolders(gameDir_, cacheDirOf(gameDir_));
    if (lists == Lists::Game || lists == Lists::Both)
        ui_->zq2Files->showContents(gameContents_);
    if (lists == Lists::Cache || lists == Lists::Both)
        ui_->zq2Cache->showContents(cacheContents_);
    showCounts(countContents(gameContents_, cacheContents_));
}

void MainWindow::zq2Files_Click() {
    if (ui_->zq2Files->selectedIndex() >= 0)
        LoadZQ2Data(ui_->zq2Files->selectedName());
}

void MainWindow::zq2Files_KeyPress() {
    zq2Files_Click();
}

void MainWindow::zq2Cache_Click() {
    if (ui_->zq2Cache->selectedIndex() >= 0)
        LoadCacheData(ui_->zq2Cache->selectedName());
}

void MainWindow::zq2Cache_KeyPress() {
    zq2Cache_Click();
}

void MainWindow::LoadZQ2Data(const QString& dFileName) {
    const FileDetails details = game_.showDetails(dFileName);
    ui_->seeFile->setText(buttonCaption(details.seeFileCaption));
}

void MainWindow::LoadCacheData(const QString& dFileName) {
    cache_.showDetails(dFileName);
}

void MainWindow::refreshCounts() {
    rereadAndRecount(Lists::None);
}

void MainWindow::showCounts(const FolderCounts& counts) {
    const CountCaptions captions = countCaptions(counts);
    overLimit_ = captions.overLimit;
    setOverLimitColour(ui_->lvlStatus, captions.overLimit);
    ui_->lvlStatus->setText(captions.levels);
    // Set after the text, so that the change a screen reader is told of carries the final name; an
    // empty name lets the label be heard by its text again.
    ui_->lvlStatus->setAccessibleName(captions.levelsOverLimitName);
    ui_->tileStatus->setText(captions.tilesets);
    ui_->musicStatus->setText(captions.music);
    ui_->cacheStatus->setText(captions.cache);
    countsRefreshed(counts.levels);
}

} // namespace zq2
