#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace zq2 {

// Whether a path typed by the user, or read from a settings or skin file, names a full path of its own.
// Windows: a drive letter and a colon ("C:..."), tested on the second character only.
// Elsewhere: a path that begins with "/".
bool isAbsoluteSettingPath(const QString& text);

// folder + separator + name, with the platform's separator. No cleaning: the parts stay as given.
QString joinPath(const QString& folder, const QString& name);

// The download cache of a game folder; empty when the game folder is not known yet, so that an
// unset game folder never turns into a path at the root of the file system.
QString cacheDirOf(const QString& gameDir);

// A path as the user should see it (native separators).
QString displayPath(const QString& path);

// Finds a plain file (or a link to one) named `name` in `folder`, ignoring letter case, and
// returns its path as the file system spells it. An exact match wins over other spellings.
// On file systems that ignore case anyway this is a single lookup.
std::optional<QString> findFileIgnoringCase(const QString& folder, const QString& name);

// The paths of the plain files (or links to them) in `folder` whose names differ from `name` in letter
// case only, while a file spelled exactly `name` is there too. Empty on file systems that ignore case,
// where the two spellings would be one file.
QStringList otherSpellings(const QString& folder, const QString& name);

} // namespace zq2
