#pragma once

#include <QFile>
#include <QString>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>

namespace zq2 {

// An archive file read with libarchive in the formats that levels are passed around in: zip, 7z,
// rar, lha, and tar plain or compressed with gzip, bzip2 or xz. Only a plain file is opened (a
// device or pipe is treated as missing), and the bytes taken from it are counted, for progress and
// for telling how far the archive unpacks beyond its size.
class ArchiveReader {
public:
    ArchiveReader();
    ~ArchiveReader();
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    // Opens `path` and reads as far as the first member. Returns why that failed, in words, or an
    // empty string.
    QString open(const QString& path);

    archive* handle() const { return archive_; }
    qint64 size() const { return size_; }
    qint64 bytesRead() const { return bytesRead_; }
    // How far through the file the reading has come, for progress.
    qint64 bytesDone() const { return std::min(bytesRead_ + bytesSkipped_, size_); }

    // libarchive's own words for its last failure.
    QString reason() const;
    // "it is damaged (<libarchive's words>)", for a failure that leaves the archive unreadable.
    QString damage() const;

private:
    static la_ssize_t read(archive* a, void* self, const void** block);
    static la_int64_t skip(archive* a, void* self, la_int64_t request);
    static la_int64_t seek(archive* a, void* self, la_int64_t offset, int whence);

    archive* archive_;
    QFile file_;
    QByteArray buffer_;
    qint64 size_ = 0;
    qint64 bytesRead_ = 0;
    qint64 bytesSkipped_ = 0; // passed over by seeking
};

// A member's path as the archive has it, in the process's encoding (UTF-8 under Qt on POSIX); empty
// when it cannot be told.
QString memberPath(archive_entry* entry);

} // namespace zq2
