#pragma once

#include "platform/utf8names.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <memory>

namespace zq2 {

// An archive file read with libarchive in the formats that levels are passed around in: zip, 7z,
// rar, lha, and tar plain or compressed with gzip, bzip2 or xz. Only a plain file is opened (a
// device or pipe is treated as missing), and the bytes taken from it are counted, for progress and
// for telling how far the archive unpacks beyond its size.
//
// The memory that unpacking takes is bounded by `memoryLimit`: an archive whose compression asks
// for a larger dictionary or model (7z and zip with LZMA or PPMd, xz) is refused before any of it is
// unpacked. xz is unpacked here rather than by libarchive, so that the limit holds for every block.
class ArchiveReader {
public:
    explicit ArchiveReader(qint64 memoryLimit = qint64(64) << 20);
    ~ArchiveReader();
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    // Opens `path` and reads as far as the first member. Returns why that failed, in words, or an
    // empty string.
    QString open(const QString& path);

    // To be called once the first member's header is read, before its data: why the archive is
    // refused, or an empty string. Only tar is taken from inside a compressed file, and a zip
    // archive's members are checked for the memory they need (see zipMemoryRefusal).
    QString checkFirstMember();

    archive* handle() const { return archive_; }
    qint64 size() const { return size_; }
    qint64 bytesRead() const { return bytesRead_; }
    // How far through the file the reading has come, for progress.
    qint64 bytesDone() const { return std::min(bytesRead_ + bytesSkipped_, size_); }

    // libarchive's own words for its last failure.
    QString reason() const;
    // Why the archive cannot be read on, in words: the memory it asked for, that it is one part of
    // several (see splitArchiveReason), or "it is damaged (<libarchive's words>)".
    QString damage() const;

private:
    struct XzStream;

    static la_ssize_t read(archive* a, void* self, const void** block);
    static la_int64_t skip(archive* a, void* self, la_int64_t request);
    static la_int64_t seek(archive* a, void* self, la_int64_t offset, int whence);
    la_ssize_t readXz(archive* a, const void** block);

    Utf8NamesOnThisThread names_; // before the archive, whose conversions are set up once
    qint64 memoryLimit_;
    archive* archive_;
    QFile file_;
    QByteArray buffer_;
    std::unique_ptr<XzStream> xz_; // when the file is xz-compressed
    QString refusal_;              // set when unpacking would take more memory than allowed
    QByteArray head_;
    qint64 size_ = 0;
    qint64 bytesRead_ = 0;
    qint64 bytesSkipped_ = 0; // passed over by seeking
};

// A member's path as the archive has it, decoded as decodeFileName does (see Utf8NamesOnThisThread);
// empty when it cannot be told.
QString memberPath(archive_entry* entry);

// Why an archive that breaks off cannot be read to its end, when its first bytes (`head`) tell: a rar
// archive that is one part of several, of which the members that go on in the next part cannot be
// unpacked from this one alone. Empty when they do not tell.
QString splitArchiveReason(const QByteArray& head);

} // namespace zq2
