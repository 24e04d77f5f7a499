#include "archivewriter.h"

#include "platform/filenames.h"

#include <QFile>

#include <archive.h>
#include <archive_entry.h>
#include <lzma.h>

#include <cstdlib>
#include <memory>

namespace zq2::tools {

namespace {

struct WriterFree {
    void operator()(archive* a) const { archive_write_free(a); }
};
struct EntryFree {
    void operator()(archive_entry* e) const { archive_entry_free(e); }
};

int setFormat(archive* a, ArchiveKind kind) {
    switch (kind) {
    case ArchiveKind::Zip:
        archive_write_set_format_zip(a);
        return archive_write_set_format_option(a, "zip", "hdrcharset", "UTF-8");
    case ArchiveKind::ZipCp437:
        archive_write_set_format_zip(a);
        return archive_write_set_format_option(a, "zip", "hdrcharset", "CP437");
    case ArchiveKind::SevenZip:
        return archive_write_set_format_7zip(a);
    case ArchiveKind::Tar:
        return archive_write_set_format_pax_restricted(a);
    case ArchiveKind::TarGz:
        archive_write_add_filter_gzip(a);
        return archive_write_set_format_pax_restricted(a);
    case ArchiveKind::TarBz2:
        archive_write_add_filter_bzip2(a);
        return archive_write_set_format_pax_restricted(a);
    case ArchiveKind::TarXz:
        archive_write_add_filter_xz(a);
        return archive_write_set_format_pax_restricted(a);
    case ArchiveKind::Rar:
    case ArchiveKind::RarFirstPart:
        break; // written by hand below
    }
    return ARCHIVE_FATAL;
}

void describe(archive_entry* entry, const ArchiveMember& member) {
    archive_entry_copy_pathname(entry, encodeFileName(member.path).constData());
    archive_entry_set_mtime(entry, 1700000000, 0);
    switch (member.type) {
    case ArchiveMember::Type::File:
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_size(entry, member.data.size());
        break;
    case ArchiveMember::Type::Folder:
        archive_entry_set_filetype(entry, AE_IFDIR);
        archive_entry_set_perm(entry, 0755);
        break;
    case ArchiveMember::Type::Symlink:
        archive_entry_set_filetype(entry, AE_IFLNK);
        archive_entry_set_perm(entry, 0777);
        archive_entry_copy_symlink(entry, QFile::encodeName(member.target).constData());
        break;
    case ArchiveMember::Type::Hardlink:
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_entry_copy_hardlink(entry, QFile::encodeName(member.target).constData());
        break;
    case ArchiveMember::Type::Device:
        archive_entry_set_filetype(entry, AE_IFCHR);
        archive_entry_set_perm(entry, 0666);
        archive_entry_set_rdev(entry, 0x0103); // the null device's numbers
        break;
    }
}

void appendLe(QByteArray& out, quint64 value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.append(char(value >> (8 * i)));
}

quint64 readLe(const QByteArray& in, qsizetype at, int bytes) {
    quint64 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | quint8(in[at + i]);
    return value;
}

quint32 crc32(QByteArrayView bytes) {
    return lzma_crc32(reinterpret_cast<const uint8_t*>(bytes.data()), size_t(bytes.size()), 0);
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// A RAR 4 archive: the marker, the main header, a stored file header with its data per member, and
// the end block. Each header carries the low 16 bits of the CRC-32 of its bytes after the CRC.
QByteArray rarArchive(const QList<ArchiveMember>& members, bool firstPart) {
    const auto block = [](quint8 type, quint16 flags, const QByteArray& fields) {
        QByteArray header;
        header.append(char(type));
        appendLe(header, flags, 2);
        appendLe(header, quint64(7 + fields.size()), 2);
        header += fields;
        QByteArray out;
        appendLe(out, crc32(header) & 0xFFFF, 2);
        return out + header;
    };
    QByteArray out("Rar!\x1A\x07\x00", 7);
    out += block(0x73, firstPart ? 0x0101 : 0, QByteArray(6, '\0')); // a volume, and the first one
    for (qsizetype i = 0; i < members.size(); ++i) {
        const QByteArray name = encodeFileName(members[i].path);
        QByteArray data = members[i].data;
        const bool split = firstPart && i == members.size() - 1;
        const quint32 dataCrc = crc32(data);
        if (split)
            data.truncate(data.size() / 2);
        QByteArray fields;
        appendLe(fields, quint64(data.size()), 4);            // packed size
        appendLe(fields, quint64(members[i].data.size()), 4); // unpacked size
        fields.append(char(3));                               // made on Unix
        appendLe(fields, dataCrc, 4);
        appendLe(fields, 0x57710000, 4); // 2023-07-17, in DOS form
        fields.append(char(29));         // version 2.9 unpacks it
        fields.append(char(0x30));       // stored
        appendLe(fields, quint64(name.size()), 2);
        appendLe(fields, 0100644, 4);
        fields += name;
        // 0x8000: data follows the header; 0x0002: the member goes on in the next part.
        out += block(0x74, split ? 0x8002 : 0x8000, fields) + data;
    }
    if (!firstPart)
        out += block(0x7B, 0x4000, {});
    return out;
}

// Points the signature header of a 7z archive at a new next header, fixing both its checksums.
void set7zNextHeader(QByteArray& bytes, quint64 offset, const QByteArray& header) {
    bytes.truncate(qsizetype(32 + offset));
    bytes += header;
    QByteArray fields;
    appendLe(fields, offset, 8);
    appendLe(fields, quint64(header.size()), 8);
    appendLe(fields, crc32(header), 4);
    bytes.replace(12, 20, fields);
    QByteArray start;
    appendLe(start, crc32(QByteArrayView(bytes).sliced(12, 20)), 4);
    bytes.replace(8, 4, start);
}

// A 7z number at `at`, moving past it: the leading one bits of the first byte tell how many bytes
// follow, lowest first; the rest of the first byte is the highest part.
quint64 read7zNumber(const QByteArray& in, qsizetype& at) {
    const quint8 first = quint8(in.at(at++));
    quint64 value = 0;
    for (int i = 0; i < 8; ++i) {
        if (!(first & (0x80 >> i)))
            return value | quint64(first & ((0x80 >> i) - 1)) << (8 * i);
        value |= quint64(quint8(in.at(at++))) << (8 * i);
    }
    return value;
}

// The header of a 7z archive as libarchive writes it: packed with LZMA, and the small header that
// tells how to unpack it holds the position of the packed bytes, their size, the LZMA properties and
// the unpacked size in this order.
QByteArray unpackedSevenZipHeader(const QByteArray& bytes, const QByteArray& encoded) {
    if (!encoded.startsWith("\x17\x06"))
        return encoded; // a plain header already
    qsizetype at = 2;
    const quint64 position = read7zNumber(encoded, at);
    read7zNumber(encoded, at); // one packed stream
    ++at;                      // its size follows
    const quint64 packedSize = read7zNumber(encoded, at);
    const qsizetype props = encoded.indexOf(QByteArray("\x23\x03\x01\x01\x05", 5), at) + 5;
    at = props + 6; // past the properties and the mark of the unpacked sizes
    const quint64 size = read7zNumber(encoded, at);
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
    if (props < 5 ||
        lzma_properties_decode(&filters[0], nullptr,
                               reinterpret_cast<const uint8_t*>(encoded.constData() + props), 5) != LZMA_OK)
        return {};
    lzma_stream stream = LZMA_STREAM_INIT;
    lzma_ret status = lzma_raw_decoder(&stream, filters);
    free(filters[0].options);
    const QByteArray packed = bytes.mid(qsizetype(32 + position), qsizetype(packedSize));
    QByteArray header(qsizetype(size), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<const uint8_t*>(packed.constData());
    stream.avail_in = size_t(packed.size());
    stream.next_out = reinterpret_cast<uint8_t*>(header.data());
    stream.avail_out = size_t(header.size());
    while (status == LZMA_OK && stream.avail_out > 0)
        status = lzma_code(&stream, LZMA_FINISH);
    lzma_end(&stream);
    return stream.avail_out == 0 ? header : QByteArray();
}

} // namespace

QString setSevenZipDictionary(const QString& path, quint32 dictionary) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    QByteArray bytes = file.readAll();
    file.close();
    const quint64 offset = readLe(bytes, 12, 8), size = readLe(bytes, 20, 8);
    QByteArray header = unpackedSevenZipHeader(bytes, bytes.mid(qsizetype(32 + offset), qsizetype(size)));
    // A coder with properties whose id is LZMA's, 03 01 01, and its five bytes of properties.
    const QByteArray lzma("\x23\x03\x01\x01\x05", 5);
    qsizetype at = header.indexOf(lzma);
    if (at < 0)
        return QStringLiteral("no LZMA coder");
    for (; at >= 0; at = header.indexOf(lzma, at + 1)) {
        QByteArray field;
        appendLe(field, dictionary, 4);
        header.replace(at + lzma.size() + 1, 4, field);
    }
    set7zNextHeader(bytes, offset, header);
    return writeBytes(path, bytes) ? QString() : QStringLiteral("write");
}

namespace {} // namespace

QString writeArchive(const QString& path, ArchiveKind kind, const QList<ArchiveMember>& members,
                     const QByteArray& passphrase) {
    if (kind == ArchiveKind::Rar || kind == ArchiveKind::RarFirstPart)
        return writeBytes(path, rarArchive(members, kind == ArchiveKind::RarFirstPart))
                   ? QString()
                   : QStringLiteral("write");
    const std::unique_ptr<archive, WriterFree> owner(archive_write_new());
    archive* a = owner.get();
    const auto failed = [a](const char* step) {
        return QStringLiteral("%1: %2").arg(QLatin1String(step),
                                            QString::fromLocal8Bit(archive_error_string(a)));
    };
    if (setFormat(a, kind) < ARCHIVE_WARN)
        return failed("format");
    if (!passphrase.isEmpty() && (archive_write_set_options(a, "zip:encryption=zipcrypt") != ARCHIVE_OK ||
                                  archive_write_set_passphrase(a, passphrase.constData()) != ARCHIVE_OK))
        return failed("passphrase");
    if (archive_write_open_filename(a, QFile::encodeName(path).constData()) != ARCHIVE_OK)
        return failed("open");
    for (const ArchiveMember& member : members) {
        const std::unique_ptr<archive_entry, EntryFree> entry(archive_entry_new());
        describe(entry.get(), member);
        if (archive_write_header(a, entry.get()) < ARCHIVE_WARN)
            return failed("header");
        if (member.type == ArchiveMember::Type::File && !member.data.isEmpty() &&
            archive_write_data(a, member.data.constData(), static_cast<size_t>(member.data.size())) !=
                member.data.size())
            return failed("data");
    }
    if (archive_write_close(a) != ARCHIVE_OK)
        return failed("close");
    return {};
}

} // namespace zq2::tools
