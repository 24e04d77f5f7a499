#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace zq2 {

// The title stored in a level or tileset file: the 32 bytes at offset 188, cut at the first NUL byte
// and without the spaces at both ends. A file too short to hold the whole field is read as if it
// went on with spaces. A file that cannot be read, or is no regular file, gives an empty title.
QString loadTitle(const QString& path);

// The same title, or nothing when the file cannot be opened or read: a failure a cache must not keep.
std::optional<QString> readTitle(const QString& path);

// How many bytes from the start of a file hold its title field.
inline constexpr qsizetype kTitleFieldEnd = 220;

// The title in `head`, the first bytes of a level or tileset file (as many as the file had, up to
// kTitleFieldEnd), by the rules of loadTitle.
QString titleFromHead(QByteArrayView head);

// Text in the 8-bit character set titles are written in (Windows-1252). The five byte values that
// set leaves undefined stand for the control characters of the same number.
QString decodeWindows1252(QByteArrayView bytes);

enum class FileKind { Level, Tileset, Music, Other };

// The kind of a file, by the last three characters of its name, ignoring letter case; no dot is
// needed before them.
FileKind fileKindOf(const QString& name);

// The word for a kind as the detail labels and the shelf show it: "Level", "Tileset", "Music" or
// "Other".
QLatin1String fileKindName(FileKind kind);

// What the detail labels and buttons of one side show for a selected file.
struct FileDetails {
    QString title;          // "Title: <title>" for levels and tilesets, otherwise "No Title"
    QString type;           // "Type: Level", "Type: Tileset", "Type: Music" or "Type: Other"
    QString size;           // "Size: <bytes> Bytes", or "Size: unknown"
    QString deleteCaption;  // "Delete <name>", the name as displayFileName shows it
    QString seeFileCaption; // "Play <name>" for a level, otherwise "Launch ZLE"
    bool readable = true;   // false when the file has gone or could not be read
};

// The details of the file `name` (a bare name) in `folder`. Never asks the user anything: a file
// that has vanished or cannot be read is described as far as possible and marked unreadable.
FileDetails describeFile(const QString& folder, const QString& name);

} // namespace zq2
