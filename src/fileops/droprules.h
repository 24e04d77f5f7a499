#pragma once

#include <QString>

namespace zq2 {

// A file name as a message shows it: on one line, whatever the name holds. Bytes that are not
// UTF-8 are drawn as U+FFFD (see displayFileName), control characters as their visible pictures
// (a line feed as U+240A), and characters that break or reorder a line as U+FFFD, so that no name
// can add lines of its own to a message or pose as another name. For display only.
QString messageName(const QString& name);

// Why a file could not be used under `name` in a game folder that a copy of the game on Windows
// shares, in words ("its name holds \"?\", which Windows does not allow in file names"), or an
// empty string: a control character, any of <>:"\|?*, a last character that is a dot or a
// space, or a device name of Windows (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9) before the
// first dot.
QString unusableNameReason(const QString& name);

// What stands at `path` in place of a file that a drop would put there, in words ("a folder of
// that name is in the way"), or an empty string when nothing is there or a plain file (or a link
// to one) is, which the replace question deals with.
QString inTheWay(const QString& path);

// Why the dropped `path` cannot be read as a file, in words ("it is a named pipe, not a file"), or an
// empty string for a plain file or a link to one. Folders are told apart before this is asked.
QString notAFile(const QString& path);

} // namespace zq2
