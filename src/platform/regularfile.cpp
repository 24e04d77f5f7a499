#include "platform/regularfile.h"

#include "platform/filenames.h"

#include <QFileInfo>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zq2 {

#ifdef Q_OS_WIN

// Devices and pipes are not reached through plain paths here.
std::unique_ptr<QFile> openRegularFile(const QString& path) {
    if (!QFileInfo(path).isFile())
        return nullptr;
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly))
        return nullptr;
    return file;
}

#else

std::unique_ptr<QFile> openRegularFile(const QString& path) {
    const QByteArray native = encodeFileName(path);
    // Opening some devices has effects of its own (a new terminal for /dev/ptmx, a rewind for a tape),
    // so what is plainly no regular file is not opened at all.
    struct stat info {};
    if (native.isEmpty() || ::stat(native.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return nullptr;
    // What was looked at may have been replaced since: the opened file is checked again. O_NONBLOCK
    // keeps the opening of a named pipe without a writer from waiting for one; O_NOCTTY keeps a
    // terminal from becoming ours.
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return nullptr;
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || flags == -1 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
        ::close(fd);
        return nullptr;
    }
    // From here on the descriptor belongs to the QFile, which closes it even when opening fails.
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return nullptr;
    return file;
}

#endif

} // namespace zq2
