#include "fileops/filecopy.h"

#include "fileops/pendingfile.h"
#include "platform/nativefile.h"
#include "platform/nativepath.h"
#include "platform/paths.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>

namespace zq2 {

namespace {

// Piece sizes: each piece should take about kPieceTime, so that a stop is heard within a tenth of a
// second on a slow stick and a fast disk still copies in large steps.
constexpr qint64 kFirstPiece = qint64(1) << 20;
constexpr qint64 kSmallestPiece = qint64(64) << 10;
constexpr qint64 kLargestPiece = qint64(64) << 20;
constexpr auto kPieceTime = std::chrono::milliseconds(25);

CopyOutcome failed(const FileError& error) {
    return {CopyOutcome::Result::Failed, error, {}};
}

CopyOutcome cancelled() {
    return {CopyOutcome::Result::Cancelled, {}, {}};
}

// Copies everything `in` holds into `pending`: as many bytes as it had when it was opened.
CopyOutcome copyBytes(InputFile& in, PendingFile& pending, const CopyControl& control) {
    ByteMover mover(in, pending.output(), control.kernelCopy);
    const qint64 expected = in.size();
    qint64 done = 0;
    qint64 piece = kFirstPiece;
    using Clock = std::chrono::steady_clock;
    // Up to the length the source had when it was opened; a source that grew or shrank since shows
    // in its length or time afterwards, without another call to find its end.
    while (done < expected) {
        const auto started = Clock::now();
        int err = 0;
        bool readSide = false;
        const qint64 got = mover.next(std::min(piece, expected - done), err, readSide);
        if (got < 0)
            return failed(FileError::fromErrno(err, readSide ? in.path() : pending.target()));
        if (got == 0)
            break;
        done += got;
        if (control.progress && !control.progress(std::min(done, expected), expected))
            return cancelled();
        const auto took = Clock::now() - started;
        if (took < kPieceTime / 2 && got == piece)
            piece = std::min(piece * 2, kLargestPiece);
        else if (took > kPieceTime * 2)
            piece = std::max(piece / 2, kSmallestPiece);
    }
    if (done != expected)
        return failed(FileError::fromErrno(kChangedWhileCopied, in.path()));
    if (const FileError changed = in.checkUnchanged())
        return failed(changed);
    return {};
}

} // namespace

CopyOutcome replaceOrCreate(const QString& source, const QString& folder, const QString& name,
                            const std::optional<QString>& existingPath, const CopyControl& control) {
    InputFile in(source);
    if (in.error())
        return failed(in.error());
    PendingFile pending(folder, name, in.copyMode());
    if (pending.error())
        return failed(pending.error());
    if (control.progress && !control.progress(0, in.size()))
        return cancelled();
    if (CopyOutcome copied = copyBytes(in, pending, control); copied.result != CopyOutcome::Result::Copied)
        return copied;
    if (const FileError placed = pending.putInPlace(existingPath))
        return failed(placed);
    return {CopyOutcome::Result::Copied, {}, pending.leftBehind()};
}

FileSize fileSize(const QString& path) {
    std::error_code error;
    const auto bytes = std::filesystem::file_size(toFsPath(path), error);
    if (error)
        return {0, FileError::fromErrno(errnoOf(error), path)};
    return {static_cast<qint64>(bytes), FileError::none()};
}

CopyOutcome copyWithQuestion(const QString& source, const QString& folder, const QString& name,
                             const std::optional<QString>& existing, const AskReplace& askReplace,
                             const CopyControl& control) {
    if (existing) {
        const FileSize oldSize = fileSize(*existing);
        if (oldSize.error)
            return failed(oldSize.error);
        const FileSize newSize = fileSize(source);
        if (newSize.error)
            return failed(newSize.error);
        if (askReplace && !askReplace(name, oldSize.bytes, newSize.bytes))
            return {CopyOutcome::Result::Declined, {}, {}};
    }
    return replaceOrCreate(source, folder, name, existing, control);
}

CopyOutcome copyZQ2File(const QString& sourceDir, FolderIndex& gameFolder, const QString& name,
                        const AskReplace& askReplace, const CopyControl& control) {
    const std::optional<QString> existing = gameFolder.find(name);
    CopyOutcome outcome =
        copyWithQuestion(joinPath(sourceDir, name), gameFolder.folder(), name, existing, askReplace, control);
    if (outcome.result == CopyOutcome::Result::Copied)
        gameFolder.noteCopied(name);
    return outcome;
}

} // namespace zq2
