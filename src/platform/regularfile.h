#pragma once

#include <QFile>
#include <QString>

#include <memory>

namespace zq2 {

// Opens the file at `path` for reading only when it is a regular file, after following links.
// Anything else (a folder, a device, a named pipe, a socket) counts as missing and nothing is
// returned: a skin or settings file naming /dev/ptmx or a pipe must never block the program or wake
// a device. The check is made on the opened file itself, so a file swapped between a look and the
// opening cannot slip through.
std::unique_ptr<QFile> openRegularFile(const QString& path);

} // namespace zq2
