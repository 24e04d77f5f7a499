#pragma once

#include <QString>
#include <QStringList>

namespace zq2 {

// What the command line asks for. The program takes no arguments of its own; it only answers the
// two requests for information, and anything else is a mistake answered with the usage.
struct CommandLineRequest {
    enum class Action { Run, Help, Version, Misuse };
    Action action = Action::Run;
    // What to print: the help or the version on standard output, a mistake and the usage on
    // standard error. Empty for Run.
    QString text;
    int exitCode = 0; // 0, or 2 for a mistake
};

// Reads `arguments` as the program got them, its own path first. Help wins over the version, and
// both over a mistake, so that "--help" answers even after a mistyped option.
CommandLineRequest readCommandLine(const QStringList& arguments);

} // namespace zq2
