#pragma once

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
    std::function<bool(int index, int count, const QString& name, qint64 done, qint64 total)>;

struct DropResult {
    QStringList added;      // names put in place, copied or extracted, in the order of the drop
    bool cancelled = false; // the progress callback asked to stop
    QString report;         // one message telling everything that went wrong or was left out; may be empty
};

// Adds files dropped from elsewhere to the folder of `folder`, by the rules of copying a download
// into the game folder: a file there already under any letter case is replaced only when
// `askReplace` says yes, the copy keeps the dropped file's name, and a replaced file survives any
// failure. An archive (see isArchiveName) is not copied: its level, tileset and music files are
// extracted into the folder instead (see extractGameFiles). Folders are left out, and so is every
// file that already lies in that folder, since copying it onto itself could only lose it.
// Never shows anything itself.
DropResult addDroppedFiles(const QStringList& paths, FolderIndex& folder, const AskReplace& askReplace,
                           const DropProgress& progress = {});

} // namespace zq2
