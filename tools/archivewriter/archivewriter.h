#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace zq2::tools {

enum class ArchiveKind {
    Zip,      // names marked as UTF-8
    ZipCp437, // names in the DOS code page, not marked, as DOS and older Windows wrote them
    SevenZip,
    TarGz,
    TarBz2,
    TarXz,
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
// protecting the contents of every file. Returns an empty string, or why it failed. Names beyond
// ASCII need a UTF-8 locale, which the Qt application object sets up.
QString writeArchive(const QString& path, ArchiveKind kind, const QList<ArchiveMember>& members,
                     const QByteArray& passphrase = {});

} // namespace zq2::tools
