#include "fileops/extractarchive.h"

#include "catalogue/namepattern.h"
#include "fileops/archivereader.h"
#include "fileops/pendingfile.h"

#include <algorithm>

namespace zq2 {

namespace {

constexpr qint64 kZeroBlock = 64 * 1024;

// The last part of a member path. Archives made on Windows may separate folders with "\".
QString baseName(const QString& path) {
    const qsizetype slash = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(slash + 1);
}

// A base name that could not be used as it is: nothing, this or the parent folder, or a drive or
// data stream on Windows ("C:level.z2l", "level.z2l:hidden").
bool isUsableName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char(':'));
}

QString sizeText(qint64 bytes) {
    struct Unit {
        int shift;
        const char* name;
    };
    for (const Unit unit : {Unit{30, "GiB"}, Unit{20, "MiB"}, Unit{10, "KiB"}}) {
        if (bytes >= (qint64(1) << unit.shift) && bytes % (qint64(1) << unit.shift) == 0)
            return QString::number(bytes >> unit.shift) + QLatin1Char(' ') + QLatin1String(unit.name);
    }
    return QString::number(bytes) + QStringLiteral(" bytes");
}

class Extraction {
public:
    Extraction(FolderIndex& folder, const AskReplace& askReplace, const ExtractProgress& progress,
               const ExtractLimits& limits)
        : folder_(folder)
        , askReplace_(askReplace)
        , progress_(progress)
        , limits_(limits)
        , gamePattern_(defaultListPattern()) {}

    ExtractResult run(const QString& archivePath);

private:
    // What the run does after a step: go on, leave the rest of this member, or end the run.
    enum class Flow { Go, Skip, Stop };

    Flow member(archive_entry* entry);
    Flow unpack(const QString& name);
    template <typename Take> Flow eachBlock(Take take);
    Flow skipData();
    Flow checkRatio();
    Flow counted(qint64 bytes, qint64 written, const QString& name);
    bool keepGoing();
    Flow stop(const QString& reason);
    Flow cancelled();
    void fail(const QString& name, const QString& reason) { result_.failures.append({name, reason}); }

    FolderIndex& folder_;
    const AskReplace& askReplace_;
    const ExtractProgress& progress_;
    const ExtractLimits& limits_;
    NamePattern gamePattern_;
    ArchiveReader reader_;
    archive* a_ = reader_.handle();
    ExtractResult result_;
    qint64 gameBytes_ = 0; // written into the folder for game files, all members together
    qint64 unpacked_ = 0;  // handed out by libarchive for any member
};

Extraction::Flow Extraction::stop(const QString& reason) {
    result_.end = ExtractResult::End::Stopped;
    result_.stopReason = reason;
    return Flow::Stop;
}

Extraction::Flow Extraction::cancelled() {
    result_.end = ExtractResult::End::Cancelled;
    return Flow::Stop;
}

bool Extraction::keepGoing() {
    return !progress_ || progress_(reader_.bytesDone(), reader_.size());
}

ExtractResult Extraction::run(const QString& archivePath) {
    if (const QString failure = reader_.open(archivePath); !failure.isEmpty()) {
        stop(failure);
        return result_;
    }
    for (;;) {
        if (!keepGoing()) {
            cancelled();
            break;
        }
        archive_entry* entry = nullptr;
        const int status = archive_read_next_header(a_, &entry);
        if (status == ARCHIVE_EOF)
            break;
        // A warning concerns the header only, such as a name that could not be converted; the
        // name is then used as stored.
        if (status < ARCHIVE_WARN) {
            stop(archive_read_has_encrypted_entries(a_) > 0 ? QStringLiteral("it is protected by a password")
                                                            : reader_.damage());
            break;
        }
        if (member(entry) == Flow::Stop)
            break;
    }
    return result_;
}

Extraction::Flow Extraction::member(archive_entry* entry) {
    const auto type = archive_entry_filetype(entry);
    if (type == AE_IFDIR)
        return Flow::Go;
    const QString path = memberPath(entry);
    const QString name = baseName(path);
    const bool gameFile = gamePattern_.matches(name);
    if (gameFile)
        ++result_.gameFiles;
    if (!isUsableName(name)) {
        fail(path.isEmpty() ? QStringLiteral("a member without a name") : path,
             QStringLiteral("its name cannot be used as a file name"));
        return skipData();
    }
    if (!gameFile)
        return skipData();
    if (type == AE_IFLNK || archive_entry_hardlink(entry) != nullptr)
        fail(name, QStringLiteral("it is a link, not a file"));
    else if (type != AE_IFREG)
        fail(name, QStringLiteral("it is a device, not a file"));
    else if (archive_entry_is_data_encrypted(entry))
        fail(name, QStringLiteral("it is protected by a password"));
    else
        return unpack(name);
    return skipData();
}

// Hands the member's data to `take(data, size, offset)` block by block, polling for a cancel in
// between. Data that cannot be unpacked leaves the member (Skip, the reason with the reader);
// damage to the archive itself ends the run.
template <typename Take> Extraction::Flow Extraction::eachBlock(Take take) {
    for (;;) {
        const void* block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        const int status = archive_read_data_block(a_, &block, &size, &offset);
        if (status == ARCHIVE_EOF)
            return Flow::Go;
        if (status == ARCHIVE_FATAL)
            return stop(reader_.damage());
        if (status != ARCHIVE_OK)
            return Flow::Skip; // a bad checksum or a method this version cannot unpack
        if (const Flow flow = take(static_cast<const char*>(block), static_cast<qint64>(size), offset);
            flow != Flow::Go)
            return flow;
        if (!keepGoing())
            return cancelled();
    }
}

