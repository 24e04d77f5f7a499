#pragma once

#include "fileops/folderindex.h"
#include "platform/fileerror.h"

#include <QString>

#include <functional>
#include <optional>

namespace zq2 {

// Told after each piece of a file is written, with the bytes written so far and the file's length;
// returning false stops the copy at once.
using CopyProgress = std::function<bool(qint64 done, qint64 total)>;

// How a copy moves its bytes and whom it tells. Pieces are sized so that each takes a few hundredths
// of a second, whatever the speed of the disks, so that a stop is heard promptly inside a big file
// without slowing a fast copy down with many small steps.
struct CopyControl {
    CopyProgress progress;  // when set
    bool kernelCopy = true; // false: always read and write through the program's own buffer
};

struct CopyOutcome {
    enum class Result { Copied, Declined, Failed, Cancelled } result = Result::Copied;
    FileError error;      // why it failed
    FileError leftBehind; // Copied, but the replaced file's other spelling could not be removed
};

// Puts a copy of `source` in place as folder/name: written to a temporary file in `folder`, flushed
// to the disk, and then moved into place with one rename, so that a failure, a stop or a crash never
// leaves a cut-short file nor loses the old one. When `existingPath` names a file to be replaced that
// is spelled in another letter case (LEVEL1.Z2L for level1.z2l), it is removed once the new one is
// in place, so that the end state is the source's contents under `name` and no other spelling.
// Without `existingPath` a file of that name that appeared meanwhile is kept (EEXIST).
//
// Only a plain file is copied. A source whose size or modification time changes during the copy (a
// download still being written, a file cut short) fails with kChangedWhileCopied. The copy gets the
// source's permission bits and is always readable and writable by its owner. A failure names the
// path the user knows: the source for a read failure, folder/name for a write failure.
CopyOutcome replaceOrCreate(const QString& source, const QString& folder, const QString& name,
                            const std::optional<QString>& existingPath, const CopyControl& control = {});

// The length of a file in bytes, or the reason it cannot be read.
struct FileSize {
    qint64 bytes = 0;
    FileError error;
};
FileSize fileSize(const QString& path);

// Asked before a copy replaces a file; true means replace.
using AskReplace = std::function<bool(const QString& name, qint64 oldSize, qint64 newSize)>;

// Copies `source` into folder/name. When `existing` names the file already there, both sizes are
// read first (a size that cannot be read fails the copy) and `askReplace` decides; an empty
// `askReplace` replaces without asking.
CopyOutcome copyWithQuestion(const QString& source, const QString& folder, const QString& name,
                             const std::optional<QString>& existing, const AskReplace& askReplace,
                             const CopyControl& control = {});

// Copies the file `name` of `sourceDir` (the cache, or the CD's resources) into the game folder of
// `gameFolder`, asking first when the game folder holds a file of that name ignoring letter case.
// Never shows anything itself.
CopyOutcome copyZQ2File(const QString& sourceDir, FolderIndex& gameFolder, const QString& name,
                        const AskReplace& askReplace, const CopyControl& control = {});

} // namespace zq2
