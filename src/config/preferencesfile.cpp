#include "config/preferencesfile.h"

#include "platform/filenames.h"
#include "platform/paths.h"
#include "platform/programfolders.h"
#include "platform/textlines.h"

#include <QLocale>

namespace zq2 {

namespace {

// A file is read whole or not at all, so that the dialog never writes back less than the file held.
// These bounds only keep junk from stalling the program: each pattern becomes an entry in two
// drop-downs and the dialog's list, which take well under a second for 100,000 entries
// (bench_preferences) but several seconds and most of a gigabyte for a million.
constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;
constexpr int kMaxPatterns = 100000;

struct SwitchTexts {
    const char* yes;
    const char* no;
};
constexpr SwitchTexts kUseSkin{"USESKIN=YES", "USESKIN=NO"};
constexpr SwitchTexts kUseTips{"USETIPS=YES", "USETIPS=NO"};
constexpr SwitchTexts kWarnMax{"WARNMAXLVLS=YES", "WARNMAXLVLS=NO"};
constexpr SwitchTexts kDisplayDelete{"DISPLAYDELETE=YES", "DISPLAYDELETE=NO"};

std::optional<bool> readSwitch(const QList<QByteArray>& lines, qsizetype index, const SwitchTexts& texts) {
    if (index >= lines.size())
        return std::nullopt;
    const QString line = decodeStoredPath(lines.at(index));
    if (sameKeyword(line, QLatin1String(texts.yes)))
        return true;
    if (sameKeyword(line, QLatin1String(texts.no)))
        return false;
    return std::nullopt;
}

QByteArray switchLine(bool on, const SwitchTexts& texts) {
    return QByteArray(on ? texts.yes : texts.no);
}

} // namespace

QStringList defaultPatterns() {
    return {QStringLiteral("*.z2l"), QStringLiteral("*.z2t"), QStringLiteral("*.z2b")};
}

std::optional<QString> findPreferencesFile(const QString& configDir) {
    return findFileIgnoringCase(configDir, preferencesFileName());
}

std::optional<PreferencesFile> readPreferencesFile(const QString& configDir) {
    const std::optional<QString> path = findPreferencesFile(configDir);
    if (!path)
        return std::nullopt;
    const WholeFileLines whole =
        readWholeFileLines(*path, kMaxFileBytes, 5 + kMaxPatterns).value_or(WholeFileLines{});
    const QList<QByteArray>& lines = whole.lines;

    PreferencesFile file;
    file.path = *path;
    file.tooLarge = whole.tooLarge;
    file.useSkin = readSwitch(lines, 0, kUseSkin);
    if (lines.size() > 1)
        file.skinLine = decodeStoredPath(lines.at(1));
    file.useTips = readSwitch(lines, 2, kUseTips);
    file.warnMax = readSwitch(lines, 3, kWarnMax);
    file.displayDelete = readSwitch(lines, 4, kDisplayDelete);
    for (qsizetype i = 5; i < lines.size(); ++i)
        file.patterns.append(decodeStoredPath(lines.at(i)));
    return file;
}

void loadPreferences(Preferences& values, const QString& configDir) {
    const std::optional<PreferencesFile> file = readPreferencesFile(configDir);
    if (!file || file->tooLarge) {
        values.tipsEnabled = true;
        values.warnMaxLevels = true;
        values.confirmDelete = true;
        values.skinEnabled = false;
        values.patterns = defaultPatterns();
        return;
    }
    values.skinEnabled = file->useSkin.value_or(values.skinEnabled);
    values.skinFile = file->skinLine;
    values.tipsEnabled = file->useTips.value_or(values.tipsEnabled);
    values.warnMaxLevels = file->warnMax.value_or(values.warnMaxLevels);
    values.confirmDelete = file->displayDelete.value_or(values.confirmDelete);
    values.patterns = file->patterns;
}

QByteArray preferencesBytes(bool useSkin, const QString& skinDirText, bool useTips, bool warnMax,
                            bool displayDelete, const QStringList& patterns) {
    const QByteArray lineEnd = QByteArrayLiteral("\r\n");
    QByteArray bytes = switchLine(useSkin, kUseSkin);
    bytes += lineEnd + encodeStoredPath(trimSpaces(skinDirText));
    bytes += lineEnd + switchLine(useTips, kUseTips);
    bytes += lineEnd + switchLine(warnMax, kWarnMax);
    bytes += lineEnd + switchLine(displayDelete, kDisplayDelete);
    for (const QString& pattern : patterns)
        bytes += lineEnd + encodeStoredPath(pattern);
    return bytes;
}

WriteResult writePreferencesFile(const QString& configDir, const QByteArray& bytes) {
    if (FileError made = makeFolder(configDir))
        return WriteResult{joinPath(configDir, preferencesFileName()), false, std::move(made)};
    return replaceFileSpelledExactly(configDir, preferencesFileName(), bytes);
}

AddPatternResult checkNewPattern(const QString& extText) {
    const QString pattern = trimSpaces(extText);
    const QString prefix = QStringLiteral("*.");
    if (pattern == prefix)
        return {AddPatternCheck::Ignore, {}, {}};
    if (!pattern.startsWith(prefix))
        return {AddPatternCheck::MustBeginWithStarDot,
                {},
                QStringLiteral("File type patterns must begin with '*.'")};
    if (pattern.size() > 5)
        return {AddPatternCheck::TooLong,
                {},
                QStringLiteral("File extensions cannot be longer than 3 characters.")};
    return {AddPatternCheck::Add, pattern, {}};
}

QString preferencesTooLargeText(const QString& path) {
    return QStringLiteral("The preferences file %1 is too large to read: it holds more than %2 MB or more "
                          "than %3 file types. It is left as it is, and changes made here will not be saved.")
        .arg(displayPath(path), QString::number(kMaxFileBytes / (1024 * 1024)),
             QLocale(QLocale::English).toString(kMaxPatterns));
}

QString preferencesSaveFailedText(const WriteResult& result) {
    return writeFailedText(QStringLiteral("preferences"), result);
}

} // namespace zq2
