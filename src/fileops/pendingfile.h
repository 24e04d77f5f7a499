#pragma once

#include "platform/fileerror.h"

#include <QString>

#include <optional>

#ifdef Q_OS_WIN
#include <QFile>
#endif

namespace zq2 {

#ifndef Q_OS_WIN
// Writes all of `data` to the open file `fd`, going on after interruptions and short writes.
// Returns 0 or the errno value of the failure.
int writeAll(int fd, const char* data, qint64 size);
#endif

// A new file for folder/name, written under a short hidden name of its own in the same folder and
// moved into place with one rename only once it is complete. Until then nobody sees a half-written
// file under the real name, the file it replaces survives every failure, and a pending file that is
// given up (a failure, a "No", a cancel) removes itself. Failures name folder/name, the path the
// user knows.
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

#ifndef Q_OS_WIN
    // The open file, for copies that the kernel makes without passing the bytes through here.
    int handle() const {
        return fd_;
    }
#endif

    FileError write(const char* data, qint64 size);

    // Puts the file in place as folder/name. With `existingPath` (the file it replaces, perhaps
    // spelt in another letter case) the old file is replaced in one step and another spelling is
    // removed afterwards, so that only `name` remains. Without it, a file that appeared under
    // `name` meanwhile is kept and the result is EEXIST.
    FileError putInPlace(const std::optional<QString>& existingPath);

private:
    FileError closeFile();

    QString target_;
    QString temporary_;
    FileError error_;
    bool placed_ = false;
#ifdef Q_OS_WIN
    QFile file_;
#else
    int fd_ = -1;
#endif
};

} // namespace zq2
