#pragma once

#include <QString>
#include <QStringList>

namespace zq2 {

// The bare names of the plain files in `folder` that match `patternText` (see NamePattern), in name
// order ignoring letter case, names that differ only in case ordered by their exact spelling. Each
// name is decoded losslessly (decodeFileName), so it leads back to its own file.
// Folders are never listed, nor hidden files; a link counts as what it points to and a link to
// nothing is left out. A folder that is missing or cannot be read gives an empty list.
QStringList listFolder(const QString& folder, const QString& patternText);

// The order listFolder uses: negative, zero or positive like QString::compare.
int compareListedNames(QStringView a, QStringView b);

struct FolderCounts {
    qint64 levels = 0;
    qint64 tilesets = 0;
    qint64 music = 0;
    qint64 cacheFiles = 0;
};

// The number of levels ("*.z2l"), tilesets ("*.z2t") and music files ("*.z2b") in `gameDir` and of
// all plain files in `cacheDir`, counted by the same rules as listFolder, each folder read once.
// An empty or missing folder counts 0.
FolderCounts countFolders(const QString& gameDir, const QString& cacheDir);

} // namespace zq2
