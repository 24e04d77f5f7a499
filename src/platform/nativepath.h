#pragma once

#include "platform/filenames.h"

#include <QString>

#include <filesystem>
#include <system_error>

namespace zq2 {

// A path as the standard library's file-system functions take it: the exact bytes the file system
// gave on POSIX systems (see encodeFileName), UTF-16 on Windows.
inline std::filesystem::path toFsPath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(encodeFileName(path).toStdString());
#endif
}

// The errno-style number of a standard library error, so that every failure of this program is
// told with the same kind of number whichever layer it came from.
inline int errnoOf(const std::error_code& error) {
    const std::error_condition condition = error.default_error_condition();
    return condition.value() != 0 ? condition.value() : error.value();
}

} // namespace zq2
