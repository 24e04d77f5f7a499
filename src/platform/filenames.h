#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace zq2 {

// File names and paths are held as QString throughout the program, but on POSIX systems a name is
// any run of bytes, and names unpacked from old archives are often not valid UTF-8. Decoding them
// the usual way turns every such byte into U+FFFD, so two different files can end up with one text,
// and the text leads back to neither of them.
//
// decodeFileName keeps every name apart and reversible: valid UTF-8 is decoded as usual, and each
// byte that is not part of a valid sequence becomes the lone surrogate U+DC80..U+DCFF of the same low
// byte (0xE9 -> U+DCE9). No valid UTF-8 ever decodes to a lone surrogate, so encodeFileName can give
// back the exact bytes. Letter case is folded on the decoded parts only; an escaped byte has no case,
// so comparisons ignoring case still tell 0xE9 from 0xC9.
//
// Qt's own file classes encode lone surrogates as U+FFFD, which names a different file: a name or a
// path that may hold escaped bytes goes to the system only through encodeFileName (or the helpers
// built on it), never through QFile, QFileInfo, QDir or QProcess.
// Whether every byte, or every character, is plain ASCII: names and texts with nothing to decode or
// fold beyond letter case, which most are.
bool isAscii(QByteArrayView bytes);
bool isAscii(QStringView text);

QString decodeFileName(QByteArrayView bytes);
QByteArray encodeFileName(QStringView text);

// The name with the letter case of its decoded parts folded, for comparing names ignoring case;
// escaped bytes stay as they are. (QString::toCaseFolded writes them as U+FFFD whenever it has a
// letter to fold, which would make "CAF\xE9" the same name as "caf\uFFFD".)
QString foldFileName(const QString& name);

// A name or path as the user sees it: every escaped byte drawn as U+FFFD. For display only; it no
// longer names the file.
QString displayFileName(const QString& text);

// What a text box that was given displayFileName(value) stands for when it is read back: `value`
// while the box still shows it so, so that a path the box can only show with U+FFFD is saved
// unchanged; otherwise what was typed.
QString typedOrKept(const QString& boxText, const QString& value);

// A path or a file-name pattern kept in one of the program's 8-bit text files (settings.ini,
// preferences.ini, skin makefiles): the file system's own bytes on POSIX systems, so that any folder
// the system can name can be stored and found again; the system's 8-bit code page on Windows, where
// names are UTF-16.
QString decodeStoredPath(QByteArrayView bytes);
QByteArray encodeStoredPath(QStringView text);

} // namespace zq2
