#pragma once

#include <QString>
#include <QStringList>

namespace zq2 {

// What the command line asks for: start (and add the files named, if any, to the game folder), or
// answer one of the two requests for information; anything else is a mistake answered with the
// usage.
struct CommandLineRequest {
    enum class Action { Run, Help, Version, Misuse };
    Action action = Action::Run;
    // What to print: the help or the version on standard output, a mistake and the usage on
    // standard error. Empty for Run.
    QString text;
    int exitCode = 0; // 0, or 2 for a mistake
    // For Run: the files to add, as full paths held as decodeFileName holds names, so that a name
    // that is not valid UTF-8 still leads to its file. Empty when none were named.
    QStringList files;
};

// The program's arguments as the system gave them, before the toolkit has seen them: each one held
// as decodeFileName holds names, so that a file name keeps its exact bytes.
QStringList programArguments(int argc, char** argv);

// The current folder, as decodeFileName holds names.
QString currentFolder();

// Reads `arguments` as the program got them, its own path first, before the toolkit has taken its
// own options out: those are accepted and left to it. Every other argument must name a plain file
// (after links); a relative one is taken from `workingFolder`. Help wins over the version, and both
// over a mistake, so that "--help" answers even after a mistyped option.
CommandLineRequest readCommandLine(const QStringList& arguments, const QString& workingFolder);

} // namespace zq2
