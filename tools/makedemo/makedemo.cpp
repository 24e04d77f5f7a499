// Builds a small game folder of our own making for trying the organizer: levels and tilesets with
// titles in their title field, music, an unrelated file, a folder named like a level, a download
// cache, and a stand-in for the game CD. Nothing here comes from the real game.
//
//   zq2makedemo <demo-folder> [--extra-levels N]
//
// writes <demo-folder>/Zeno2 (the game folder, with its cache) and <demo-folder>/cdrom/Resources.
// --extra-levels adds N more numbered levels, e.g. 244 to go past the 255-level limit.

#include <QByteArray>
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

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: zq2makedemo <demo-folder> [--extra-levels N]\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    int extra = 0;
    if (argc >= 4 && QByteArray(argv[2]) == "--extra-levels")
        extra = QByteArray(argv[3]).toInt();
    if (!makeGameFolder(root + QStringLiteral("/Zeno2"), extra) ||
        !makeCd(root + QStringLiteral("/cdrom/Resources")))
        return 1;
    return 0;
}
