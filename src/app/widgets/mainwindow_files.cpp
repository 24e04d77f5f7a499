// The commands of the main window that change folders or start other programs: copying from the
// cache, adding dropped files, deleting, emptying the cache, playing a level. The file work itself
// runs off the window's thread (see FileWork); these handlers keep the order of what is asked,
// re-read and recounted around it.
#include "app/widgets/mainwindow.h"

#include "ui_mainwindow.h"

#include "catalogue/counts.h"
#include "catalogue/widgets/filelistview.h"
#include "fileops/deletion.h"
#include "fileops/dropfiles.h"
#include "fileops/fileruns.h"
#include "platform/nativefile.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/prompter.h"

#include <QTimer>

namespace zq2 {

void MainWindow::closeWhenIdle() {
    constexpr int kLookAgainMs = 20;
    QTimer::singleShot(kLookAgainMs, this, [this] {
        if (FileWork::anyRunning()) {
            closeWhenIdle();
            return;
        }
        const CloseReason reason = *std::exchange(closeAfterWork_, std::nullopt);
        requestClose(reason);
    });
}

void MainWindow::tellUnlessClosing(const QString& report) {
    if (!report.isEmpty() && !closeAfterWork_)
        prompter_.tell(report);
}

void MainWindow::removeLeftovers() {
    // Temporary files of ours that a crash left behind; the names are ours alone, and only one copy
    // of the program runs, so none of them is being written.
    for (const FolderContents* contents : {&gameContents_, &cacheContents_})
        for (const QString& name : contents->leftovers)
            removePlainFile(joinPath(contents->folder, name));
}

void MainWindow::copyFromCacheRun(const QStringList& names) {
    const QString cacheDir = cacheDirOf(gameDir_);
    FolderIndex gameFolder(gameContents_);
    FileRun run;
    work_.run({QStringLiteral("Copying")},
              [&](JobContext& job) { run = copyFromCache(cacheDir, gameFolder, names, job); });
    if (run.attempted > 0)
        rereadAndRecount(Lists::Both);
    tellUnlessClosing(runReport(run, QStringLiteral("Could not copy"), QStringLiteral("copied")));
}

void MainWindow::CopyZQ2File(const QString& dFileName) {
    copyFromCacheRun({dFileName});
}

void MainWindow::cacheCopy_Click() {
    if (ui_->zq2Cache->selectedIndex() < 0)
        return;
    CopyZQ2File(ui_->zq2Cache->selectedName());
}

void MainWindow::copyentireCache_Click() {
    cacheContents_ = readFolder(cacheDirOf(gameDir_));
    ui_->zq2Cache->showContents(cacheContents_);
    // Copying never changes the cache folder, so the names read now stay valid for the whole run.
    const int n = ui_->zq2Cache->count();
    QStringList names;
    names.reserve(n);
    for (int i = 0; i < n; ++i)
        names << ui_->zq2Cache->entry(i);
    if (!names.isEmpty())
        copyFromCacheRun(names);
}

void MainWindow::addDropped(FolderSide& side, const QStringList& paths) {
    if (side.folder().isEmpty() || FileWork::anyRunning())
        return;
    const bool onGame = &side == &game_;
    FolderIndex folder(onGame ? gameContents_ : cacheContents_);
    if (folder.folder() != side.folder())
        folder = FolderIndex(side.folder());
    DropResult result;
    work_.run({QStringLiteral("Adding")}, [&](JobContext& job) {
        DropOptions options;
        options.levelLimit = onGame ? kMaxLevels : 0;
        result =
            addDroppedFiles(paths, folder, dropQuestionThrough(job, folder), progressThrough(job), options);
    });
    // A drop that put nothing in place leaves both lists as they are, selections and all.
    if (!result.added.isEmpty())
        rereadAndRecount(Lists::Both);
    QString report = result.report;
    if (result.cancelled)
        report += (report.isEmpty() ? QString() : QStringLiteral("\n")) +
                  addedBeforeCancelText(int(result.added.size()));
    tellUnlessClosing(report);
}

void MainWindow::delZQ2_Click() {
    deleteSelected(game_);
}

void MainWindow::delCache_Click() {
    deleteSelected(cache_);
}

void MainWindow::deleteSelected(FolderSide& side) {
    // A button still reading "Delete" has not shown a file of its side yet.
    if (side.deleteButton()->text().compare(QLatin1String("Delete"), Qt::CaseInsensitive) == 0)
        return;
    FileListView* list = side.list();
    if (list->selectedIndex() < 0)
        return;
    const QString name = list->selectedName();
    if (prefs_.confirmDelete &&
        prompter_.ask(deleteQuestion(side.titleLabel()->text(), name), Buttons::YesNo) != Answer::Yes)
        return;
    const QString path = joinPath(side.folder(), name);
    FileError error;
    FileWork::Options options{QStringLiteral("Deleting")};
    options.showProgress = false; // one file: nothing to follow, and a trash call cannot be stopped
    work_.run(options, [&](JobContext&) { error = removeFile(path); });
    rereadAndRecount(&side == &game_ ? Lists::Game : Lists::Cache);
    if (error)
        tellUnlessClosing(failureReport(QStringLiteral("Could not delete"), QList<FileError>{error}));
}

void MainWindow::clearCache_Click() {
    const QString cacheDir = cacheDirOf(gameDir_);
    cacheContents_ = readFolder(cacheDir);
    ui_->zq2Cache->showContents(cacheContents_);
    const int n = ui_->zq2Cache->count();
    if (n < 1) {
        prompter_.tell(cacheIsEmptyText());
        return;
    }
    if (prompter_.ask(clearCacheQuestion(n), Buttons::YesNo) != Answer::Yes)
        return;
    // The names read before the question, not read again between the deletions.
    QStringList names;
    names.reserve(n);
    for (int i = 0; i < n; ++i)
        names << ui_->zq2Cache->entry(i);
    FileRun run;
    work_.run({QStringLiteral("Deleting")},
              [&](JobContext& job) { run = deleteFiles(cacheDir, names, job); });
    rereadAndRecount(Lists::Cache);
    tellUnlessClosing(runReport(run, QStringLiteral("Could not delete"), QStringLiteral("deleted")));
}

void MainWindow::seeFile_Click() {
    const QString selected = ui_->zq2Files->selectedIndex() < 0 ? QString() : ui_->zq2Files->selectedName();
    const std::optional<LaunchRequest> request = seeFileLaunch(ui_->seeFile->text(), selected, gameDir_);
    if (!request)
        return;
    if (const FileError error = startDetached(*request))
        prompter_.tell(
            QStringLiteral("Could not start %1: %2.").arg(displayPath(request->program), error.reason()));
}

} // namespace zq2
