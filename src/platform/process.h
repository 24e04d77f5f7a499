#pragma once

#include "platform/fileerror.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace zq2 {

// A program to start: its path, its arguments (each passed on as one argument, never through a
// shell) and whether its window opens maximized.
struct LaunchRequest {
    QString program;
    QStringList arguments;
    bool maximized = false;
};

// What the game folder's play button starts, by its caption:
// - "Play" alone (no file shown yet) or no selected file: nothing;
// - a caption beginning with "Play" ("Play level1.z2l"): the game, gameDir/Zeno2.exe, with the
//   selected file's bare name as its one argument, in a normal window;
// - a caption beginning with "Laun" ("Launch ZLE"): gameDir/ZLE.exe without arguments, maximized;
// - anything else: nothing.
// Captions compare ignoring letter case.
std::optional<LaunchRequest> seeFileLaunch(const QString& seeFileCaption, const QString& selectedName,
                                           const QString& gameDir);

// Starts the program and returns at once, without waiting for it or watching it. The program
// inherits this program's current folder. Where the file name of the program differs only in
// letter case from the one asked for, that file is started. On systems other than Windows a
// Windows program (*.exe) is started through "wine" when wine is on the PATH, and directly
// otherwise. The program's path and its arguments reach it as the exact bytes of the names they
// hold (see encodeFileName). A program that is missing, is a folder or may not be executed is
// reported with ENOENT, EISDIR or EACCES; a Windows program that the system cannot run while wine
// is not on the PATH with kWindowsProgramWithoutWine; any other refusal with the system's reason.
FileError startDetached(const LaunchRequest& request);

} // namespace zq2
