#include "fileops/pendingfile.h"

#include "platform/nativepath.h"
#include "platform/paths.h"
#include "platform/temporaryname.h"

#include <cerrno>
#include <filesystem>

namespace zq2 {

FileError removeReplacedSpelling(const QString& replaced, const QString& target) {
    if (replaced == target)
        return FileError::none();
    // On a file system that ignores case the old spelling may be the new file itself.
    std::error_code error;
    if (std::filesystem::equivalent(toFsPath(replaced), toFsPath(target), error) || error)
        return FileError::none();
    if (const int removed = removePlainFile(replaced); removed != 0 && removed != ENOENT)
        return FileError::fromErrno(removed, replaced);
    return FileError::none();
}

PendingFile::PendingFile(const QString& folder, const QString& name, unsigned mode)
    : target_(joinPath(folder, name)) {
    // A name already taken is tried again under another; only the last failure is the file's.
    int err = 0;
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        temporary_ = joinPath(folder, newTemporaryName());
        output_.emplace(temporary_, mode);
        err = output_->openError();
        if (err == 0)
            return;
        output_.reset();
        if (err != EEXIST)
            break;
    }
    error_ = FileError::fromErrno(err, target_);
    temporary_.clear();
}

PendingFile::~PendingFile() {
    output_.reset();
    if (!placed_ && !temporary_.isEmpty())
        removePlainFile(temporary_);
}

FileError PendingFile::write(const char* data, qint64 size) {
    if (error_)
        return error_;
    if (const int err = output_->write(data, size))
        return FileError::fromErrno(err, target_);
    return FileError::none();
}

FileError PendingFile::putInPlace(const std::optional<QString>& existingPath) {
    if (error_)
        return error_;
    int err = output_->syncData();
    if (const int closed = output_->close(); err == 0)
        err = closed;
    if (err != 0)
        return FileError::fromErrno(err, target_);
    err = existingPath ? renameReplacing(temporary_, target_) : renameKeepingOthers(temporary_, target_);
    if (err != 0)
        return FileError::fromErrno(err, target_);
    placed_ = true;
    if (existingPath)
        leftBehind_ = removeReplacedSpelling(*existingPath, target_);
    return FileError::none();
}

} // namespace zq2
