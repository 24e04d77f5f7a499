#pragma once

#include "fileops/folderindex.h"
#include "platform/fileerror.h"

#include <QString>

#include <functional>
#include <optional>

namespace zq2 {

// How copyFileFast moves the bytes, and what it does between two pieces of a file. Tests use this to
// change a source in the middle of a copy without depending on timing.
struct CopySteps {
    enum class Method { Fastest, ReadWrite } method = Method::Fastest;
    std::function<void()> afterPiece; // called after each piece written, when set
};

// Copies one whole file by the fastest means the system offers (on Linux copy_file_range, falling
// back to reading and writing). Fails with EEXIST when `destination` exists; a failed copy leaves
// no destination behind. A source whose size or modification time changes during the copy (a
// download still being written, a file cut short) fails with kChangedWhileCopied, naming the source.
// The copy gets the source's permission bits (less the umask) and is always readable and writable
// by its owner, so that a file copied from read-only media can later be replaced or deleted.
// Nothing is flushed to disk.
FileError copyFileFast(const QString& source, const QString& destination, const CopySteps& steps = {});

// Puts a copy of `source` in place as folder/name. When `existingPath` names a file to be replaced,
// the copy is written to a temporary file in `folder` first and then moved into place with one
// rename, so that a failed copy never loses the old file; when that file is spelled in another
// letter case (LEVEL1.Z2L for level1.z2l) it is removed once the new one is in place, so that the end
// state is the source's contents under `name` and no other spelling. Without `existingPath` there is
// nothing to lose and the copy is written under `name` directly; a file of that name that appeared
// meanwhile is kept (EEXIST). A failure names the path the user knows: folder/name, or
// existingPath when only its removal failed.
FileError replaceOrCreate(const QString& source, const QString& folder, const QString& name,
                          const std::optional<QString>& existingPath, const CopySteps& steps = {});

// The length of a file in bytes, or the reason it cannot be read.
struct FileSize {
    qint64 bytes = 0;
    FileError error;
};
FileSize fileSize(const QString& path);

// Asked before a copy replaces a file; true means replace.
using AskReplace = std::function<bool(const QString& name, qint64 oldSize, qint64 newSize)>;

struct CopyOutcome {
    enum class Result { Copied, Declined, Failed } result;
    FileError error;
};

// Copies `source` into folder/name. When `existing` names the file already there, both sizes are
// read first (a size that cannot be read fails the copy) and `askReplace` decides; an empty
// `askReplace` replaces without asking.
CopyOutcome copyWithQuestion(const QString& source, const QString& folder, const QString& name,
                             const std::optional<QString>& existing, const AskReplace& askReplace);

// Copies the cache file `name` into the game folder, asking first when the game folder holds a
// file of that name ignoring letter case. Never shows anything itself.
CopyOutcome copyZQ2File(const QString& cacheDir, const QString& gameDir, const QString& name,
                        const AskReplace& askReplace);

// The same, for a run over many names: the game folder's names are read once into `gameFolder`
// instead of once per file. Use one index for the whole run.
CopyOutcome copyZQ2File(const QString& cacheDir, FolderIndex& gameFolder, const QString& name,
                        const AskReplace& askReplace);

} // namespace zq2
