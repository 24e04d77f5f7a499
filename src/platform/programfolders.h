#pragma once

#include "platform/fileerror.h"

#include <QString>

namespace zq2 {

// The folders the program works with. They are worked out once at start and handed to whoever needs
// them, so that tests can lay out any of the three situations over temporary folders.
struct ProgramFolders {
    // The folder of the executable. The keyword APP-PATH, the look for Zeno2.exe beside the program
    // and skin picture lines that are not full paths all mean this folder, installed or not.
    QString appDir;
    // Where settings.ini and preferences.ini live: the executable's folder for a portable copy, the
    // user's configuration folder for an installed one (the system's bin folder is not theirs).
    QString configDir;
    // The installed copy's data folder (help file, sample skin); empty for a portable copy.
    QString dataDir;

    bool installed() const { return !dataDir.isEmpty(); }
};

// The data folder of an installed copy, relative to the executable's folder ("../share/zq2org" for
// the usual layout of `cmake --install` and the Debian package).
QString dataDirFromAppDir();

// Works out the folders of a copy whose executable lies in `appDir`. The copy counts as installed
// when its data folder exists beside it; whether `appDir` can be written plays no part, since root
// can write /usr/bin. `userConfigDir` is the user's configuration folder for this program, which
// need not exist yet: it is made when a file is first written there.
ProgramFolders programFolders(const QString& appDir, const QString& userConfigDir);

// The folders of the running program: its executable's folder and the user's configuration folder
// for it, both as the system spells them, so that folders whose names are not UTF-8 are found again.
ProgramFolders runningProgramFolders();

// A copy that keeps everything beside its executable.
ProgramFolders portableFolders(const QString& appDir);

// A file that comes with the program, such as the help file: the one beside the executable when it
// is there (a portable copy, or one the user put there), else the one in the data folder. When
// neither exists, the path beside the executable, so that a message about it names where it belongs.
QString shippedFile(const ProgramFolders& folders, const QString& name);

// Makes `folder` and any missing folders above it. Fails, naming the folder and the reason, when
// something that is not a folder is in the way or the parent cannot be written.
FileError makeFolder(const QString& folder);

} // namespace zq2
