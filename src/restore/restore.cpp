#include "restore/restore.h"

#include "catalogue/folderlisting.h"
#include "fileops/folderindex.h"
#include "fileops/nativepath.h"
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

int failureCode(int err) {
    switch (err) {
    case ENOENT:
    case ENOTDIR:
        return kFolderNotFound;
    case EIO:
    case ENXIO:
    case ENODEV:
#ifdef ENOMEDIUM
    case ENOMEDIUM:
#endif
        return kDriveNotReady;
    default:
        return 1000 + err;
    }
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
                         const AskReplace& askReplace) {
    const QString pattern = restorePattern(choice);
    if (pattern.isEmpty())
        return {RestoreResult::Kind::NothingTicked};
    if (const int err = folderFailure(cdResourceDir))
        return {RestoreResult::Kind::Failed, failureCode(err), FileError::fromErrno(err, cdResourceDir)};
    const QStringList names = listFolder(cdResourceDir, pattern);
    if (names.isEmpty())
        return {RestoreResult::Kind::WrongCd};

    // No game folder known yet (the first Settings dialog was cancelled): never copy into the
    // root of the file system, report the folder as missing.
    if (gameDir.isEmpty())
        return {RestoreResult::Kind::Failed, kFolderNotFound};
    const AskReplace ask = choice.autoOverwrite ? AskReplace() : askReplace;
    FolderIndex gameFolder(gameDir);
    for (const QString& name : names) {
        const std::optional<QString> existing = gameFolder.find(name);
        const CopyOutcome outcome =
            copyWithQuestion(joinPath(cdResourceDir, name), gameDir, name, existing, ask);
        if (outcome.result == CopyOutcome::Result::Failed)
            return {RestoreResult::Kind::Failed, failureCode(outcome.error.code), outcome.error};
        if (outcome.result == CopyOutcome::Result::Copied)
            gameFolder.noteCopied(name);
    }
    return {RestoreResult::Kind::Completed};
}

} // namespace zq2
