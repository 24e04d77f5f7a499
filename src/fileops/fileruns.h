#pragma once

#include "fileops/dropfiles.h"
#include "fileops/filecopy.h"
#include "fileops/folderindex.h"
#include "fileops/job.h"
#include "platform/fileerror.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace zq2 {

// How a run over many files went.
struct FileRun {
    int count = 0;     // files the run was given
    int attempted = 0; // copies or deletions tried, that is not declined
    int done = 0;      // files copied or deleted
    bool cancelled = false;
    QList<FileError> failures;
    QList<FileError> leftBehind; // copies in place whose replaced file's other spelling remained
};

// The replace question, asked through `job` on the window's thread. Before it is asked, the job
// notes a change when `folder` has taken files since the last question, so that the window can show
// them first: the lists on the screen while a question is open are never behind.
AskReplace replaceQuestionThrough(JobContext& job, FolderIndex& folder);

// The replace question asked through `job`, for work whose folders no list on the screen shows.
AskReplace replaceQuestionThrough(JobContext& job);

// Progress within one copied file, told to `job`; the copy stops once the job is cancelled.
CopyControl copyControlThrough(JobContext& job);

// Progress of a drop or a move, told to `job`; false once the job is cancelled.
DropProgress progressThrough(JobContext& job);

// The same for a drop, which may meet many files the folder has already: the question offers an
// answer for all of them, and Cancel.
AskDropReplace dropQuestionThrough(JobContext& job, FolderIndex& folder);

// Copies the cache files `names` into the game folder of `gameFolder`, one after the other, each
// with the replace question when the game folder holds its name in any letter case. A failure skips
// only that file. Progress goes by bytes within each file; a cancel stops within the file being
// copied, which is then left out whole.
FileRun copyFromCache(const QString& cacheDir, FolderIndex& gameFolder, const QStringList& names,
                      JobContext& job);

// Removes folder/name for each of `names` (see removeFile), going on after a failure; a cancel stops
// between two files.
FileRun deleteFiles(const QString& folder, const QStringList& names, JobContext& job);

// What the user is told after a run: the failures (failureReport with `failedVerb`, "Could not
// copy"), the old spellings that remained, and on a cancel what was done before it
// ("12 of 40 files were copied before you cancelled.", `pastVerb` "copied"). Empty when there is
// nothing to tell.
QString runReport(const FileRun& run, const QString& failedVerb, const QString& pastVerb);

// "<old spelling> could not be removed after <newcomer> took its place: <reason>." for each.
QString leftBehindReport(const QList<FileError>& leftBehind,
                         const QString& newcomer = QStringLiteral("the copy"));

// "12 of 40 files were copied before you cancelled.", or "1 of 40 files was ...".
QString cancelledReport(int done, int count, const QString& pastVerb);

// "5 files were added before you cancelled.", after a drop was cancelled.
QString addedBeforeCancelText(int added);

} // namespace zq2
