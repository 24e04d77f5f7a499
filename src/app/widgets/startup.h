#pragma once

#include "platform/programfolders.h"

#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace zq2 {

class Dialogs;
class MainWindow;
class Prompter;

struct StartupOptions {
    ProgramFolders folders;
    Prompter* prompter = nullptr;
    Dialogs* dialogs = nullptr;
    int splashMilliseconds = 1500;
    // Asked after the splash window has closed; true ends this copy silently.
    std::function<bool()> anotherCopyRunning;
};

// The start of the program: the splash window (modal, for its fixed time), then the check for a
// running copy, then the main window's start-up sequence. Returns the main window, not yet shown,
// or nothing when another copy runs; in that case nothing has been read or written.
std::unique_ptr<MainWindow> startProgram(const StartupOptions& options);

// Puts a top-level window in the middle of its screen.
void centreOnScreen(QWidget* window);

} // namespace zq2
