#pragma once

#include "platform/fileerror.h"
#include "platform/nativefile.h"

#include <QString>

#include <optional>

namespace zq2 {

// After a file was put in place at `target` replacing `replaced`, a spelling of its name in other
// letters: removes that old spelling, unless the file system ignores case and the two are one file.
// The failure to remove it (naming it), or none; one already gone is no failure.
FileError removeReplacedSpelling(const QString& replaced, const QString& target);

// A new file for folder/name, written under a short hidden name of its own in the same folder (see
// newTemporaryName) and moved into place with one rename only once it is complete and flushed to
// the disk. Until then nobody sees a half-written file under the real name; a crash or a power cut
// leaves the old file or the new one, never a cut-short one; the file it replaces survives every
// failure; and a pending file that is given up (a failure, a "No", a cancel) removes itself.
// Failures name folder/name, the path the user knows.
class PendingFile {
public:
    // Creates the hidden file, readable and writable by everyone the umask lets through
    // (`mode` on POSIX systems). A failure is kept in error().
    PendingFile(const QString& folder, const QString& name, unsigned mode = 0666);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    const FileError& error() const { return error_; }
    const QString& target() const { return target_; }

    // The open file, for copies that move the bytes without passing them through here.
    OutputFile& output() { return *output_; }

    FileError write(const char* data, qint64 size);

    // Flushes the file to the disk and puts it in place as folder/name. With `existingPath` (the
    // file it replaces, perhaps spelt in another letter case) the old file is replaced in one step
    // and another spelling is removed afterwards, so that only `name` remains. Without it, a file
    // that appeared under `name` meanwhile is kept and the result is EEXIST.
    FileError putInPlace(const std::optional<QString>& existingPath);

    // After a successful putInPlace: the old spelling that could not be removed, and why. The new
    // file is in place all the same.
    const FileError& leftBehind() const { return leftBehind_; }

private:
    QString target_;
    QString temporary_;
    std::optional<OutputFile> output_;
    FileError error_;
    FileError leftBehind_;
    bool placed_ = false;
};

} // namespace zq2
