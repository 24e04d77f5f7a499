#include "fileops/codermemory.h"

#include <QByteArrayView>
#include <QList>

#include <lzma.h>

#include <cstdlib>
#include <optional>

namespace zq2 {

namespace {

quint32 le16(const char* p) {
    return quint32(quint8(p[0])) | quint32(quint8(p[1])) << 8;
}

quint32 le32(const char* p) {
    return le16(p) | le16(p + 2) << 16;
}

quint64 le64(const char* p) {
    return quint64(le32(p)) | quint64(le32(p + 4)) << 32;
}

// Reads the structures of a 7z header; any read past the end or any value out of range makes the
// whole reading fail.
class Cursor {
public:
    explicit Cursor(QByteArrayView bytes)
        : bytes_(bytes) {}

    bool ok() const { return ok_; }
    bool fail() { return ok_ = false; }
    qsizetype left() const { return bytes_.size() - pos_; }

    quint8 byte() {
        if (!ok_ || pos_ >= bytes_.size()) {
            ok_ = false;
            return 0;
        }
        return quint8(bytes_[pos_++]);
    }

    // The variable-length numbers of 7z: the leading one bits of the first byte tell how many
    // bytes follow, lowest first; the rest of the first byte is the highest part.
    quint64 number() {
        const quint8 first = byte();
        quint64 value = 0;
        quint8 mask = 0x80;
        for (int i = 0; i < 8; ++i, mask >>= 1) {
            if ((first & mask) == 0)
                return value | quint64(first & (mask - 1)) << (8 * i);
            value |= quint64(byte()) << (8 * i);
        }
        return value;
    }

    // A count of things that each take at least one byte of what is left.
    quint64 count() {
        const quint64 n = number();
        if (n > quint64(left()))
            fail();
        return ok_ ? n : 0;
    }

