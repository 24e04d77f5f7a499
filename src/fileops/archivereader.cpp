#include "fileops/archivereader.h"

#include "fileops/codermemory.h"
#include "fileops/droprules.h"
#include "platform/filenames.h"
#include "platform/nativefile.h"

#include <QFileInfo>

#include <lzma.h>

#include <cerrno>
#include <cstring>

#ifndef Q_OS_WIN
#include <clocale>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zq2 {

namespace {

constexpr qint64 kReadBlock = 64 * 1024;

const QByteArray kSevenZipSignature("7z\xBC\xAF\x27\x1C", 6);
const QByteArray kXzSignature("\xFD"
                              "7zXZ\0",
                              6);

// Opens a plain file for reading. Anything else is not opened; the result then says what it is.
// Opens a plain file for reading; anything else is refused, in words that say what it is.
QString openPlainFile(QFile& file, const QString& path) {
    InputFile in(path);
    if (in.error()) {
        const QString what = notAFile(path);
        return what.isEmpty() ? in.error().reason() : what;
    }
    return in.handOverTo(file, QIODevice::Unbuffered) ? QString() : file.errorString();
}

} // namespace

// xz unpacked with a bound on the memory its blocks may ask for, which libarchive does not set.
struct ArchiveReader::XzStream {
    lzma_stream stream = LZMA_STREAM_INIT;
    QByteArray input = QByteArray(kReadBlock, Qt::Uninitialized);
    bool inputDone = false;

    ~XzStream() { lzma_end(&stream); }
};

ArchiveReader::ArchiveReader(qint64 memoryLimit)
    : memoryLimit_(memoryLimit)
    , archive_(archive_read_new())
    , buffer_(kReadBlock, Qt::Uninitialized) {
    // Only the formats and compressions that levels come in: fewer readers, fewer ways in for a
    // crafted file. xz is unpacked by this class.
    archive_read_support_filter_gzip(archive_);
    archive_read_support_filter_bzip2(archive_);
    archive_read_support_format_zip(archive_);
    archive_read_support_format_7zip(archive_);
    archive_read_support_format_rar(archive_);
    archive_read_support_format_rar5(archive_);
    archive_read_support_format_lha(archive_);
    archive_read_support_format_tar(archive_);
    // Zip archives from DOS and older Windows store names in the DOS code page without saying so;
    // names marked as UTF-8 are still read as UTF-8.
    archive_read_set_format_option(archive_, "zip", "hdrcharset", "CP437");
}

ArchiveReader::~ArchiveReader() {
    archive_read_free(archive_);
}

QString ArchiveReader::open(const QString& path) {
    if (QString failure = openPlainFile(file_, path); !failure.isEmpty())
        return failure;
    size_ = file_.size();
    head_ = file_.read(32);
    file_.seek(0);
    // Self-extracting archives are programs; libarchive would look for an archive inside them.
    if (head_.startsWith("MZ") || head_.startsWith("\x7F"
                                                   "ELF"))
        return QStringLiteral("it is a program, not an archive");
    if (head_.startsWith(kSevenZipSignature)) {
        refusal_ = sevenZipMemoryRefusal(file_, memoryLimit_);
        if (!refusal_.isEmpty())
            return refusal_;
        file_.seek(0);
    } else if (head_.startsWith(kXzSignature)) {
        xz_ = std::make_unique<XzStream>();
        // The decoder's own tables come on top of the dictionary.
        if (lzma_stream_decoder(&xz_->stream, quint64(memoryLimit_) + (1 << 20), LZMA_CONCATENATED) !=
            LZMA_OK)
            return QStringLiteral("there is not enough memory to unpack it");
    }
    archive_read_set_callback_data(archive_, this);
    archive_read_set_read_callback(archive_, &ArchiveReader::read);
    if (!xz_) {
        archive_read_set_skip_callback(archive_, &ArchiveReader::skip);
        archive_read_set_seek_callback(archive_, &ArchiveReader::seek);
    }
    if (archive_read_open1(archive_) != ARCHIVE_OK) {
        // No reader has claimed the file when none recognised it.
        if (refusal_.isEmpty() && archive_format(archive_) == 0)
            return QStringLiteral("it is not an archive of a kind this program reads");
        return damage();
    }
    return {};
}

