#include "fileops/fileruns.h"

#include "fileops/deletion.h"
#include "fileops/kilobytes.h"
#include "platform/filenames.h"
#include "platform/paths.h"

#include <QFileInfo>
#include <QLocale>

namespace zq2 {

namespace {

// Tells `job` that `folder` took files since the last time, kept in `shown`.
void noteCopiesSince(JobContext& job, const FolderIndex& folder, int& shown) {
    if (folder.copiesNoted() != shown) {
        shown = folder.copiesNoted();
        job.noteChange();
    }
}

} // namespace

AskReplace replaceQuestionThrough(JobContext& job, FolderIndex& folder) {
    return [&job, &folder, shown = folder.copiesNoted()](const QString& name, qint64 oldSize,
                                                         qint64 newSize) mutable {
        noteCopiesSince(job, folder, shown);
        return job.ask(replaceQuestion(name, oldSize, newSize, QLocale::system()), Buttons::YesNo) ==
               Answer::Yes;
    };
}

AskReplace replaceQuestionThrough(JobContext& job) {
    return [&job](const QString& name, qint64 oldSize, qint64 newSize) {
        return job.ask(replaceQuestion(name, oldSize, newSize, QLocale::system()), Buttons::YesNo) ==
               Answer::Yes;
    };
}

CopyControl copyControlThrough(JobContext& job) {
    CopyControl control;
    control.progress = [&job](qint64 done, qint64 total) {
        job.setBytes(done, total);
        return !job.cancelled();
    };
    return control;
}

DropProgress progressThrough(JobContext& job) {
    return [&job, shown = -1](int index, int count, const QString& name, qint64 done, qint64 total,
                              qint64 members) mutable {
        if (index != shown) {
            shown = index;
            job.startFile(index, count, name);
        }
        job.setMembers(members);
        job.setBytes(done, total);
        return !job.cancelled();
    };
}

AskDropReplace dropQuestionThrough(JobContext& job, FolderIndex& folder) {
    return [&job, &folder, shown = folder.copiesNoted()](const QString& name, qint64 oldSize,
                                                         qint64 newSize) mutable {
        noteCopiesSince(job, folder, shown);
        switch (
            job.ask(replaceQuestion(name, oldSize, newSize, QLocale::system()), Buttons::YesAllNoAllCancel)) {
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
    };
}

FileRun copyFromCache(const QString& cacheDir, FolderIndex& gameFolder, const QStringList& names,
                      JobContext& job) {
    FileRun run;
    run.count = int(names.size());
    const AskReplace ask = replaceQuestionThrough(job, gameFolder);
    const CopyControl control = copyControlThrough(job);
    int handled = 0;
    for (; handled < run.count && !job.cancelled(); ++handled) {
        const QString& name = names[handled];
        job.startFile(handled, run.count, displayFileName(name));
        if (job.cancelled())
            break;
        const CopyOutcome outcome = copyZQ2File(cacheDir, gameFolder, name, ask, control);
        if (outcome.result == CopyOutcome::Result::Declined)
            continue;
        // A copy stopped halfway was tried all the same: the lists are brought up to date after it.
        ++run.attempted;
        if (outcome.result == CopyOutcome::Result::Cancelled)
            break;
        if (outcome.result == CopyOutcome::Result::Failed) {
            run.failures << outcome.error;
            continue;
        }
        ++run.done;
        if (outcome.leftBehind)
            run.leftBehind << outcome.leftBehind;
    }
    run.cancelled = handled < run.count;
    return run;
}

FileRun deleteFiles(const QString& folder, const QStringList& names, JobContext& job) {
    FileRun run;
    run.count = int(names.size());
    for (int i = 0; i < run.count && !job.cancelled(); ++i) {
        job.startFile(i, run.count, displayFileName(names[i]));
        if (job.cancelled())
            break;
        ++run.attempted;
        if (const FileError error = removeFile(joinPath(folder, names[i])))
            run.failures << error;
        else
            ++run.done;
    }
    run.cancelled = job.cancelled() && run.attempted < run.count;
    return run;
}

QString leftBehindReport(const QList<FileError>& leftBehind, const QString& newcomer) {
    QStringList lines;
    for (const FileError& old : leftBehind)
        lines << QStringLiteral("%1 could not be removed after %2 took its place: %3.")
                     .arg(displayFileName(QFileInfo(old.path).fileName()), newcomer, old.reason());
    return lines.join(QLatin1Char('\n'));
}

QString cancelledReport(int done, int count, const QString& pastVerb) {
    return QStringLiteral("%1 of %2 %3 %4 %5 before you cancelled.")
        .arg(done)
        .arg(count)
        .arg(count == 1 ? QStringLiteral("file") : QStringLiteral("files"))
        .arg(done == 1 || count == 1 ? QStringLiteral("was") : QStringLiteral("were"))
        .arg(pastVerb);
}

QString addedBeforeCancelText(int added) {
    return QStringLiteral("%1 %2 added before you cancelled.")
        .arg(added)
        .arg(added == 1 ? QStringLiteral("file was") : QStringLiteral("files were"));
}

QString runReport(const FileRun& run, const QString& failedVerb, const QString& pastVerb) {
    QStringList parts;
    if (!run.failures.isEmpty())
        parts << failureReport(failedVerb, run.failures);
    if (!run.leftBehind.isEmpty())
        parts << leftBehindReport(run.leftBehind);
    if (run.cancelled)
        parts << cancelledReport(run.done, run.count, pastVerb);
    return parts.join(QLatin1Char('\n'));
}

} // namespace zq2
