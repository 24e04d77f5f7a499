// Builds a small game folder of our own making for trying the organizer: levels and tilesets with
// titles in their title field, music, an unrelated file, a folder named like a level, a download
// cache, a stand-in for the game CD, and a few archives of levels as fan sites hand them out.
// Nothing here comes from the real game.
//
//   zq2makedemo <demo-folder> [--extra-levels N]
//
// writes <demo-folder>/Zeno2 (the game folder, with its cache), <demo-folder>/cdrom/Resources and
// <demo-folder>/downloads. --extra-levels adds N more numbered levels, e.g. 244 to go past the
// 255-level limit.

#include "archivewriter.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdio>

namespace {

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "zq2makedemo: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// A level or tileset: a header of filler bytes, the 32-byte title field at offset 188, then body.
QByteArray levelFile(const QByteArray& titleField, int size, char seed) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + seed) & 0x7f);
    for (int i = 0; i < 32 && 188 + i < size; ++i)
        bytes[188 + i] = i < titleField.size() ? titleField[i] : '\0';
    return bytes;
}

QByteArray stubProgram(const char* what) {
    return QByteArray("#!/bin/sh\n# Stand-in for ") + what +
           " in the demo game folder: it only says how it was started.\n"
           "echo \"" +
           what + " (demo stand-in) started with: $*\"\n";
}

struct Level {
    const char* name;
    QByteArray title;
    int size;
};

bool makeGameFolder(const QString& game, int extraLevels) {
    const QString cache = game + QStringLiteral("/cache");
    if (!QDir().mkpath(cache) || !QDir().mkpath(game + QStringLiteral("/Secret Stash.z2l")))
        return false;

    const Level levels[] = {
        {"Quillback Meadow.z2l", "Quillback Meadow", 4096},
        {"Crystal Caverns.z2l", "Crystal Caverns", 5120},
        {"Sunset Ridge.z2l", "Sunset Ridge", 3584},
        {"frosty peaks.z2l", "Frosty Peaks", 6000},
        {"Cafe Lagoon.z2l", "Caf\xe9 Lagoon", 2900}, // an accented title, Windows-1252
        {"Lava Run.z2l", "Lava Run", 1500},
        {"Moonlit Marsh.Z2L", "Moonlit Marsh", 7777},
        {"Clockwork Keep.z2l", "Clockwork Keep", 4500},
        {"Untitled.z2l", "", 2048},                                      // empty title field
        {"Windmill.z2l", QByteArray("   Windmill   \0\0\0 ", 18), 3000}, // spaces and NULs
        {"Tiny.z2l", "Tiny But Mig", 200},                               // shorter than 220 bytes
        {"Cloud Castle.z2l", "Cloud Castle", 8192},
    };
    char seed = 1;
    for (const Level& l : levels)
        if (!writeBytes(game + QLatin1Char('/') + QLatin1String(l.name), levelFile(l.title, l.size, seed++)))
            return false;
    for (int i = 1; i <= extraLevels; ++i) {
        const QString name = QStringLiteral("Extra %1.z2l").arg(i, 3, 10, QLatin1Char('0'));
        if (!writeBytes(game + QLatin1Char('/') + name,
                        levelFile(QStringLiteral("Extra level %1").arg(i).toLatin1(), 1024, seed++)))
            return false;
    }

    const Level tilesets[] = {
        {"Forest.z2t", "Whispering Forest", 9000},
        {"ICE.Z2T", "Glacier Set", 12000},
        {"desert.z2t", "  Dune Tiles", 10240},
    };
    for (const Level& t : tilesets)
        if (!writeBytes(game + QLatin1Char('/') + QLatin1String(t.name), levelFile(t.title, t.size, seed++)))
            return false;

    return writeBytes(game + QStringLiteral("/theme.z2b"), QByteArray(20000, 'm')) &&
           writeBytes(game + QStringLiteral("/Boss Battle.z2b"), QByteArray(15500, 'b')) &&
           writeBytes(game + QStringLiteral("/readme.txt"), "Demo game folder made by zq2makedemo.\r\n") &&
           writeBytes(game + QStringLiteral("/Zeno2.exe"), stubProgram("Zeno2.exe")) &&
           writeBytes(game + QStringLiteral("/ZLE.exe"), stubProgram("ZLE.exe")) &&
           QFile::setPermissions(game + QStringLiteral("/Zeno2.exe"),
                                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                     QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther) &&
           QFile::setPermissions(game + QStringLiteral("/ZLE.exe"),
                                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                     QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther) &&
           // Downloads; "LAVA RUN.Z2L" is also in the game folder, spelt otherwise and of another size.
           writeBytes(cache + QStringLiteral("/Spiral Tower.z2l"), levelFile("Spiral Tower", 6500, 40)) &&
           writeBytes(cache + QStringLiteral("/bonus1.z2l"), levelFile("Bonus Round", 2200, 41)) &&
           writeBytes(cache + QStringLiteral("/LAVA RUN.Z2L"), levelFile("Lava Run (remix)", 2750, 42)) &&
           writeBytes(cache + QStringLiteral("/JungleTiles.z2t"), levelFile("Jungle", 11000, 43)) &&
           writeBytes(cache + QStringLiteral("/groove.z2b"), QByteArray(9100, 'g')) &&
           writeBytes(cache + QStringLiteral("/index.dat"), QByteArray(512, '\0'));
}

