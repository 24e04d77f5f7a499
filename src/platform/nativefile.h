#pragma once

#include "platform/fileerror.h"

#include <QFile>
#include <QString>

#include <memory>

namespace zq2 {

// The few file-system calls that copying needs, each naming files by their exact bytes (see
// encodeFileName) and reporting failures as error numbers. Everything that differs between systems
// in reading, writing and renaming files lives here; the rules of when to replace a file and what to
// ask stay with the callers.

// A file opened for reading, and only when it is a plain file after links are followed: a folder
// fails with EISDIR, and a device, a named pipe or a socket with kNotPlainFile, without being
// opened at all where the system can tell beforehand (opening some devices has effects of its own).
// The opened file itself is checked again, so a file swapped in between cannot slip through.
//
// The descriptor belongs to this object until intoQFile() hands it over; from then on the QFile
// closes it, and this object no longer does.
class InputFile {
public:
    explicit InputFile(const QString& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    const FileError& error() const { return error_; }
    const QString& path() const { return path_; }
    // The length when the file was opened.
    qint64 size() const { return size_; }
    // The permission bits a copy should get: the file's own, and always readable and writable by
    // its owner, so that a copy taken from read-only media can later be replaced or deleted.
    unsigned copyMode() const { return copyMode_; }

    // Reads up to `size` bytes. Returns how many, 0 at the end of the file, or -1 with the error
    // number in `err`. Interrupted calls are repeated.
    qint64 read(char* buffer, qint64 size, int& err);

    // kChangedWhileCopied when the file's length or modification time is no longer what it was
    // when it was opened (a download still being written, a file cut short), else no error.
    FileError checkUnchanged() const;

    // Hands the open file over to a QFile, which closes it from then on, even when it fails to
    // take it. Null after a failure.
    std::unique_ptr<QFile> intoQFile();
    // The same into `file`, opened read-only with `extraMode` (such as QIODevice::Unbuffered).
    // False when there is no open file to hand over or `file` would not take it.
    bool handOverTo(QFile& file, QIODevice::OpenMode extraMode = {});

#ifndef Q_OS_WIN
    int handle() const {
        return fd_;
    }
#endif

private:
    QString path_;
    FileError error_;
    qint64 size_ = 0;
    unsigned copyMode_ = 0644;
#ifdef Q_OS_WIN
    std::unique_ptr<QFile> file_;
    qint64 modified_ = 0;
#else
    int fd_ = -1;
    qint64 modifiedNs_ = 0;
#endif
};

// A new file, made only when nothing of its name exists (O_EXCL), for writing.
class OutputFile {
public:
    OutputFile(const QString& path, unsigned mode);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // The error number of a failed creation, 0 when the file is open.
    int openError() const { return openError_; }

    // Each returns 0 or the error number of the failure.
    int write(const char* data, qint64 size);
    // Flushes the data to the disk, so that a crash after a rename cannot leave the new name
    // pointing at a file whose contents never reached it.
    int syncData();
    int close();

#ifndef Q_OS_WIN
    int handle() const {
        return fd_;
    }
#endif

private:
#ifdef Q_OS_WIN
    QFile file_;
#else
    int fd_ = -1;
#endif
    int openError_ = 0;
};

// Moves the bytes of one copy from where `in` stands to where `out` stands, a piece at a time, by
// the fastest means the system offers between the two files: on Linux copy_file_range, which may
// share the data instead of copying it; elsewhere, or once the system refuses, by reading and
// writing through a buffer of its own from where the copy stopped.
class ByteMover {
public:
    ByteMover(InputFile& in, OutputFile& out, bool kernelCopy = true)
        : in_(in)
        , out_(out)
        , kernelCopy_(kernelCopy) {}

    // Copies up to `most` bytes. Returns how many, 0 at the end of the input, or -1 with the error
    // number in `err` and `readSide` telling whether it concerns the input rather than the output.
    qint64 next(qint64 most, int& err, bool& readSide);

private:
    qint64 byReadWrite(qint64 most, int& err, bool& readSide);

    InputFile& in_;
    OutputFile& out_;
    bool kernelCopy_;
    QByteArray buffer_;
};

// Renames `from` to `to`, replacing a file that is there. 0 or the error number.
int renameReplacing(const QString& from, const QString& to);
// Renames `from` to `to` only when nothing is there; EEXIST otherwise. Where the system cannot do
// that in one step, a file that appears between the test and the rename is replaced, which only a
// program racing this one could cause. 0 or the error number.
int renameKeepingOthers(const QString& from, const QString& to);

// Removes a file (never a folder). 0 or the error number.
int removePlainFile(const QString& path);

// Whether anything at all, even a link to nothing, exists at `path`.
bool pathExists(const QString& path);

} // namespace zq2
