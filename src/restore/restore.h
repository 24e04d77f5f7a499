#pragma once

#include "fileops/filecopy.h"
#include "fileops/job.h"

#include <QString>

namespace zq2 {

// The groups of game files ticked in the Restore dialog, and whether existing files are replaced
// without asking.
struct RestoreChoice {
    bool levels = false;
    bool tilesets = false;
    bool music = false;
    bool game = false;
    bool zle = false;
    bool zleIni = false;
    bool video = false;
    bool episodes = false;
    bool macros = false;
    bool autoOverwrite = false;
};

// The ";"-separated pattern of the ticked groups, in the order levels, tilesets, music, Zeno2.exe,
// ZLE.exe, ZLE.ini, video, episodes, macros ("*.z2l;*.z2t;*.z2b" for the first three). Empty when
// nothing is ticked.
QString restorePattern(const RestoreChoice& choice);

// Failure codes of a restore run, told to the user in its messages.
inline constexpr int kDriveNotReady = 68;
inline constexpr int kFolderNotFound = 76;

// The failure code of a failed step of a run. A missing file or folder is kFolderNotFound, on
// either side (a disc without the resource folder, or a game folder that is not there). A drive
// that cannot be read (no disc, an open tray, a read error) is kDriveNotReady, but only for the CD's
// own files: a fault of the disk that holds the game folder is not the CD's. Every other error is
// its own number above 1000.
int failureCode(const FileError& error, const QString& cdResourceDir);

// The message told for a failed run with the failure code `code`: the design's own texts for a drive
// that cannot be read and a missing folder, otherwise "Could not restore <file>: <reason>.  Error
// number <code>." with the file the failure concerns.
QString failureMessage(int code, const FileError& error = {});

// The message after a run that reached its end.
QString restoreCompleteText();

struct RestoreResult {
    enum class Kind { NothingTicked, WrongCd, Failed, Completed, Cancelled } kind;
    int code = 0;         // the failure code when kind is Failed
    FileError error = {}; // the file and the system's reason behind it, when there is one
    int restored = 0;     // files copied before the run ended
    int count = 0;        // files the run found to restore
};

// Copies the files of `cdResourceDir` that the ticked groups select into `gameDir`, in listing
// order. A file already there (its name compared ignoring case) is replaced only when
// choice.autoOverwrite is set or the replace question, asked through `job`, is answered yes; on no
// it stays as it is and the run goes on. Each copy lands under the name as the CD spells it and
// never loses the old file when it fails. The first failure ends the run; files copied before it
// stay. A folder without any selected file is WrongCd. A cancel stops within the file being copied,
// which is left out whole.
RestoreResult runRestore(const QString& cdResourceDir, const QString& gameDir, const RestoreChoice& choice,
                         JobContext& job);

// "12 of 40 files were restored before you cancelled."
QString restoreCancelledText(const RestoreResult& result);

} // namespace zq2
