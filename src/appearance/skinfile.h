#pragma once

#include "appearance/skinvalues.h"

#include <QString>

#include <optional>

namespace zq2 {

// Reads a colour line of a skin makefile: the hexadecimal digits (either case, no prefix) from the
// start of the line up to the first character that is not one. A line that does not start with a
// digit gives 0. The number is read unsigned, so "FFFF" is 0x0000FFFF. A number too large for 32
// bits saturates at 0xFFFFFFFF, which names no known system colour and so shows the face colour.
ColourValue parseColourLine(const QString& line);

// The full path that a picture line names: the line itself when it is a full path, otherwise the
// line taken relative to the program's own folder `appDir` (never to the skin makefile's folder).
// Skins made on Windows load here too: "\" separates folders in a relative line, and letter case
// is ignored (followPathIgnoringCase). An empty line yields the program's folder, which is no picture.
QString picturePathFor(const QString& line, const QString& appDir);

// The part of a skin that the main window applies at once: its background picture (line 1) and the
// back colours of its two "File Info:" frames (lines 2 and 3). Each is empty when the file has no
// such line, in which case the window keeps what it shows.
struct MainWindowSkin {
    std::optional<QString> picture;
    std::optional<ColourValue> frame1;
    std::optional<ColourValue> frame2;
};

// Reads the skin makefile `sFile`: ten positional lines ended by CR LF (a lone LF also ends a line),
// picture lines taken as the bytes they hold (decodeStoredPath).
// Lines 4 to 10 go into `values`; lines 1 to 3 are returned for the main window. A value whose line
// the file lacks keeps what it held, nothing is reset first, and lines after the tenth are ignored.
// A file that cannot be opened changes nothing. Only the start of the file is read and each line is
// cut at a sane length, so a huge or binary file is harmless.
MainWindowSkin loadSkinFile(const QString& sFile, const QString& appDir, SkinValues& values);

// The design look for the dialogs: no pictures, every colour the system face colour.
void turnOffSkin(SkinValues& values);

} // namespace zq2
