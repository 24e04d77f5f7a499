#include "archivewriter.h"

#include <QFile>

#include <archive.h>
#include <archive_entry.h>

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
    case ArchiveKind::TarGz:
        archive_write_add_filter_gzip(a);
        return archive_write_set_format_pax_restricted(a);
    case ArchiveKind::TarBz2:
        archive_write_add_filter_bzip2(a);
        return archive_write_set_format_pax_restricted(a);
    case ArchiveKind::TarXz:
        archive_write_add_filter_xz(a);
        return archive_write_set_format_pax_restricted(a);
    }
    return ARCHIVE_FATAL;
}

void describe(archive_entry* entry, const ArchiveMember& member) {
    archive_entry_copy_pathname(entry, QFile::encodeName(member.path).constData());
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

} // namespace

QString writeArchive(const QString& path, ArchiveKind kind, const QList<ArchiveMember>& members,
                     const QByteArray& passphrase) {
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
