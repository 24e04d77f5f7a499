#include "fileops/dropfiles.h"

#include "catalogue/folderlisting.h"
#include "fileops/deletion.h"
#include "fileops/droprules.h"
#include "fileops/fileruns.h"
#include "fileops/samefolder.h"
#include "platform/filenames.h"
#include "platform/nativepath.h"
#include "platform/paths.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>

namespace zq2 {

namespace {

QString foldersLeftOut(const QStringList& names) {
    if (names.size() == 1)
        return QStringLiteral("Folders are not copied, so %1 was left out.").arg(names.first());
    return QStringLiteral("Folders are not copied, so %1 folders were left out.").arg(names.size());
}

QString keptBeforeLimit(qsizetype added) {
    if (added == 0)
        return QStringLiteral("Adding stopped there; nothing had been added.");
    if (added == 1)
        return QStringLiteral("Adding stopped there; the 1 file added before it was kept.");
    return QStringLiteral("Adding stopped there; the %1 files added before it were kept.").arg(added);
}

// The answers to the replace questions of one drop: an answer "to all" stands for every question
// after it, and Cancel answers no to everything that is still to come.
class Answers {
public:
    explicit Answers(const AskDropReplace& ask)
        : ask_(ask) {}

    bool cancelled() const { return cancelled_; }

    bool replace(const QString& name, qint64 oldSize, qint64 newSize) {
        if (cancelled_)
            return false;
        if (all_)
            return *all_;
        if (!ask_)
            return true;
        switch (ask_(name, oldSize, newSize)) {
        case ReplaceAnswer::Yes:
            return true;
        case ReplaceAnswer::YesToAll:
            all_ = true;
            return true;
        case ReplaceAnswer::No:
            return false;
        case ReplaceAnswer::NoToAll:
            all_ = false;
            return false;
        case ReplaceAnswer::Cancel:
            break;
        }
        cancelled_ = true;
        return false;
    }

private:
    const AskDropReplace& ask_;
    std::optional<bool> all_;
    bool cancelled_ = false;
};

// Why a dropped plain file is not copied under its own name, or an empty string.
QString refusedName(const QString& name) {
    if (name.startsWith(QLatin1Char('.')))
        return QStringLiteral("its name begins with a dot, which would hide it from the lists");
    return unusableNameReason(name);
}

QString copyFailureReason(const FileError& error) {
    if (error.code == EEXIST) {
        const QString why = inTheWay(error.path);
        return why.isEmpty() ? QStringLiteral("a file of that name appeared meanwhile") : why;
    }
    return error.writeReason();
}

QString levelNote(FolderIndex& folder, const QStringList& added, qint64 levelLimit) {
    if (levelLimit <= 0 || added.filter(QStringLiteral(".z2l"), Qt::CaseInsensitive).isEmpty())
        return {};
    const qint64 levels = folder.countMatching(QStringLiteral("*.z2l"));
    if (levels <= levelLimit)
        return {};
    return QStringLiteral("The game folder now holds %1 levels, more than the %2 that the game can list.")
        .arg(levels)
        .arg(levelLimit);
}

} // namespace

DropResult addDroppedFiles(const QStringList& paths, FolderIndex& folder, const AskDropReplace& askReplace,
                           const DropProgress& progress, const DropOptions& options) {
    DropResult result;
    QStringList reports;
    QStringList folders;
    QList<NamedFailure> copyFailures;
    QList<FileError> leftBehind;
    SameFolder target(folder.folder());
    ExtractBudget budget{options.limits};
    Answers answers(askReplace);
    const AskReplace ask = [&](const QString& name, qint64 oldSize, qint64 newSize) {
        return answers.replace(name, oldSize, newSize);
    };
    const int count = int(paths.size());
    for (int index = 0; index < count && !result.cancelled && !answers.cancelled(); ++index) {
        const QString& path = paths[index];
        const QString name = lastPathPart(path);
        // The root folder has no last part; it is named by its path.
        const QString shown = messageName(name.isEmpty() ? path : name);
        std::error_code error;
        if (std::filesystem::is_directory(toFsPath(path), error)) {
            folders << shown;
            continue;
        }
        if (name.isEmpty() || target.holds(path))
            continue;
        if (progress && !progress(index, count, shown, 0, 0, 0)) {
            result.cancelled = true;
            break;
        }
        if (isArchiveName(name)) {
            const ExtractProgress step = [&](qint64 done, qint64 total, qint64 members) {
                return !answers.cancelled() &&
                       (!progress || progress(index, count, shown, done, total, members));
            };
            const ExtractResult extracted = extractGameFiles(path, folder, ask, step, budget);
            result.added << extracted.extracted;
            result.cancelled = extracted.end == ExtractResult::End::Cancelled;
            QString report = extractionReport(shown, extracted);
            if (extracted.end == ExtractResult::End::LimitReached) {
                reports << report + QLatin1Char('\n') + keptBeforeLimit(result.added.size());
                break;
            }
            if (!report.isEmpty())
                reports << report;
            continue;
        }
        if (const QString why = notAFile(path); !why.isEmpty()) {
            copyFailures.append({shown, why});
            continue;
        }
        if (const QString why = refusedName(name); !why.isEmpty()) {
            copyFailures.append({shown, why});
            continue;
        }
        const std::optional<QString> existing = folder.find(name);
        if (const QString why = existing ? QString() : inTheWay(joinPath(folder.folder(), name));
            !why.isEmpty()) {
            copyFailures.append({shown, why});
            continue;
        }
        CopyControl control;
        control.progress = [&](qint64 done, qint64 total) {
            return !progress || progress(index, count, shown, done, total, 0);
        };
        const CopyOutcome outcome = copyWithQuestion(path, folder.folder(), name, existing, ask, control);
        if (outcome.result == CopyOutcome::Result::Copied) {
            folder.noteCopied(name);
            result.added << name;
            if (outcome.leftBehind)
                leftBehind << outcome.leftBehind;
        } else if (outcome.result == CopyOutcome::Result::Failed) {
            copyFailures.append({shown, copyFailureReason(outcome.error)});
        } else if (outcome.result == CopyOutcome::Result::Cancelled) {
            result.cancelled = true;
        }
    }
    result.cancelled = result.cancelled || answers.cancelled();
    if (!leftBehind.isEmpty())
        reports.prepend(leftBehindReport(leftBehind));
    if (!copyFailures.isEmpty())
        reports.prepend(failureReport(QStringLiteral("Could not copy"), copyFailures));
    if (!folders.isEmpty())
        reports.prepend(foldersLeftOut(folders));
    if (const QString note = levelNote(folder, result.added, options.levelLimit); !note.isEmpty())
        reports << note;
    result.report = reports.join(QLatin1Char('\n'));
    return result;
}

} // namespace zq2
