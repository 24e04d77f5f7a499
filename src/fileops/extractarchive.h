#pragma once

#include "fileops/deletion.h"
#include "fileops/filecopy.h"
#include "fileops/folderindex.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace zq2 {

// Whether a file is taken for an archive whose game files are extracted rather than copied as it
// is: .zip, .7z, .rar, .lzh, .lha, and tar archives plain or compressed with gzip, bzip2 or xz
// (.tar, .tar.gz, .tgz, .tar.bz2, .tbz2, .tar.xz, .txz). Letter case is ignored.
bool isArchiveName(const QString& fileName);

// Bounds that keep a broken or hostile archive from filling the disk or the memory.
struct ExtractLimits {
    qint64 fileBytes = qint64(64) << 20; // one game file; a larger one is left out
    qint64 totalBytes = qint64(1) << 30; // all game files of a run together
    int newFiles = 5000;                 // files a run adds to the folder, replaced ones not counted
    qint64 members = 100000;             // members read in a run, of any kind
    qint64 unpackedPerByteRead = 1000;   // bytes unpacked for each byte read from one archive
    qint64 memory = qint64(64) << 20;    // dictionary or model that one archive's compression may ask for
};

// The limits and what a run has used of them. A drop of several archives passes one budget to
// each extraction, so that the limits hold for the drop as a whole.
struct ExtractBudget {
    ExtractLimits limits;
    qint64 gameBytes = 0;
    int newFiles = 0;
    qint64 members = 0;
};

// Called between blocks and between members with the bytes of the archive read so far, its whole
// size in bytes and the number of members looked at so far. Returning false cancels the run.
using ExtractProgress = std::function<bool(qint64 done, qint64 total, qint64 members)>;

struct ExtractResult {
    enum class End {
        Completed,    // every member was looked at
        Cancelled,    // the progress callback asked to stop
        Stopped,      // the archive cannot be read on; see stopReason
        LimitReached, // the budget is spent: nothing more is to be added; see stopReason
    };
    End end = End::Completed;
    QString stopReason;           // why the run stopped, in words, when it Stopped or reached a limit
    QStringList extracted;        // the names put in place, in archive order
    int gameFiles = 0;            // members named like game files, whatever became of them
    QList<NamedFailure> failures; // members that were left out, named as messageName shows them
};

// Extracts the members of `archivePath` whose base names match "*.z2l;*.z2t;*.z2b" (ignoring case)
// into the folder of `folder`, each under its base name: folders inside the archive are flattened,
// and "../" or an absolute path never lead anywhere else. A file already there under any letter
// case is replaced only when `askReplace` says yes (asked with its size and the member's size as
// unpacked); no leaves both as they are. Each member is written to a hidden file first and renamed
// only when complete, so that a failure, a limit or a cancel never leaves a half-written file nor
// loses an old one; the files already in place when the run ends stay.
//
// Left out without a word: members that are not game files, whatever their names; names beginning
// with a dot, and everything under "__MACOSX/", which are the hidden leftovers of other systems.
// Left out and reported in `failures`: a game file whose name a game folder shared with Windows
// cannot hold (see unusableNameReason), links and device entries, members protected by a password,
// members larger than the limit (by the size the archive declares, or by what they unpack to), a
// damaged member, where the format lets the reading go on after it, and a member that cannot be
// unpacked or written. Member names are read the same whatever the process's locale: UTF-8 where
// the archive says so, the DOS code page 437 for zip names that are not marked, the bytes as they
// are for tar.
ExtractResult extractGameFiles(const QString& archivePath, FolderIndex& folder, const AskReplace& askReplace,
                               const ExtractProgress& progress, ExtractBudget& budget);

// The same for one archive alone, with a budget of its own.
ExtractResult extractGameFiles(const QString& archivePath, FolderIndex& folder, const AskReplace& askReplace,
                               const ExtractProgress& progress = {}, const ExtractLimits& limits = {});

// The one message that tells how an extraction from the archive `archiveName` (as messageName
// shows it) went, or empty when there is nothing to tell: "Could not extract <archive>: <reason>."
// when it stopped, "No level, tileset or music files in <archive>." when it held none, then the
// members left out in the style of failureReport ("Could not extract ...").
QString extractionReport(const QString& archiveName, const ExtractResult& result);

} // namespace zq2
