#include "restore/restore.h"

#include "catalogue/folderlisting.h"
#include "fileops/fileruns.h"
#include "fileops/folderindex.h"
#include "platform/filenames.h"
#include "platform/nativepath.h"
#include "platform/paths.h"

#include <cerrno>
#include <filesystem>

namespace zq2 {

namespace {

struct Group {
    bool RestoreChoice::*ticked;
    const char* piece;
};

constexpr Group kGroups[] = {
    {&RestoreChoice::levels, "*.z2l;"}, {&RestoreChoice::tilesets, "*.z2t;"},
    {&RestoreChoice::music, "*.z2b;"},  {&RestoreChoice::game, "Zeno2.exe;"},
    {&RestoreChoice::zle, "ZLE.exe;"},  {&RestoreChoice::zleIni, "ZLE.ini;"},
    {&RestoreChoice::video, "*.z2v;"},  {&RestoreChoice::episodes, "*.z2e;"},
    {&RestoreChoice::macros, "*.z2m;"},
};

// Opening the folder tells apart a disc without it, a drive that cannot be read and a folder that
// is there; the listing itself reports neither.
int folderFailure(const QString& folder) {
    std::error_code error;
    std::filesystem::directory_iterator probe(toFsPath(folder), error);
    return error ? errnoOf(error) : 0;
}

} // namespace

QString restorePattern(const RestoreChoice& choice) {
    QString pattern;
    for (const Group& group : kGroups) {
        if (choice.*group.ticked)
            pattern += QLatin1String(group.piece);
    }
    if (pattern.endsWith(QLatin1Char(';')))
        pattern.chop(1);
    return pattern;
}

namespace {

// Whether `path` is the CD folder or lies in it.
bool onCd(const QString& path, const QString& cdResourceDir) {
    return !cdResourceDir.isEmpty() &&
           (path == cdResourceDir || path.startsWith(joinPath(cdResourceDir, QString())));
}

} // namespace

int failureCode(const FileError& error, const QString& cdResourceDir) {
    switch (error.code) {
    case ENOENT:
    case ENOTDIR:
        return kFolderNotFound;
    case EIO:
    case ENXIO:
    case ENODEV:
#ifdef ENOMEDIUM
    case ENOMEDIUM:
#endif
        if (onCd(error.path, cdResourceDir))
            return kDriveNotReady;
        break;
    default:
        break;
    }
    return 1000 + error.code;
}

QString failureMessage(int code, const FileError& error) {
    if (code == kDriveNotReady)
        return QStringLiteral(
            "Your CD-ROM drive is either open, empty, or is not yet up to speed.  Please insert "
            "your Zeno Quillback 2 CD or wait for the drive to stop spinning before trying again.");
    if (code == kFolderNotFound)
        return QStringLiteral("Wrong CD.  Please insert your Zeno Quillback 2 CD and try again.");
    const QString file = error.path.isEmpty() ? QStringLiteral("the files") : displayPath(error.path);
    const QString reason = error ? error.reason() : QStringLiteral("Unknown error");
    return QStringLiteral("Could not restore %1: %2.  Error number %3.").arg(file, reason).arg(code);
}

QString restoreCompleteText() {
    return QStringLiteral("Zeno 2 file restore complete.");
}

RestoreResult runRestore(const QString& cdResourceDir, const QString& gameDir, const RestoreChoice& choice,
                         JobContext& job) {
    const QString pattern = restorePattern(choice);
    if (pattern.isEmpty())
        return {RestoreResult::Kind::NothingTicked};
    if (const int err = folderFailure(cdResourceDir)) {
        const FileError error = FileError::fromErrno(err, cdResourceDir);
        return {RestoreResult::Kind::Failed, failureCode(error, cdResourceDir), error};
    }
    const QStringList names = listFolder(cdResourceDir, pattern);
    if (names.isEmpty())
        return {RestoreResult::Kind::WrongCd};

    // No game folder known yet (the first Settings dialog was cancelled): never copy into the
    // root of the file system, report the folder as missing.
    if (gameDir.isEmpty())
        return {RestoreResult::Kind::Failed, kFolderNotFound};
    FolderIndex gameFolder(gameDir);
    const AskReplace ask = choice.autoOverwrite ? AskReplace() : replaceQuestionThrough(job, gameFolder);
    const CopyControl control = copyControlThrough(job);
    RestoreResult result{RestoreResult::Kind::Completed};
    result.count = int(names.size());
    for (int i = 0; i < result.count; ++i) {
        if (job.cancelled()) {
            result.kind = RestoreResult::Kind::Cancelled;
            return result;
        }
        const QString& name = names[i];
        job.startFile(i, result.count, displayFileName(name));
        const CopyOutcome outcome = copyZQ2File(cdResourceDir, gameFolder, name, ask, control);
        switch (outcome.result) {
        case CopyOutcome::Result::Failed:
            result.kind = RestoreResult::Kind::Failed;
            result.code = failureCode(outcome.error, cdResourceDir);
            result.error = outcome.error;
            return result;
        case CopyOutcome::Result::Cancelled:
            result.kind = RestoreResult::Kind::Cancelled;
            return result;
        case CopyOutcome::Result::Copied:
            ++result.restored;
            break;
        case CopyOutcome::Result::Declined:
            break;
        }
    }
    return result;
}

QString restoreCancelledText(const RestoreResult& result) {
    return cancelledReport(result.restored, result.count, QStringLiteral("restored"));
}

} // namespace zq2
