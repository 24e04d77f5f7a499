#pragma once

#include "platform/fileerror.h"
#include "platform/textlines.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace zq2 {

// The main window's preference values. All off and empty until the file has been read once.
struct Preferences {
    bool skinEnabled = false;
    QString skinFile;
    bool tipsEnabled = false;
    bool warnMaxLevels = false;
    bool confirmDelete = false;
    QStringList patterns; // file-type patterns of the filter drop-downs, after "All"
};

// preferences.ini as read; the skin path and the patterns decoded as stored paths (decodeStoredPath),
// so that bytes that are not UTF-8 are written back unchanged. A switch is empty when its line matched
// neither its YES nor its NO text, or when the file ends before that line; the reader of the switch then
// keeps what it had. A file too large to read whole (see preferencesTooLargeText) is not read at all, and
// must never be written over.
struct PreferencesFile {
    QString path; // as the file system spells it
    std::optional<bool> useSkin;
    QString skinLine;
    std::optional<bool> useTips;
    std::optional<bool> warnMax;
    std::optional<bool> displayDelete;
    QStringList patterns;
    bool tooLarge = false;
};

inline QString preferencesFileName() {
    return QStringLiteral("preferences.ini");
}

// The patterns offered when there is no preferences file.
QStringList defaultPatterns();

// The preferences file in `configDir` (a file, not a folder; its name compared ignoring case).
std::optional<QString> findPreferencesFile(const QString& configDir);

// Nothing when the file is absent. A file that is present but cannot be opened reads like an empty
// one: no switch matched, no patterns.
std::optional<PreferencesFile> readPreferencesFile(const QString& configDir);

// Reads the file into `values`. Present: every switch that matched is set, skinFile takes line 2 and
// patterns lines 6 and on. Absent, or too large to read whole: tips, warning and confirmation on, skin
// off, the default patterns; skinFile keeps its value.
void loadPreferences(Preferences& values, const QString& configDir);

// The file's bytes: five switch and path lines, then one pattern per line, CR LF between lines and
// none after the last. The skin path and the patterns are written as the bytes they were read as
// (encodeStoredPath), the skin path without surrounding spaces.
QByteArray preferencesBytes(bool useSkin, const QString& skinDirText, bool useTips, bool warnMax,
                            bool displayDelete, const QStringList& patterns);

// Writes the file under its lower-case name and removes the spellings it had before. A
// configuration folder that does not exist yet is made first.
WriteResult writePreferencesFile(const QString& configDir, const QByteArray& bytes);

enum class AddPatternCheck { Ignore, MustBeginWithStarDot, TooLong, Add };

struct AddPatternResult {
    AddPatternCheck check;
    QString pattern; // the pattern to append, for Add
    QString message; // the message to show, for the two refusals
};

// Checks a pattern typed in the Preferences dialog before it joins the list.
AddPatternResult checkNewPattern(const QString& extText);

// The message shown when the Preferences dialog opens on a file too large to read whole.
QString preferencesTooLargeText(const QString& path);

// The message shown when writing the preferences file failed, or left an old spelling behind.
QString preferencesSaveFailedText(const WriteResult& result);

} // namespace zq2
