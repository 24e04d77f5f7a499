#pragma once

#include <QString>
#include <QStringList>

#include <filesystem>
#include <optional>
#include <utility>

namespace zq2 {

// One reading of a folder: the bare names of its plain files, all that a file list or a count of
// that folder can show, in the order the lists use (name order ignoring letter case, names that
// differ only in case ordered by their exact spelling). Each name is decoded losslessly
// (decodeFileName), so it leads back to its own file. Folders are never taken, nor hidden files; a
// link counts as what it points to and a link to nothing is left out. A folder that is missing or
// cannot be read holds nothing.
struct FolderContents {
    QString folder;
    QStringList names;
    // Temporary files of this program's own (see isTemporaryName) that a crash left behind.
    QStringList leftovers;
    // Of the names, how many are levels ("*.z2l"), tilesets ("*.z2t") and music ("*.z2b"): told
    // while the folder is read, from the names as the file system gives them.
    qint64 levels = 0;
    qint64 tilesets = 0;
    qint64 music = 0;
    // The folder's modification time from just before it was read, so that a change made while it
    // was read shows as a changed time afterwards rather than being missed. None when the folder
    // could not be looked at.
    std::optional<std::filesystem::file_time_type> stamp;
};

// The folder's modification time, or none when it cannot be looked at: a change of it tells that
// files came or went since a reading.
std::optional<std::filesystem::file_time_type> folderStamp(const QString& folder);

// Reads `folder` once: one pass over its entries, asking the file system about an entry only where
// the entry itself does not tell its kind (links, and file systems that never say).
FolderContents readFolder(const QString& folder);

// Reads two folders side by side, the second on a thread of its own: a reading is mostly the
// system's work on that one folder, so a window showing both waits for the longer reading rather
// than for the two together.
std::pair<FolderContents, FolderContents> readFolders(const QString& first, const QString& second);

// The names of `contents` that match `patternText` (see NamePattern), in the same order.
QStringList namesMatching(const FolderContents& contents, const QString& patternText);

// The names of the plain files in `folder` that match `patternText`, as readFolder and namesMatching
// would give them, in one pass that keeps only the matching names.
QStringList listFolder(const QString& folder, const QString& patternText);

// The order the lists use: negative, zero or positive like QString::compare.
int compareListedNames(QStringView a, QStringView b);

struct FolderCounts {
    qint64 levels = 0;
    qint64 tilesets = 0;
    qint64 music = 0;
    qint64 cacheFiles = 0;
};

// The number of levels ("*.z2l"), tilesets ("*.z2t") and music files ("*.z2b") of the game folder
// and of all the files of the cache folder, by the same rules as the lists.
FolderCounts countContents(const FolderContents& game, const FolderContents& cache);

} // namespace zq2
