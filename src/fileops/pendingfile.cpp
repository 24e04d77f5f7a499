#include "fileops/pendingfile.h"

#include "platform/nativepath.h"
#include "platform/paths.h"
#include "platform/temporaryname.h"

#include <cerrno>
#include <filesystem>

namespace zq2 {

namespace {

constexpr int kNameAttempts = 8;

} // namespace

PendingFile::PendingFile(const QString& folder, const QString& name, unsigned mode)
    : target_(joinPath(folder, name)) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary_ = joinPath(folder, newTemporaryName());
        output_.emplace(temporary_, mode);
        const int err = output_->openError();
        if (err == 0)
            return;
        output_.reset();
        error_ = FileError::fromErrno(err, target_);
        if (err != EEXIST)
            break;
    }
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
    if (existingPath && *existingPath != target_) {
        // On a file system that ignores case the old spelling may be the new file itself.
        std::error_code error;
        if (!std::filesystem::equivalent(toFsPath(*existingPath), toFsPath(target_), error) && !error) {
            if (const int removed = removePlainFile(*existingPath); removed != 0 && removed != ENOENT)
                leftBehind_ = FileError::fromErrno(removed, *existingPath);
        }
    }
    return FileError::none();
}

} // namespace zq2
