#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QFile;

namespace zq2 {

// Whether a path typed by the user, or read from a settings or skin file, names a full path of its own.
// Windows: a drive letter and a colon ("C:..."), tested on the second character only.
// Elsewhere: a path that begins with "/".
bool isAbsoluteSettingPath(const QString& text);

// The last part of a path, the name of the file or folder it leads to: what follows the last
// separator ("/", and "\\" on Windows), a separator at the very end left aside.
QString lastPathPart(const QString& path);

// Whether the system's file names ignore letter case themselves, so that looking a name up by its
// exact spelling finds every spelling of it.
#ifdef Q_OS_WIN
inline constexpr bool kNamesIgnoreCase = true;
#else
inline constexpr bool kNamesIgnoreCase = false;
#endif

// folder + separator + name, with the platform's separator. No cleaning: the parts stay as given.
QString joinPath(const QString& folder, const QString& name);

// The download cache of a game folder; empty when the game folder is not known yet, so that an
// unset game folder never turns into a path at the root of the file system.
QString cacheDirOf(const QString& gameDir);

// A path as the user should see it: native separators, and bytes that are not valid UTF-8 drawn as
// U+FFFD (see displayFileName).
QString displayPath(const QString& path);

// The length of the plain file at `path` (a link counts as what it points to), or nothing when there
// is no such file or it is something else. The path is handed to the system as its exact bytes.
std::optional<qint64> plainFileSize(const QString& path);
inline bool isPlainFile(const QString& path) {
    return plainFileSize(path).has_value();
}

// Finds a plain file (or a link to one) named `name` in `folder`, ignoring letter case, and
// returns its path as the file system spells it. An exact match wins over other spellings. Letter
// case is ignored only where the name decodes (see decodeFileName); other bytes must be the same.
// On file systems that ignore case anyway this is a single lookup.
std::optional<QString> findFileIgnoringCase(const QString& folder, const QString& name);

// Whether `path` names anything, a link counting as what it points to (a link to nothing does not).
// The path is handed to the system as its exact bytes.
bool existsFollowingLinks(const QString& path);

// Whether `path` names a folder (a link counts as what it points to). The path is handed to the
// system as its exact bytes.
bool isFolder(const QString& path);

// `relative` taken from `folder`, for paths written in files that may come from another system (skin
// picture lines): "\" separates folders as "/" does, and each part is looked up ignoring letter case
// as findFileIgnoringCase does, an exact spelling first. From the first part that is not there on,
// the parts stay as written. On Windows, where the system does both itself, the two are joined.
QString followPathIgnoringCase(const QString& folder, const QString& relative);

// The paths of the plain files (or links to them) in `folder` whose names differ from `name` in letter
// case only, while a file spelled exactly `name` is there too. Empty on file systems that ignore case,
// where the two spellings would be one file.
QStringList otherSpellings(const QString& folder, const QString& name);

} // namespace zq2
