#include "fileops/dropfiles.h"

#include "fileops/deletion.h"
#include "fileops/extractarchive.h"
#include "fileops/fileruns.h"
#include "platform/filenames.h"
#include "platform/nativepath.h"

#include <algorithm>
#include <filesystem>

namespace zq2 {

namespace {

QString lastPart(const QString& path) {
    const qsizetype end = path.size() - (path.endsWith(QLatin1Char('/')) ? 1 : 0);
    qsizetype slash = path.lastIndexOf(QLatin1Char('/'), end - 1);
#ifdef Q_OS_WIN
    slash = std::max(slash, path.lastIndexOf(QLatin1Char('\\'), end - 1));
#endif
    return path.mid(slash + 1, end - slash - 1);
}

// Whether a dropped file lies in the target folder itself: dropped onto the list it came from, or
// onto the list of the folder it was in all along. Compared as files, so that links, "..", and
// letter case on file systems that ignore it cannot hide that the two folders are one. Files dropped
// together mostly come from one folder, so each folder is compared once, not once per file.
class SameFolder {
public:
    explicit SameFolder(const QString& folder)
        : folder_(toFsPath(folder)) {}

    bool holds(const QString& path) {
        std::filesystem::path parent = toFsPath(path).parent_path();
        if (parent.empty())
            parent = ".";
        if (!checked_ || parent != parent_) {
            std::error_code error;
            same_ = std::filesystem::equivalent(parent, folder_, error);
            parent_ = std::move(parent);
            checked_ = true;
        }
        return same_;
    }

private:
    std::filesystem::path folder_, parent_;
    bool checked_ = false, same_ = false;
};

QString foldersLeftOut(const QStringList& names) {
    if (names.size() == 1)
        return QStringLiteral("Folders are not copied, so %1 was left out.").arg(names.first());
    return QStringLiteral("Folders are not copied, so %1 folders were left out.").arg(names.size());
}

} // namespace

DropResult addDroppedFiles(const QStringList& paths, FolderIndex& folder, const AskReplace& askReplace,
                           const DropProgress& progress) {
    DropResult result;
    QStringList reports;
    QStringList folders;
    QList<FileError> copyFailures;
    QList<FileError> leftBehind;
    SameFolder target(folder.folder());
    const int count = int(paths.size());
    for (int index = 0; index < count && !result.cancelled; ++index) {
        const QString& path = paths[index];
        const QString name = lastPart(path);
        const QString shown = displayFileName(name);
        std::error_code error;
        if (std::filesystem::is_directory(toFsPath(path), error)) {
            folders << shown;
            continue;
        }
        if (name.isEmpty() || target.holds(path))
            continue;
        if (progress && !progress(index, count, shown, 0, 0)) {
            result.cancelled = true;
            break;
        }
        if (isArchiveName(name)) {
            const ExtractProgress step = [&](qint64 done, qint64 total) {
                return !progress || progress(index, count, shown, done, total);
            };
            const ExtractResult extracted = extractGameFiles(path, folder, askReplace, step);
            result.added << extracted.extracted;
            result.cancelled = extracted.end == ExtractResult::End::Cancelled;
            if (const QString report = extractionReport(shown, extracted); !report.isEmpty())
                reports << report;
            continue;
        }
        CopyControl control;
        control.progress = [&](qint64 done, qint64 total) {
            return !progress || progress(index, count, shown, done, total);
        };
        const CopyOutcome outcome =
            copyWithQuestion(path, folder.folder(), name, folder.find(name), askReplace, control);
        if (outcome.result == CopyOutcome::Result::Copied) {
            folder.noteCopied(name);
            result.added << name;
            if (outcome.leftBehind)
                leftBehind << outcome.leftBehind;
        } else if (outcome.result == CopyOutcome::Result::Failed) {
            copyFailures << outcome.error;
        } else if (outcome.result == CopyOutcome::Result::Cancelled) {
            result.cancelled = true;
        }
    }
    if (!leftBehind.isEmpty())
        reports.prepend(leftBehindReport(leftBehind));
    if (!copyFailures.isEmpty())
        reports.prepend(failureReport(QStringLiteral("Could not copy"), copyFailures));
    if (!folders.isEmpty())
        reports.prepend(foldersLeftOut(folders));
    result.report = reports.join(QLatin1Char('\n'));
    return result;
}

} // namespace zq2
