#pragma once

#include <QString>

namespace zq2 {

// A failure the system has no number for: a file changed (its size or its modification time) while
// it was being copied, so the copy cannot be trusted. Far above the system's own numbers.
inline constexpr int kChangedWhileCopied = 10001;
// Something that is not a plain file (a device, a named pipe, a socket) stands where a file was to
// be read; it is treated as no file at all, and never opened.
inline constexpr int kNotPlainFile = 10002;
// A Windows program that the system could not run ("Exec format error") where Wine, which would
// run it, was not found.
inline constexpr int kWindowsProgramWithoutWine = 10003;

// The outcome of one file-system operation: no error, or the system's error number with the path
// it concerns. Errors are values handed back to the window that started the work, which decides how
// to tell the user; nothing below the windows shows a dialog.
struct FileError {
    int code = 0; // errno-style number, or one of the k... numbers above; 0 means success
    QString path; // the file the failure concerns

    bool ok() const { return code == 0; }
    explicit operator bool() const { return code != 0; }

    // The operating system's reason in plain words, e.g. "Permission denied".
    QString reason() const;
    // The reason a file could not be written at `path`: as reason(), except that a folder standing
    // where the file belongs is called that, not "Is a directory".
    QString writeReason() const;

    static FileError fromErrno(int err, const QString& path) { return FileError{err, path}; }
    static FileError none() { return {}; }
};

} // namespace zq2