// Passes over a member's data. Zip archives are read by seeking, so their members can be skipped
// unread; in the other formats skipping means unpacking anyway, and unpacking block by block keeps
// a cancel and the ratio limit working while it runs.
Extraction::Flow Extraction::skipData() {
    if ((archive_format(a_) & ARCHIVE_FORMAT_BASE_MASK) == ARCHIVE_FORMAT_ZIP) {
        if (archive_read_data_skip(a_) == ARCHIVE_FATAL)
            return stop(reader_.damage());
        return Flow::Go;
    }
    // Unreadable data is left as it is: the next header tells whether the archive can be read on.
    const Flow flow = eachBlock([this](const char*, qint64 size, qint64) {
        unpacked_ += size;
        return checkRatio();
    });
    return flow == Flow::Stop ? Flow::Stop : Flow::Go;
}

// Counts `bytes` more of the game file `name`, of which `written` are now written, against the limits.
Extraction::Flow Extraction::counted(qint64 bytes, qint64 written, const QString& name) {
    gameBytes_ += bytes;
    unpacked_ += bytes;
    if (written > limits_.fileBytes)
        return stop(QStringLiteral("%1 is larger than %2").arg(name, sizeText(limits_.fileBytes)));
    if (gameBytes_ > limits_.totalBytes)
        return stop(QStringLiteral("its level, tileset and music files add up to more than %1")
                        .arg(sizeText(limits_.totalBytes)));
    return checkRatio();
}

// Header sizes can lie, so the bytes are counted as they come. Compared with all bytes read so far
// rather than per member, read-ahead can only make the ratio look smaller than it is, never larger.
Extraction::Flow Extraction::checkRatio() {
    if (unpacked_ <= limits_.unpackedPerByteRead * std::max<qint64>(reader_.bytesRead(), 1))
        return Flow::Go;
    return stop(QStringLiteral("it unpacks to more than %1 times its size, as only a damaged or hostile "
                               "archive does")
                    .arg(limits_.unpackedPerByteRead));
}

Extraction::Flow Extraction::unpack(const QString& name) {
    const std::optional<QString> existing = folder_.find(name);
    qint64 oldSize = 0;
    if (existing) {
        const FileSize size = fileSize(*existing);
        if (size.error) {
            fail(name, size.error.reason());
            return skipData();
        }
        oldSize = size.bytes;
    }
    PendingFile pending(folder_.folder(), name);
    if (pending.error()) {
        fail(name, pending.error().reason());
        return skipData();
    }
    static const QByteArray zeros(kZeroBlock, '\0');
    qint64 written = 0;
    QString failure;
    const auto put = [&](const char* data, qint64 size) {
        if (const FileError error = pending.write(data, size)) {
            failure = error.reason();
            return Flow::Skip;
        }
        written += size;
        return counted(size, written, name);
    };
    const Flow flow = eachBlock([&](const char* data, qint64 size, qint64 offset) {
        // A gap before the block is a hole of a sparse file, which holds zeros.
        while (written < offset) {
            if (const Flow gap = put(zeros.constData(), std::min<qint64>(offset - written, zeros.size()));
                gap != Flow::Go)
                return gap;
        }
        return put(data, size);
    });
    if (flow == Flow::Stop)
        return Flow::Stop;
    if (flow == Flow::Skip) {
        fail(name, failure.isEmpty() ? QStringLiteral("it cannot be unpacked (%1)").arg(reader_.reason())
                                     : failure);
        return skipData();
    }
    // Asked once the member is unpacked, so that the question shows its real size rather than the
    // one its header claims.
    if (existing && askReplace_ && !askReplace_(name, oldSize, written))
        return Flow::Go;
    if (const FileError error = pending.putInPlace(existing)) {
        fail(name, error.reason());
        return Flow::Go;
    }
    folder_.noteCopied(name);
    result_.extracted.append(name);
    return Flow::Go;
}

} // namespace

bool isArchiveName(const QString& fileName) {
    static const char* const kEndings[] = {".zip", ".7z",     ".rar",  ".lzh",     ".lha",    ".tar",
                                           ".tgz", ".tar.gz", ".tbz2", ".tar.bz2", ".tar.xz", ".txz"};
    return std::any_of(std::begin(kEndings), std::end(kEndings), [&](const char* ending) {
        return fileName.endsWith(QLatin1String(ending), Qt::CaseInsensitive);
    });
}

ExtractResult extractGameFiles(const QString& archivePath, FolderIndex& folder, const AskReplace& askReplace,
                               const ExtractProgress& progress, const ExtractLimits& limits) {
    return Extraction(folder, askReplace, progress, limits).run(archivePath);
}

QString extractionReport(const QString& archiveName, const ExtractResult& result) {
    QStringList parts;
    if (result.end == ExtractResult::End::Stopped)
        parts << QStringLiteral("Could not extract %1: %2.").arg(archiveName, result.stopReason);
    else if (result.end == ExtractResult::End::Completed && result.gameFiles == 0)
        parts << QStringLiteral("No level, tileset or music files in %1.").arg(archiveName);
    if (!result.failures.isEmpty())
        parts << failureReport(QStringLiteral("Could not extract"), result.failures);
    return parts.join(QLatin1Char('\n'));
}

} // namespace zq2
