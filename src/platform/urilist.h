#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

class QDropEvent;

namespace zq2 {

// The local files that a drag from another program carries as a text/uri-list: each file:// URL,
// percent-decoded to the bytes of its path and held as decodeFileName holds names, so that a file
// whose name is not valid UTF-8 is still found. Comment lines, other schemes and URLs of other
// hosts (anything but an empty host or "localhost") are left out, and so are a URL with a "%" that
// is not followed by two hexadecimal digits, and a path holding a NUL byte, which the system would
// read only up to that byte. On Windows "file:///C:/x" is C:/x.
QStringList localPathsFromUriList(QByteArrayView uriList);

// The text/uri-list that offers the files at `paths` to other programs: one file:// URL per line,
// each ended by CR LF, with every byte of the path that is not plain ASCII percent-encoded.
QByteArray uriListOfPaths(const QStringList& paths);

// The MIME type of a list of files dragged between programs.
inline QString uriListType() {
    return QStringLiteral("text/uri-list");
}

// The local files a drag or drop carries, when it lets them stay where they are (a copy): a drag
// that offers only a move is refused, as the program it came from would delete the files.
QStringList droppableFiles(const QDropEvent* event);

// Whatever the other program proposed, what is dropped here is copied: takes the drag or drop as a
// copy when `taken`, refuses it otherwise.
void answerAsCopy(QDropEvent* event, bool taken);

// The files of a drag or drop (droppableFiles), which is taken as a copy; none, and refused, when it
// carries none.
QStringList takeAsCopy(QDropEvent* event);

} // namespace zq2
