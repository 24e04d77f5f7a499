#pragma once

#include "fileops/dropfiles.h"

#include "fileops/filecopy.h"
#include "platform/fileerror.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace zq2 {

// The level shelf: a folder `shelf` inside the game folder, beside `cache`, where levels are kept
// out of the game without being lost. The game reads only its own folder, so what lies on the shelf
// does not count against its level limit. Shelved files keep their names and their bytes.

// The shelf folder of a game folder; empty while the game folder is not known.
QString shelfDirOf(const QString& gameDir);

// Whether the shelf folder can be used: no error when it is a folder (or a link to one) or is not
// there yet, ENOTDIR naming it when something else has its name.
FileError checkShelfFolder(const QString& gameDir);

// Makes the shelf folder when it is not there yet. Something else than a folder under that name (a
// file, a link to nothing) fails with ENOTDIR naming the shelf; a folder that cannot be made (a
// game folder on a read-only disk) fails with the system's reason. A link to a folder elsewhere,
// even on another disk, is a shelf like any other.
FileError makeShelfFolder(const QString& gameDir);

// What to tell the user when makeShelfFolder failed.
QString shelfFolderProblem(const FileError& error);

// How far a move has come, in the form of a drop's progress (see DropProgress): file `index` of
// `count`, and for a file that has to be copied `done` of its `total` bytes. Returning false stops
// the move after the file in hand; a file half copied is given up and stays where it was.
using MoveProgress = DropProgress;

struct MoveResult {
    QStringList moved;       // names now in the target folder, in the order asked
    QList<FileError> failed; // what could not be moved, each naming the file and the reason
    // Spellings in other letters that moved files replaced but that could not be removed, each
    // naming the old file and the reason; those files were moved all the same.
    QList<FileError> leftBehind;
    bool cancelled = false; // the progress callback asked to stop
};

// Moves the files `names` (bare names) from `fromFolder` into `toFolder`. A file of that name already
// in `toFolder`, in any letter case, is replaced only when `askReplace` says yes (an empty one
// replaces without asking); the moved file keeps its own spelling and no other spelling is left.
// Within one file system each move is a single rename: instant, and never half done. Where the
// folders lie on different file systems (a shelf that is a link to another disk), the file is
// copied into a hidden temporary file beside its target, put in place by a rename once it is
// complete, and only then removed from `fromFolder`, keeping its modification time: a failure or a
// cancel leaves it where it was, and there are never two halves. Never shows anything itself.
MoveResult moveFiles(const QString& fromFolder, const QString& toFolder, const QStringList& names,
                     const AskReplace& askReplace, const MoveProgress& progress = {});

// What a move has to tell: "<failedVerb> <file>: <reason>." for what could not be moved (see
// failureReport), then a line for each old spelling that stayed (see leftBehindReport); empty when
// all went well.
QString moveReport(const MoveResult& result, const QString& failedVerb);

// Files dropped onto the shelf, parted by where they lie: those of `folder` itself (by bare name),
// which the shelf takes by moving them, and all others (by path), which it copies as any drop.
// Compared as folders, so that links and ".." cannot hide that a file lies in `folder`.
struct DropParts {
    QStringList namesInFolder;
    QStringList otherPaths;
};
DropParts partDrop(const QStringList& paths, const QString& folder);

// "Levels in the game: 240 of 255. Room for 15 more." or, past the limit, "Levels in the game: 300
// of 255. 45 too many."; overLimit tells that it is shown in red.
struct RoomLine {
    QString text;
    bool overLimit = false;
};
RoomLine roomLine(qint64 levelsInGame);

} // namespace zq2