QString ArchiveReader::checkFirstMember() {
    const int format = archive_format(archive_) & ARCHIVE_FORMAT_BASE_MASK;
    // Compression around anything but tar would hide the archive's own headers from the checks.
    if ((xz_ || archive_filter_count(archive_) > 1) && format != ARCHIVE_FORMAT_TAR)
        return QStringLiteral("it is not an archive of a kind this program reads");
    if (format != ARCHIVE_FORMAT_ZIP)
        return {};
    const qint64 position = file_.pos();
    refusal_ = zipMemoryRefusal(file_, memoryLimit_);
    file_.seek(position);
    return refusal_;
}

QString ArchiveReader::reason() const {
    // Some of libarchive's words quote the archive, which may hold anything: shown as a name is.
    const char* text = archive_error_string(archive_);
    return text ? messageName(decodeFileName(text)) : QStringLiteral("unknown error");
}

QString ArchiveReader::damage() const {
    if (!refusal_.isEmpty())
        return refusal_;
    if (const QString split = splitArchiveReason(head_); !split.isEmpty())
        return split;
    return QStringLiteral("it is damaged (%1)").arg(reason());
}

la_ssize_t ArchiveReader::read(archive* a, void* self, const void** block) {
    auto* me = static_cast<ArchiveReader*>(self);
    if (me->xz_)
        return me->readXz(a, block);
    const qint64 got = me->file_.read(me->buffer_.data(), kReadBlock);
    if (got < 0) {
        archive_set_error(a, EIO, "%s", qPrintable(me->file_.errorString()));
        return -1;
    }
    me->bytesRead_ += got;
    *block = me->buffer_.constData();
    return static_cast<la_ssize_t>(got);
}

la_ssize_t ArchiveReader::readXz(archive* a, const void** block) {
    lzma_stream& stream = xz_->stream;
    stream.next_out = reinterpret_cast<uint8_t*>(buffer_.data());
    stream.avail_out = size_t(buffer_.size());
    // Each round takes input or gives output, or the decoder reports that it cannot go on.
    while (stream.avail_out == size_t(buffer_.size())) {
        if (stream.avail_in == 0 && !xz_->inputDone) {
            const qint64 got = file_.read(xz_->input.data(), kReadBlock);
            if (got < 0) {
                archive_set_error(a, EIO, "%s", qPrintable(file_.errorString()));
                return -1;
            }
            bytesRead_ += got;
            xz_->inputDone = got == 0;
            stream.next_in = reinterpret_cast<const uint8_t*>(xz_->input.constData());
            stream.avail_in = size_t(got);
        }
        const lzma_ret status = lzma_code(&stream, xz_->inputDone ? LZMA_FINISH : LZMA_RUN);
        if (status == LZMA_STREAM_END)
            break;
        if (status == LZMA_MEMLIMIT_ERROR) {
            refusal_ = memoryRefusalText(memoryLimit_);
            archive_set_error(a, ENOMEM, "%s", qPrintable(refusal_));
            return -1;
        }
        if (status != LZMA_OK) {
            archive_set_error(a, EIO, "%s", status == LZMA_BUF_ERROR ? "xz data cut short" : "bad xz data");
            return -1;
        }
    }
    *block = buffer_.constData();
    return static_cast<la_ssize_t>(size_t(buffer_.size()) - stream.avail_out);
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
    const wchar_t* wide = archive_entry_pathname_w(entry);
    return wide ? QString::fromWCharArray(wide) : QString();
}

QString splitArchiveReason(const QByteArray& head) {
    const QString split =
        QStringLiteral("it is one part of an archive split into several, which this program "
                       "does not join");
    // RAR 1.5 to 4: the main header follows the 7-byte marker; bit 0 of its flags marks a volume.
    if (head.startsWith(QByteArray("Rar!\x1A\x07\x00", 7)) && head.size() >= 12 && quint8(head[9]) == 0x73)
        return (quint8(head[10]) & 0x01) ? split : QString();
    // RAR 5: after the 8-byte marker, the main header: CRC, size, type 1, flags, [extra size],
    // archive flags, of which bit 0 marks a volume. All but the CRC are variable-length numbers.
    if (head.startsWith(QByteArray("Rar!\x1A\x07\x01\x00", 8))) {
        qsizetype at = 12;
        const auto number = [&]() -> quint64 {
            quint64 value = 0;
            for (int shift = 0; at < head.size() && shift < 63; shift += 7) {
                const quint8 byte = quint8(head[at++]);
                value |= quint64(byte & 0x7F) << shift;
                if (!(byte & 0x80))
                    return value;
            }
            return 0;
        };
        number(); // the header's size
        if (number() != 1)
            return {};
        const quint64 flags = number();
        if (flags & 0x01)
            number(); // the size of the extra area
        return (number() & 0x01) ? split : QString();
    }
    return {};
}

} // namespace zq2
