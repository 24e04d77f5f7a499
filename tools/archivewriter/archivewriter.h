#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace zq2::tools {

enum class ArchiveKind {
    Zip,      // names marked as UTF-8
    ZipCp437, // names in the DOS code page, not marked, as DOS and older Windows wrote them
    SevenZip, // LZMA, the list of members packed with LZMA too, as 7z tools write it
    Tar,
    TarGz,
    TarBz2,
    TarXz,
    Rar,          // RAR 4, members stored
    RarFirstPart, // the first part of a RAR 4 archive split into parts, cut inside its last member
};

struct ArchiveMember {
    enum class Type { File, Folder, Symlink, Hardlink, Device };
    QString path;    // as stored, "../" and leading "/" included
    QByteArray data; // the contents of a File
    Type type = Type::File;
    QString target; // where a Symlink or Hardlink points

    static ArchiveMember file(const QString& path, const QByteArray& data) {
        return {path, data, Type::File, {}};
    }
};

// Writes `members` in their order as an archive of `kind` at `path`, with `passphrase` (zip only)
// protecting the contents of every file. Returns an empty string, or why it failed. Names are
// written as the bytes that encodeFileName gives; for zip and 7z, names beyond ASCII need a UTF-8
// locale, which the Qt application object sets up. Rar archives take files only.
QString writeArchive(const QString& path, ArchiveKind kind, const QList<ArchiveMember>& members,
                     const QByteArray& passphrase = {});

// Sets the dictionary size that the LZMA coders of the members of the 7z archive at `path` (as
// written by writeArchive with SevenZip) ask for, as a crafted archive does; the list of members is
// then stored unpacked. Returns an empty string, or why it failed.
QString setSevenZipDictionary(const QString& path, quint32 bytes);

} // namespace zq2::tools
