#pragma once

#include "platform/fileerror.h"

#include <QList>
#include <QString>

namespace zq2 {

// Removes one file: into the desktop's trash where there is one, so that a mistaken deletion can be
// undone, and deleted outright where the trash cannot take it (see moveToTrash). Either way the file
// is gone from its folder and the result is success; it never waits on the trash. A missing file, a
// folder, or a file that can neither be trashed nor deleted is a failure with the reason.
FileError removeFile(const QString& path);

// "Are you sure you want to delete <title> (<file name>)?", where the title is the title label's
// caption less its first seven characters ("Title: ") and the file name is shown as
// displayFileName shows it. A file without a title (its label reads "No Title") is named
// "this file" instead: "Are you sure you want to delete this file (song.z2b)?"
QString deleteQuestion(const QString& titleLabelCaption, const QString& fileName);

// "Are you sure you want to delete these <count> files?", or "... this 1 file?" for a single file.
QString clearCacheQuestion(int count);

// "Cache is empty."
QString cacheIsEmptyText();

// A file that could not be handled, by the name the user knows it by, and why in words.
struct NamedFailure {
    QString name;
    QString reason;
};

// One message for one or many failed operations, `verbPhrase` saying what failed ("Could not copy").
// One failure: "Could not copy level1.z2l: Permission denied."
// Several: "Could not copy 7 files:" followed by one line "name: reason" for each of the first
// five and a last line "and 2 more." when there are more. Names are bare file names, as
// displayFileName shows them. Empty when there is no failure.
QString failureReport(const QString& verbPhrase, const QList<NamedFailure>& failures);

// The same for failures of the file system, each named by the bare file name of its path.
QString failureReport(const QString& verbPhrase, const QList<FileError>& failures);

} // namespace zq2
