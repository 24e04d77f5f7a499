#pragma once

#include "platform/fileerror.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class QIODevice;

namespace zq2 {

// How much of a hand-editable text file we are willing to look at. The files are a few lines long;
// the bounds only keep a damaged or foreign file (binary junk, a huge file) from costing time or memory.
struct LineLimits {
    int maxLines = 2;
    qsizetype maxLineBytes = 32 * 1024; // bytes kept of a longer line; the rest is skipped
    qint64 maxTotalBytes = 1024 * 1024; // bytes read at most; lines past this point are not seen
};

// Splits the start of `device` into lines. A line ends at CR (an LF right after it belongs to the
// same line end), at a lone LF, or at the end of the data; a line end at the very end does not start
// another, empty line. Reads in chunks and stops as soon as `limits.maxLines` lines are complete.
QList<QByteArray> readLines(QIODevice& device, const LineLimits& limits);

// readLines on the file at `path`; nothing when it cannot be opened or is no regular file (a device,
// a pipe: see openRegularFile).
std::optional<QList<QByteArray>> readFileLines(const QString& path, const LineLimits& limits);

// Every line of a file, none of them cut; or, for a file beyond the bounds it was read with, only
// the finding that it is too large.
struct WholeFileLines {
    QList<QByteArray> lines;
    bool tooLarge = false;
};

// The lines of the file at `path` (split as by readLines) when it holds at most `maxBytes` bytes and
// `maxLines` lines; nothing when it cannot be opened or is no regular file. A file found larger is
// not read any further.
std::optional<WholeFileLines> readWholeFileLines(const QString& path, qint64 maxBytes, int maxLines);

// Replaces the file at `path` by `bytes` as a whole: the new contents go to a temporary file that then
// takes the old one's place, so a failed write leaves the old file as it was.
FileError replaceFileContents(const QString& path, const QByteArray& bytes);

// How writing a file under its exact name went. The new contents are either in place at `path` or
// not written at all; `error` names the file and the reason of the first failure, which after a
// save is an old spelling of the name that could not be removed.
struct WriteResult {
    QString path;
    bool saved = false;
    FileError error;
};

// Writes `bytes` to `name` in `folder`, spelled exactly so, by replaceFileContents, and only then
// removes the files whose names differ from it in letter case alone, so that a reader that ignores
// case finds one file. Any failure leaves the old contents readable under some spelling: a failed
// write leaves the old files as they were, and a spelling left behind loses to the exact name.
WriteResult replaceFileSpelledExactly(const QString& folder, const QString& name, const QByteArray& bytes);

// What to tell the user about a failed write of `what` (plural: "settings", "preferences"): that it
// could not be saved, or that it was saved but an old spelling of the file is still there; either way
// naming the file and the reason.
QString writeFailedText(const QString& what, const WriteResult& result);

// Removes spaces (only U+0020) at both ends. Tabs and other white space are part of a typed path.
QString trimSpaces(const QString& text);

// Whole-line keyword match: letter case ignored, nothing trimmed.
bool sameKeyword(const QString& line, const QString& keyword);

} // namespace zq2
