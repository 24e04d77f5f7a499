// The commands of the main window that change folders or start other programs: copying from the
// cache, adding dropped files, deleting, emptying the cache, playing a level.
#include "app/widgets/mainwindow.h"

#include "ui_mainwindow.h"

#include "app/widgets/dropprogress.h"
#include "catalogue/counts.h"
#include "catalogue/widgets/filelistview.h"
#include "fileops/deletion.h"
#include "fileops/dropfiles.h"
#include "fileops/filecopy.h"
#include "fileops/kilobytes.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/prompter.h"

#include <QLocale>

namespace zq2 {

void MainWindow::bringListsUpToDate() {
    if (!listsStale_)
        return;
    listsStale_ = false;
    ui_->zq2Files->reread();
    ui_->zq2Cache->reread();
    refreshCounts();
}

void MainWindow::reportFailures(const QString& verbPhrase, const QList<FileError>& failures) {
    if (!failures.isEmpty())
        prompter_.tell(failureReport(verbPhrase, failures));
}

AskReplace MainWindow::replaceQuestionAsker() {
    return [this](const QString& name, qint64 oldSize, qint64 newSize) {
        // The user must see current lists and counts whenever a question is on the screen.
        bringListsUpToDate();
        return prompter_.ask(replaceQuestion(name, oldSize, newSize, QLocale::system()), Buttons::YesNo) ==
               Answer::Yes;
    };
}

CopyOutcome MainWindow::copyOne(const QString& dFileName, FolderIndex* gameFolder) {
    const AskReplace ask = replaceQuestionAsker();
    CopyOutcome outcome = gameFolder ? copyZQ2File(cacheDirOf(gameDir_), *gameFolder, dFileName, ask)
                                     : copyZQ2File(cacheDirOf(gameDir_), gameDir_, dFileName, ask);
    if (outcome.result != CopyOutcome::Result::Declined)
        markListsStale();
    return outcome;
}

void MainWindow::CopyZQ2File(const QString& dFileName) {
    const CopyOutcome outcome = copyOne(dFileName);
    bringListsUpToDate();
    if (outcome.result == CopyOutcome::Result::Failed)
        reportFailures(QStringLiteral("Could not copy"), {outcome.error});
}

void MainWindow::cacheCopy_Click() {
    if (ui_->zq2Cache->selectedIndex() < 0)
        return;
    CopyZQ2File(ui_->zq2Cache->selectedName());
}

void MainWindow::copyentireCache_Click() {
    ui_->zq2Cache->reread();
    const int n = ui_->zq2Cache->count();
    // Copying never changes the cache folder, so the names read now stay valid for the whole loop.
    QStringList names;
    names.reserve(n);
    for (int i = 0; i < n; ++i)
        names << ui_->zq2Cache->entry(i);

    // One look at the game folder's names serves the whole run, instead of one listing per file.
    FolderIndex gameFolder(gameDir_);
    QList<FileError> failures;
    for (const QString& name : names) {
        const CopyOutcome outcome = copyOne(name, &gameFolder);
        if (outcome.result == CopyOutcome::Result::Failed)
            failures << outcome.error;
    }
    bringListsUpToDate();
    reportFailures(QStringLiteral("Could not copy"), failures);
}

void MainWindow::addDropped(FolderSide& side, const QStringList& paths) {
    if (side.folder().isEmpty())
        return;
    // While the files go in, the lists take no further drop: a second one would start while the
    // first one's questions are on the screen.
    ui_->zq2Files->setAcceptDrops(false);
    ui_->zq2Cache->setAcceptDrops(false);
    FolderIndex folder(side.folder());
    DropResult result;
    {
        DropProgressDialog progress(this);
        // A drop may meet many files the folder has already: its question offers an answer for all of
        // them, and Cancel.
        const AskDropReplace ask =
            progress.asking([this](const QString& name, qint64 oldSize, qint64 newSize) {
                bringListsUpToDate();
                switch (prompter_.ask(replaceQuestion(name, oldSize, newSize, QLocale::system()),
                                      Buttons::YesAllNoAllCancel)) {
                case Answer::Yes:
                    return ReplaceAnswer::Yes;
                case Answer::YesToAll:
                    return ReplaceAnswer::YesToAll;
                case Answer::No:
                    return ReplaceAnswer::No;
                case Answer::NoToAll:
                    return ReplaceAnswer::NoToAll;
                default:
                    return ReplaceAnswer::Cancel;
                }
            });
        DropOptions options;
        options.levelLimit = &side == &game_ ? kMaxLevels : 0;
        // Every question sees the files added before it, however many.
        result = addDroppedFiles(
            paths, folder,
            [&](const QString& name, qint64 oldSize, qint64 newSize) {
                markListsStale();
                return ask(name, oldSize, newSize);
            },
            progress.callback(), options);
    }
    ui_->zq2Files->setAcceptDrops(true);
    ui_->zq2Cache->setAcceptDrops(true);
    if (!result.added.isEmpty())
        markListsStale();
    bringListsUpToDate();
    if (!result.report.isEmpty())
        prompter_.tell(result.report);
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
    const FileError error = removeFile(joinPath(side.folder(), name));
    list->reread();
    refreshCounts();
    if (error)
        reportFailures(QStringLiteral("Could not delete"), {error});
}

void MainWindow::clearCache_Click() {
    ui_->zq2Cache->reread();
    const int n = ui_->zq2Cache->count();
    if (n < 1) {
        prompter_.tell(cacheIsEmptyText());
        return;
    }
    if (prompter_.ask(clearCacheQuestion(n), Buttons::YesNo) != Answer::Yes)
        return;
    QList<FileError> failures;
    for (int i = 0; i < n; ++i)
        if (const FileError error = removeFile(joinPath(cache_.folder(), ui_->zq2Cache->entry(i))))
            failures << error;
    ui_->zq2Cache->reread();
    refreshCounts();
    reportFailures(QStringLiteral("Could not delete"), failures);
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
