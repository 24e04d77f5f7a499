#include "fileops/archivereader.h"
#include "platform/filenames.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zq2 {

namespace {

constexpr qint64 kReadBlock = 64 * 1024;

// Opens a plain file for reading; anything else is treated as missing. Returns an errno value.
int openPlainFile(QFile& file, const QString& path) {
#ifdef Q_OS_WIN
    if (!QFileInfo(path).isFile())
        return ENOENT;
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) ? 0 : EACCES;
#else
    // O_NONBLOCK keeps a named pipe posing as an archive from hanging the program.
    const int fd = ::open(encodeFileName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno;
    struct stat info {};
    int err = 0;
    if (::fstat(fd, &info) != 0)
        err = errno;
    else if (!S_ISREG(info.st_mode))
        err = S_ISDIR(info.st_mode) ? EISDIR : ENOENT;
    else if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle))
        err = EIO;
    if (err != 0)
        ::close(fd);
    return err;
#endif
}

} // namespace

ArchiveReader::ArchiveReader()
    : archive_(archive_read_new())
    , buffer_(kReadBlock, Qt::Uninitialized) {
    // Only the formats and compressions that levels come in: fewer readers, fewer ways in for a
    // crafted file.
    archive_read_support_filter_gzip(archive_);
    archive_read_support_filter_bzip2(archive_);
    archive_read_support_filter_xz(archive_);
    archive_read_support_format_zip(archive_);
    archive_read_support_format_7zip(archive_);
    archive_read_support_format_rar(archive_);
    archive_read_support_format_rar5(archive_);
    archive_read_support_format_lha(archive_);
    archive_read_support_format_tar(archive_);
    // Zip archives from DOS and older Windows store names in the DOS code page without saying so;
    // names marked as UTF-8 are still read as UTF-8. Where the converter is missing the names stay
    // as stored, which costs only their accents.
    archive_read_set_format_option(archive_, "zip", "hdrcharset", "CP437");
}

ArchiveReader::~ArchiveReader() {
    archive_read_free(archive_);
}

QString ArchiveReader::open(const QString& path) {
    if (const int err = openPlainFile(file_, path))
        return QString::fromLocal8Bit(std::strerror(err));
    size_ = file_.size();
    archive_read_set_callback_data(archive_, this);
    archive_read_set_read_callback(archive_, &ArchiveReader::read);
    archive_read_set_skip_callback(archive_, &ArchiveReader::skip);
    archive_read_set_seek_callback(archive_, &ArchiveReader::seek);
    if (archive_read_open1(archive_) == ARCHIVE_OK)
        return {};
    // No reader has claimed the file when none recognised it.
    if (archive_format(archive_) == 0)
        return QStringLiteral("it is not an archive of a kind this program reads");
    return damage();
}

QString ArchiveReader::reason() const {
    const char* text = archive_error_string(archive_);
    return text ? QString::fromLocal8Bit(text) : QStringLiteral("unknown error");
}

QString ArchiveReader::damage() const {
    return QStringLiteral("it is damaged (%1)").arg(reason());
}

la_ssize_t ArchiveReader::read(archive* a, void* self, const void** block) {
    auto* me = static_cast<ArchiveReader*>(self);
    const qint64 got = me->file_.read(me->buffer_.data(), kReadBlock);
    if (got < 0) {
        archive_set_error(a, EIO, "%s", qPrintable(me->file_.errorString()));
        return -1;
    }
    me->bytesRead_ += got;
    *block = me->buffer_.constData();
    return static_cast<la_ssize_t>(got);
}

la_int64_t ArchiveReader::skip(archive*, void* self, la_int64_t request) {
    auto* me = static_cast<ArchiveReader*>(self);
    const qint64 from = me->file_.pos();
    const qint64 to = std::min<qint64>(from + request, me->size_);
    if (to <= from || !me->file_.seek(to))
        return 0; // libarchive then reads its way forward instead
    me->bytesSkipped_ += to - from;
    return to - from;
}

la_int64_t ArchiveReader::seek(archive*, void* self, la_int64_t offset, int whence) {
    auto* me = static_cast<ArchiveReader*>(self);
    const qint64 base = whence == SEEK_CUR ? me->file_.pos() : whence == SEEK_END ? me->size_ : 0;
    const qint64 to = base + offset;
    if (to < 0 || !me->file_.seek(to))
        return ARCHIVE_FATAL;
    return to;
}

QString memberPath(archive_entry* entry) {
#ifndef Q_OS_WIN
    if (const char* path = archive_entry_pathname(entry))
        return decodeFileName(path);
#endif
    // Names stored as UTF-16 (7z, rar) that the locale cannot spell are still known as wide text.
    const wchar_t* wide = archive_entry_pathname_w(entry);
    return wide ? QString::fromWCharArray(wide) : QString();
}

} // namespace zq2
