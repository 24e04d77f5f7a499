#include "config/settingsfile.h"

#include "platform/filenames.h"
#include "platform/paths.h"
#include "platform/programfolders.h"
#include "platform/textlines.h"

#include <QDir>

namespace zq2 {

namespace {

QString gameExecutableName() {
    return QStringLiteral("Zeno2.exe");
}

} // namespace

std::optional<QString> findSettingsFile(const QString& configDir) {
    return findFileIgnoringCase(configDir, settingsFileName());
}

std::optional<SettingsLines> readSettingsFile(const QString& configDir) {
    const std::optional<QString> path = findSettingsFile(configDir);
    if (!path)
        return std::nullopt;
    LineLimits limits;
    limits.maxLines = 2;
    const std::optional<QList<QByteArray>> lines = readFileLines(*path, limits);
    if (!lines)
        return std::nullopt;
    SettingsLines out;
    // Both lines are paths: decoded so that a folder whose name is not valid UTF-8 is still found.
    if (lines->size() > 0)
        out.line1 = decodeStoredPath(lines->at(0));
    if (lines->size() > 1)
        out.line2 = decodeStoredPath(lines->at(1));
    return out;
}

LoadedSettings resolveSettings(const SettingsLines& lines, const QString& appDir) {
    LoadedSettings out;
    out.gameDir = sameKeyword(lines.line1, appPathKeyword()) ? appDir : lines.line1;
    out.cdResourceDir = joinPath(lines.line2, QStringLiteral("Resources"));
    return out;
}

QByteArray settingsBytes(const QString& line1, const QString& line2) {
    return encodeStoredPath(line1) + QByteArrayLiteral("\r\n") + encodeStoredPath(line2);
}

WriteResult writeSettingsFile(const QString& configDir, const QString& line1, const QString& line2) {
    if (FileError made = makeFolder(configDir))
        return WriteResult{joinPath(configDir, settingsFileName()), false, std::move(made)};
    return replaceFileSpelledExactly(configDir, settingsFileName(), settingsBytes(line1, line2));
}

QString line1ForDirectoryText(const QString& zq2dirText) {
    return isAbsoluteSettingPath(zq2dirText) ? zq2dirText : appPathKeyword();
}

std::optional<QString> browseCut(const QString& chosenPath) {
    constexpr qsizetype kSeparatorAndName = 10; // "\Zeno2.exe"
    if (chosenPath.size() < kSeparatorAndName)
        return std::nullopt;
    return chosenPath.left(chosenPath.size() - kSeparatorAndName);
}

QString defaultGameDir() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\Games\\Zeno2");
#else
    // The home folder as the system spells it, like every other folder the program names.
    const QByteArray home = qgetenv("HOME");
    return (home.startsWith('/') ? decodeFileName(home) : QDir::homePath()) + QStringLiteral("/Games/Zeno2");
#endif
}

QString defaultCdDrive() {
#ifdef Q_OS_WIN
    return QStringLiteral("D:");
#else
    return QStringLiteral("/media/cdrom");
#endif
}

SettingsDialogStart settingsDialogStart(const QString& configDir, const QString& appDir) {
    SettingsDialogStart start;
    start.focusOnCd = findFileIgnoringCase(appDir, gameExecutableName()).has_value();

    const std::optional<SettingsLines> lines = readSettingsFile(configDir);
    if (!lines) {
        // A first run beside the game: offer the program's folder, so that OK stores the keyword.
        start.zq2dir = start.focusOnCd ? appPathDisplayText() : defaultGameDir();
        start.cddir = defaultCdDrive();
        return start;
    }
    const QString first = trimSpaces(lines->line1);
    start.zq2dir = sameKeyword(first, appPathKeyword()) ? appPathDisplayText() : first;
    start.cddir = lines->line2;
    return start;
}

QString settingsSaveFailedText(const WriteResult& result) {
    return writeFailedText(QStringLiteral("settings"), result);
}

} // namespace zq2
