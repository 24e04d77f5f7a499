#pragma once

#include "fileops/extractarchive.h"
#include "fileops/filecopy.h"
#include "fileops/folderindex.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace zq2 {

// How far a drop has come: file `index` (from 0) of `count`, named `name` as the user sees it, and
// for an archive `done` of its `total` bytes read (0 of 0 for a plain file). Returning false
// cancels the drop: what is in place stays, nothing half-written does.
using DropProgress =
    std::function<bool(int index, int count, const QString& name, qint64 done, qint64 total, qint64 members)>;

// The answers to a drop's replace question. A drop can hold many files the folder has already, so
// one answer can stand for all the questions still to come, and Cancel ends the drop there.
enum class ReplaceAnswer { Yes, YesToAll, No, NoToAll, Cancel };
using AskDropReplace = std::function<ReplaceAnswer(const QString& name, qint64 oldSize, qint64 newSize)>;

struct DropOptions {
    ExtractLimits limits;  // for all the archives of the drop together
    qint64 levelLimit = 0; // the most levels the folder should hold, 0 for no limit
};

struct DropResult {
    QStringList added;      // names put in place, copied or extracted, in the order of the drop
    bool cancelled = false; // the progress callback or the replace question asked to stop
    QString report;         // one message telling everything that went wrong or was left out; may be empty
};

// Adds files dropped from elsewhere to the folder of `folder`, by the rules of copying a download
// into the game folder: a file there already under any letter case is replaced only when
// `askReplace` says yes, the copy keeps the dropped file's name, and a replaced file survives any
// failure. An archive (see isArchiveName) is not copied: its level, tileset and music files are
// extracted into the folder instead (see extractGameFiles), within limits that hold for the whole
// drop; a limit reached ends the drop, and the report says what was kept. Folders are left out, and
// so is every file that already lies in that folder, since copying it onto itself could only lose
// it. A file is not copied under a name that a folder shared with Windows cannot hold, nor under a
// name beginning with a dot, which would hide it. Every name in the report is on one line (see
// messageName). When `options.levelLimit` is set and the drop added levels, the report tells when
// the folder now holds more levels than that. Never shows anything itself.
DropResult addDroppedFiles(const QStringList& paths, FolderIndex& folder, const AskDropReplace& askReplace,
                           const DropProgress& progress = {}, const DropOptions& options = {});

} // namespace zq2
