#pragma once

#include "platform/fileerror.h"
#include "platform/textlines.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace zq2 {

// settings.ini: line 1 the game folder or the keyword APP-PATH, line 2 the CD drive.
struct SettingsLines {
    QString line1;
    QString line2;
};

inline QString settingsFileName() {
    return QStringLiteral("settings.ini");
}
// Line 1 keyword: the game lives in the program's own folder.
inline QString appPathKeyword() {
    return QStringLiteral("APP-PATH");
}
// What the Settings dialog shows in place of the keyword.
inline QString appPathDisplayText() {
    return QStringLiteral("Zeno2 directory found.");
}

// The settings file in `configDir`, its name compared ignoring case; a folder of that name does not count.
std::optional<QString> findSettingsFile(const QString& configDir);

// The first two lines of the settings file, nothing when it is missing or cannot be opened. Lines
// the file does not have are empty; anything after line 2 is never read. The lines are decoded as
// paths (decodeStoredPath), so that bytes that are not valid UTF-8 are kept.
std::optional<SettingsLines> readSettingsFile(const QString& configDir);

struct LoadedSettings {
    QString gameDir;
    QString cdResourceDir;
};

// The game folder and the CD's resource folder named by the two lines. Only the exact keyword
// (any case, no blanks) means the program's folder `appDir`; any other text is taken as a path,
// blanks and all.
LoadedSettings resolveSettings(const SettingsLines& lines, const QString& appDir);

// The file's bytes: line 1, CR LF, line 2, with no line end at the end. The lines are paths, written
// as the bytes the file system knows them by (encodeStoredPath).
QByteArray settingsBytes(const QString& line1, const QString& line2);

// Writes the file under its lower-case name and removes the spellings it had before. A
// configuration folder that does not exist yet is made first.
WriteResult writeSettingsFile(const QString& configDir, const QString& line1, const QString& line2);

// Line 1 for the text of the game-folder box: a full path is stored as typed, anything else
// (the "found" text, a relative path, an empty box) as the keyword.
QString line1ForDirectoryText(const QString& zq2dirText);

// The folder of a chosen Zeno2.exe: the path less the 10 characters of separator + "Zeno2.exe".
// Nothing when the path is shorter than that.
std::optional<QString> browseCut(const QString& chosenPath);

QString defaultGameDir();
QString defaultCdDrive();

// What the Settings dialog starts from when it opens. The two texts may hold bytes that are not
// valid UTF-8 (see decodeFileName); the boxes show them through displayFileName.
struct SettingsDialogStart {
    QString zq2dir;
    QString cddir;
    bool focusOnCd = false; // the game sits beside the program, so only the drive needs typing
};
// The stored values come from the settings file in `configDir`; the game counts as beside the program
// when `appDir`, the executable's folder, holds Zeno2.exe.
SettingsDialogStart settingsDialogStart(const QString& configDir, const QString& appDir);

// The message shown when writing the settings file failed, or left an old spelling behind.
QString settingsSaveFailedText(const WriteResult& result);

} // namespace zq2