    QByteArrayView take(quint64 n) {
        if (!ok_ || n > quint64(left())) {
            ok_ = false;
            return {};
        }
        const QByteArrayView part = bytes_.sliced(pos_, qsizetype(n));
        pos_ += qsizetype(n);
        return part;
    }

private:
    QByteArrayView bytes_;
    qsizetype pos_ = 0;
    bool ok_ = true;
};

enum : quint8 {
    kEnd = 0x00,
    kHeader = 0x01,
    kArchiveProperties = 0x02,
    kAdditionalStreamsInfo = 0x03,
    kMainStreamsInfo = 0x04,
    kPackInfo = 0x06,
    kUnpackInfo = 0x07,
    kSubStreamsInfo = 0x08,
    kSize = 0x09,
    kCrc = 0x0A,
    kFolder = 0x0B,
    kCodersUnpackSize = 0x0C,
    kEncodedHeader = 0x17,
};

const QByteArray kLzma("\x03\x01\x01", 3);
const QByteArray kLzma2("\x21", 1);
const QByteArray kPpmd("\x03\x04\x01", 3);
const QByteArray kAes("\x06\xF1\x07\x01", 4);

struct Coder {
    QByteArray id, properties;
};

struct Folder {
    QList<Coder> coders;
    QList<quint64> unpackSizes;
};

struct Streams {
    quint64 packPosition = 0;
    QList<quint64> packSizes;
    QList<Folder> folders;
};

void skipDigests(Cursor& c, quint64 n) {
    quint64 defined = n;
    if (c.byte() == 0) {
        defined = 0;
        const QByteArrayView bits = c.take((n + 7) / 8);
        for (qsizetype i = 0; i < bits.size(); ++i)
            defined += quint64(qPopulationCount(quint8(bits[i])));
    }
    c.take(4 * defined);
}

bool readFolder(Cursor& c, Folder& folder) {
    const quint64 coders = c.number();
    // libarchive reads no more than four coders to a folder; a few more do no harm here.
    if (coders == 0 || coders > 16)
        return c.fail();
    quint64 inputs = 0, outputs = 0;
    for (quint64 i = 0; i < coders && c.ok(); ++i) {
        const quint8 flags = c.byte();
        if (flags & 0x80) // alternative methods, which no reader supports
            return c.fail();
        Coder coder;
        coder.id = c.take(flags & 0x0F).toByteArray();
        quint64 in = 1, out = 1;
        if (flags & 0x10) {
            in = c.number();
            out = c.number();
            if (in > 16 || out > 16)
                return c.fail();
        }
        if (flags & 0x20)
            coder.properties = c.take(c.number()).toByteArray();
        inputs += in;
        outputs += out;
        folder.coders.append(coder);
    }
    if (outputs == 0 || inputs < outputs - 1)
        return c.fail();
    for (quint64 i = 0; i < outputs - 1; ++i)
        c.number(), c.number(); // bind pairs: which output feeds which input
    if (const quint64 packed = inputs - (outputs - 1); packed > 1)
        for (quint64 i = 0; i < packed; ++i)
            c.number();
    folder.unpackSizes.resize(qsizetype(outputs));
    return c.ok();
}

// A StreamsInfo structure, as far as its folders: what comes after them tells nothing of memory.
bool readStreams(Cursor& c, Streams& streams) {
    quint8 id = c.byte();
    if (id == kPackInfo) {
        streams.packPosition = c.number();
        const quint64 count = c.count();
        id = c.byte();
        if (id == kSize) {
            for (quint64 i = 0; i < count; ++i)
                streams.packSizes.append(c.number());
            id = c.byte();
        }
        if (id == kCrc) {
            skipDigests(c, count);
            id = c.byte();
        }
        if (id != kEnd)
            return c.fail();
        id = c.byte();
    }
    if (id == kUnpackInfo) {
        if (c.byte() != kFolder)
            return c.fail();
        const quint64 count = c.count();
        if (c.byte() != 0) // folders kept elsewhere in the file, which libarchive does not read either
            return c.fail();
        for (quint64 i = 0; i < count && c.ok(); ++i)
            readFolder(c, streams.folders.emplace_back());
        if (c.byte() != kCodersUnpackSize)
            return c.fail();
        for (Folder& folder : streams.folders)
            for (quint64& size : folder.unpackSizes)
                size = c.number();
        id = c.byte();
        if (id == kCrc) {
            skipDigests(c, count);
            id = c.byte();
        }
        if (id != kEnd)
            return c.fail();
        id = c.byte();
    }
    return c.ok() && (id == kEnd || id == kSubStreamsInfo) ? true : c.fail();
}

// The memory one coder takes to unpack, as its properties say.
quint64 coderMemory(const Coder& coder) {
    const QByteArray& p = coder.properties;
    if ((coder.id == kLzma || coder.id == kPpmd) && p.size() >= 5)
        return le32(p.constData() + 1);
    if (coder.id == kLzma2 && p.size() >= 1) {
        const int bits = quint8(p[0]);
        return bits >= 40 ? 0xFFFFFFFFu : quint64(2 | (bits & 1)) << (bits / 2 + 11);
    }
    return 0;
}

std::optional<QString> overLimit(const Streams& streams, qint64 limit) {
    for (const Folder& folder : streams.folders)
        for (const Coder& coder : folder.coders)
            if (coderMemory(coder) > quint64(limit))
                return memoryRefusalText(limit);
    return std::nullopt;
}

// Unpacks a packed 7z header: one folder of a single LZMA or LZMA2 coder, as 7z tools write it.
std::optional<QByteArray> unpackHeader(QIODevice& file, const Streams& streams, qint64 limit) {
    if (streams.folders.size() != 1 || streams.folders[0].coders.size() != 1 || streams.packSizes.isEmpty())
        return std::nullopt;
    const Coder& coder = streams.folders[0].coders[0];
    const quint64 packed = streams.packSizes[0], unpacked = streams.folders[0].unpackSizes.value(0);
    if ((coder.id != kLzma && coder.id != kLzma2) || packed > quint64(limit) || unpacked > quint64(limit) ||
        streams.packPosition > quint64(file.size()) || !file.seek(qint64(32 + streams.packPosition)))
        return std::nullopt;
    const QByteArray input = file.read(qint64(packed));
    lzma_filter filters[2] = {{coder.id == kLzma ? LZMA_FILTER_LZMA1 : LZMA_FILTER_LZMA2, nullptr},
                              {LZMA_VLI_UNKNOWN, nullptr}};
    if (lzma_properties_decode(&filters[0], nullptr,
                               reinterpret_cast<const uint8_t*>(coder.properties.data()),
                               size_t(coder.properties.size())) != LZMA_OK)
        return std::nullopt;
    QByteArray output(qsizetype(unpacked), Qt::Uninitialized);
    lzma_stream stream = LZMA_STREAM_INIT;
    lzma_ret status = lzma_raw_decoder(&stream, filters);
    std::free(filters[0].options);
    stream.next_in = reinterpret_cast<const uint8_t*>(input.constData());
    stream.avail_in = size_t(input.size());
    stream.next_out = reinterpret_cast<uint8_t*>(output.data());
    stream.avail_out = size_t(output.size());
    // Each round either takes input or gives output; the decoder reports a round without either.
    while (status == LZMA_OK && stream.avail_out > 0)
        status = lzma_code(&stream, LZMA_FINISH);
    lzma_end(&stream);
    if (stream.avail_out > 0)
        return std::nullopt;
    return output;
}

} // namespace

QString memoryRefusalText(qint64 limit) {
    return QStringLiteral("it needs more than %1 MiB of memory to unpack").arg(limit >> 20);
}

QString sevenZipMemoryRefusal(QIODevice& file, qint64 limit) {
    const QString unreadable = QStringLiteral("it is damaged (its list of members cannot be read)");
    if (!file.seek(0))
        return unreadable;
    const QByteArray start = file.read(32);
    if (start.size() < 32)
        return {}; // too short for libarchive as well, which says so in its words
    const quint64 offset = le64(start.constData() + 12), size = le64(start.constData() + 20);
    if (size == 0)
        return {};
    if (size > quint64(limit))
        return memoryRefusalText(limit);
    if (offset > quint64(file.size()) || !file.seek(qint64(32 + offset)))
        return unreadable;
    QByteArray header = file.read(qint64(size));
    // A packed header unpacks to another header; 7z tools pack once, a few rounds are plenty.
    for (int round = 0; round < 4; ++round) {
        Cursor c(header);
        const quint8 kind = c.byte();
        Streams streams;
        if (kind == kEncodedHeader) {
            if (!readStreams(c, streams))
                return unreadable;
            if (const auto refusal = overLimit(streams, limit))
                return *refusal;
            std::optional<QByteArray> unpacked = unpackHeader(file, streams, limit);
            if (!unpacked) {
                // An encrypted header cannot be read without its password, by libarchive either.
                for (const Coder& coder : streams.folders.value(0).coders)
                    if (coder.id == kAes)
                        return {};
                return unreadable;
            }
            header = std::move(*unpacked);
            continue;
        }
        if (kind != kHeader)
            return unreadable;
        quint8 id = c.byte();
        if (id == kArchiveProperties) {
            while (c.ok() && c.byte() != 0)
                c.take(c.number());
            id = c.byte();
        }
        // Streams beside the main ones are read by no current reader; refusing them keeps their
        // coders from going unchecked.
        if (id == kAdditionalStreamsInfo)
            return unreadable;
        if (id != kMainStreamsInfo)
            return c.ok() ? QString() : unreadable; // no streams: only empty files and folders
        if (!readStreams(c, streams))
            return unreadable;
        return overLimit(streams, limit).value_or(QString());
    }
    return unreadable;
}

QString zipMemoryRefusal(QIODevice& file, qint64 limit) {
    constexpr qint64 kChunk = 1 << 20;
    const QByteArray signature("PK\x03\x04", 4);
    for (qint64 offset = 0; offset < file.size(); offset += kChunk - (signature.size() - 1)) {
        if (!file.seek(offset))
            return {};
        const QByteArray chunk = file.read(kChunk);
        for (qsizetype at = chunk.indexOf(signature); at >= 0; at = chunk.indexOf(signature, at + 1)) {
            const qint64 header = offset + at;
            if (!file.seek(header))
                return {};
            const QByteArray fields = file.read(30);
            if (fields.size() < 30)
                continue;
            const quint32 method = le16(fields.constData() + 8);
            if (method == 95)
                return QStringLiteral("a member is packed with xz, which this program does not unpack "
                                      "inside a zip archive");
            if (method != 14 && method != 98)
                continue;
            // LZMA data starts with a version, the length of the properties and the properties, of
            // which the last four bytes are the dictionary size; PPMd data with two bytes, of which
            // bits 4 to 11 are the model size in MiB, less one.
            const qint64 data = header + 30 + le16(fields.constData() + 26) + le16(fields.constData() + 28);
            if (!file.seek(data))
                continue;
            const QByteArray start = file.read(9);
            quint64 memory = 0;
            if (method == 14 && start.size() == 9)
                memory = le32(start.constData() + 5);
            else if (method == 98 && start.size() >= 2)
                memory = quint64(((le16(start.constData()) >> 4) & 0xFF) + 1) << 20;
            if (memory > quint64(limit))
                return memoryRefusalText(limit);
        }
        if (chunk.size() < kChunk)
            break;
    }
    return {};
}

} // namespace zq2