bool makeCd(const QString& resources) {
    return QDir().mkpath(resources) &&
           writeBytes(resources + QStringLiteral("/Quillback Meadow.z2l"),
                      levelFile("Quillback Meadow", 4096, 1)) &&
           writeBytes(resources + QStringLiteral("/Original One.z2l"), levelFile("Original One", 3000, 60)) &&
           writeBytes(resources + QStringLiteral("/Forest.z2t"), levelFile("Whispering Forest", 9000, 61)) &&
           writeBytes(resources + QStringLiteral("/theme.z2b"), QByteArray(20000, 'm')) &&
           writeBytes(resources + QStringLiteral("/Zeno2.exe"), stubProgram("Zeno2.exe")) &&
           writeBytes(resources + QStringLiteral("/ZLE.exe"), stubProgram("ZLE.exe")) &&
           writeBytes(resources + QStringLiteral("/ZLE.ini"), "[ZLE]\r\nGrid=1\r\n") &&
           writeBytes(resources + QStringLiteral("/intro.z2v"), QByteArray(30000, 'v'));
}

// Archives to drop onto the lists: levels in folders, several kinds, names in the DOS code page,
// a level that is in the game folder already under another size, and one without any game file.
bool makeDownloads(const QString& downloads) {
    using zq2::tools::ArchiveKind;
    using zq2::tools::ArchiveMember;
    const auto level = [](const char* path, const char* title, int size, char seed) {
        return ArchiveMember::file(QString::fromUtf8(path), levelFile(title, size, seed));
    };
    const auto text = [](const char* path, const QByteArray& bytes) {
        return ArchiveMember::file(QString::fromUtf8(path), bytes);
    };
    struct Archive {
        const char* name;
        ArchiveKind kind;
        QList<ArchiveMember> members;
    };
    const Archive archives[] = {
        {"Crystal Expansion.zip",
         ArchiveKind::Zip,
         {level("Crystal Expansion/levels/Crystal Depths.z2l", "Crystal Depths", 5400, 70),
          level("Crystal Expansion/levels/Geode Gardens.z2l", "Geode Gardens", 4800, 71),
          level("Crystal Expansion/tiles/Amethyst.z2t", "Amethyst Tiles", 9500, 72),
          text("Crystal Expansion/readme.txt", "Two levels and a tileset. Have fun!\r\n")}},
        {"Retro Tunes.7z",
         ArchiveKind::SevenZip,
         {text("music/Chiptune Waltz.z2b", QByteArray(12000, 'w')),
          text("music/Bassline.z2b", QByteArray(8000, 'l')),
          level("bonus/Sunset Ridge.z2l", "Sunset Ridge (director's cut)", 4100, 73)}},
        {"Swamp Pack.tar.gz",
         ArchiveKind::TarGz,
         {level("swamp-pack/Bog Hollow.z2l", "Bog Hollow", 3900, 74),
          level("swamp-pack/Mire.z2t", "Mire Tiles", 10100, 75)}},
        {"OLDLEVEL.ZIP", // from the DOS days: names in code page 437, not marked as UTF-8
         ArchiveKind::ZipCp437,
         {level("OLDLEVEL/Caf\xc3\xa9 Noir.z2l", "Caf\xe9 Noir", 2600, 76), level("OLDLEVEL/\xc3\x9c"
                                                                                  "ber Cave.z2l",
                                                                                  "\xdc"
                                                                                  "ber Cave",
                                                                                  2300, 77)}},
        {"Screenshots.zip",
         ArchiveKind::Zip,
         {text("shots/meadow.bmp", QByteArray(3000, 'p')), text("shots/info.txt", "Pictures only.\r\n")}},
    };
    if (!QDir().mkpath(downloads))
        return false;
    for (const Archive& archive : archives) {
        const QString error = zq2::tools::writeArchive(
            downloads + QLatin1Char('/') + QLatin1String(archive.name), archive.kind, archive.members);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "zq2makedemo: cannot write %s: %s\n", archive.name, qPrintable(error));
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    // The application object sets up the UTF-8 locale in which the archives' names are written.
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: zq2makedemo <demo-folder> [--extra-levels N]\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    int extra = 0;
    if (argc >= 4 && QByteArray(argv[2]) == "--extra-levels")
        extra = QByteArray(argv[3]).toInt();
    if (!makeGameFolder(root + QStringLiteral("/Zeno2"), extra) ||
        !makeCd(root + QStringLiteral("/cdrom/Resources")) ||
        !makeDownloads(root + QStringLiteral("/downloads")))
        return 1;
    return 0;
}
