#include "fileops/extractarchive.h"

#include "catalogue/namepattern.h"
#include "fileops/archivereader.h"
#include "fileops/droprules.h"
#include "fileops/pendingfile.h"

#include <QRegularExpression>

#include <algorithm>
#include <cerrno>

namespace zq2 {

namespace {

constexpr qint64 kZeroBlock = 64 * 1024;
// A damaged tar member is passed over by trying each of its blocks as a header; far more tries
// than that in one archive mean it is not worth reading on.
constexpr int kRetries = 100000;

// The last part of a member path. Archives made on Windows may separate folders with "\".
QString baseName(const QString& path) {
    const qsizetype slash = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(slash + 1);
}

// The hidden leftovers that other systems put into archives: names beginning with a dot (AppleDouble
// "._level.z2l" files among them) and the "__MACOSX" folder of resource forks. The lists never show
// hidden files, so the user could neither see nor remove them.
bool isHiddenJunk(const QString& path, const QString& name) {
    if (name.startsWith(QLatin1Char('.')))
        return true;
    static const QRegularExpression macFolder(QStringLiteral("(^|[/\\\\])__MACOSX([/\\\\]|$)"),
                                              QRegularExpression::CaseInsensitiveOption);
    return macFolder.match(path).hasMatch();
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
               ExtractBudget& budget)
        : folder_(folder)
        , askReplace_(askReplace)
        , progress_(progress)
        , budget_(budget)
        , limits_(budget.limits)
        , gamePattern_(defaultListPattern())
        , reader_(budget.limits.memory) {}

    ExtractResult run(const QString& archivePath);

private:
    // What the run does after a step: go on, leave the rest of this member, or end the run.
    enum class Flow { Go, Skip, Stop };

    Flow member(archive_entry* entry);
    Flow unpack(const QString& name, const QString& shown);
    template <typename Take> Flow eachBlock(Take take);
    Flow skipData();
    Flow checkRatio();
    bool keepGoing();
    Flow stop(const QString& reason);
    Flow limitReached(const QString& reason);
    Flow cancelled();
    // The member whose header is damaged, by the one before it.
    QString unnamedMember() const {
        return lastName_.isEmpty() ? QStringLiteral("the first member")
                                   : QStringLiteral("the member after %1").arg(lastName_);
    }
    void fail(const QString& shown, const QString& reason) { result_.failures.append({shown, reason}); }

    FolderIndex& folder_;
    const AskReplace& askReplace_;
    qint64 membersRead_ = 0; // headers read so far, damaged ones too
    const ExtractProgress& progress_;
    ExtractBudget& budget_;
    const ExtractLimits& limits_;
    NamePattern gamePattern_;
    ArchiveReader reader_;
    archive* a_ = reader_.handle();
    ExtractResult result_;
    QString lastName_;    // of the last member whose header could be read, as shown
    qint64 unpacked_ = 0; // handed out by libarchive for any member of this archive
};

Extraction::Flow Extraction::stop(const QString& reason) {
    result_.end = ExtractResult::End::Stopped;
    result_.stopReason = reason;
    return Flow::Stop;
}

Extraction::Flow Extraction::limitReached(const QString& reason) {
    result_.end = ExtractResult::End::LimitReached;
    result_.stopReason = reason;
    return Flow::Stop;
}

Extraction::Flow Extraction::cancelled() {
    result_.end = ExtractResult::End::Cancelled;
    return Flow::Stop;
}

bool Extraction::keepGoing() {
    return !progress_ || progress_(reader_.bytesDone(), reader_.size(), membersRead_);
}

ExtractResult Extraction::run(const QString& archivePath) {
    if (const QString failure = reader_.open(archivePath); !failure.isEmpty()) {
        stop(failure);
        return result_;
    }
    bool first = true;
    bool retrying = false; // the last header was damaged too: one damage, told once
    int retries = 0;
    for (;;) {
        if (!keepGoing()) {
            cancelled();
            break;
        }
        archive_entry* entry = nullptr;
        const int status = archive_read_next_header(a_, &entry);
        ++membersRead_;
        if (status == ARCHIVE_EOF)
            break;
        if (status == ARCHIVE_FATAL) {
            stop(archive_read_has_encrypted_entries(a_) > 0 ? QStringLiteral("it is protected by a password")
                                                            : reader_.damage());
            break;
        }
        // A damaged header (RETRY) or a member that cannot be read (FAILED): there is no data to
        // read, but the next header may be sound.
        if (status == ARCHIVE_RETRY || status == ARCHIVE_FAILED) {
            const QString path = status == ARCHIVE_FAILED && entry ? memberPath(entry) : QString();
            if (!retrying)
                fail(path.isEmpty() ? unnamedMember() : messageName(baseName(path)),
                     QStringLiteral("it is damaged (%1)").arg(reader_.reason()));
            retrying = status == ARCHIVE_RETRY;
            if (++retries > kRetries) {
                stop(reader_.damage());
                break;
            }
            continue;
        }
        // A warning concerns the header only, such as a name that could not be converted; the
        // name is then used as stored.
        retrying = false;
        if (first) {
            first = false;
            if (const QString refusal = reader_.checkFirstMember(); !refusal.isEmpty()) {
                stop(refusal);
                break;
            }
        }
        if (++budget_.members > limits_.members) {
            limitReached(
                QStringLiteral("the archives of this drop hold more than %1 members").arg(limits_.members));
            break;
        }
        if (member(entry) == Flow::Stop)
            break;
    }
    return result_;
}

Extraction::Flow Extraction::member(archive_entry* entry) {
    const auto type = archive_entry_filetype(entry);
    const QString path = memberPath(entry);
    const QString name = baseName(path);
    if (path.isEmpty()) {
        fail(unnamedMember(), QStringLiteral("its name cannot be read"));
        return skipData();
    }
    lastName_ = messageName(name);
    if (type == AE_IFDIR || !gamePattern_.matches(name) || isHiddenJunk(path, name))
        return type == AE_IFDIR ? Flow::Go : skipData();
    ++result_.gameFiles;
    const QString shown = messageName(name);
    if (const QString why = unusableNameReason(name); !why.isEmpty())
        fail(shown, why);
    else if (type == AE_IFLNK || archive_entry_hardlink(entry) != nullptr)
        fail(shown, QStringLiteral("it is a link, not a file"));
    else if (type != AE_IFREG)
        fail(shown, QStringLiteral("it is a device, not a file"));
    else if (archive_entry_is_data_encrypted(entry))
        fail(shown, QStringLiteral("it is protected by a password"));
    else if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > limits_.fileBytes)
        fail(shown, QStringLiteral("it is larger than %1").arg(sizeText(limits_.fileBytes)));
    else if (archive_entry_size_is_set(entry) &&
             budget_.gameBytes + archive_entry_size(entry) > limits_.totalBytes)
        return limitReached(
            QStringLiteral("the level, tileset and music files of this drop add up to more than %1")
                .arg(sizeText(limits_.totalBytes)));
    else
        return unpack(name, shown);
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
        unpacked_ += static_cast<qint64>(size);
        if (const Flow ratio = checkRatio(); ratio != Flow::Go)
            return ratio;
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
    const Flow flow = eachBlock([](const char*, qint64, qint64) { return Flow::Go; });
    return flow == Flow::Stop ? Flow::Stop : Flow::Go;
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

Extraction::Flow Extraction::unpack(const QString& name, const QString& shown) {
    const std::optional<QString> existing = folder_.find(name);
    qint64 oldSize = 0;
    if (existing) {
        const FileSize size = fileSize(*existing);
        if (size.error) {
            fail(shown, size.error.reason());
            return skipData();
        }
        oldSize = size.bytes;
    } else {
        const QString target = folder_.folder() + QLatin1Char('/') + name;
        if (const QString why = inTheWay(target); !why.isEmpty()) {
            fail(shown, why);
            return skipData();
        }
        if (budget_.newFiles >= limits_.newFiles)
            return limitReached(
                QStringLiteral("this drop would add more than %1 files").arg(limits_.newFiles));
    }
    PendingFile pending(folder_.folder(), name);
    if (pending.error()) {
        fail(shown, pending.error().reason());
        return skipData();
    }
    static const QByteArray zeros(kZeroBlock, '\0');
    qint64 written = 0;
    QString failure;
    // Each piece is counted against the limits before it is written, so that no limit is ever
    // passed on disk, even by a member whose header understates its size.
    const auto put = [&](const char* data, qint64 size) {
        if (written + size > limits_.fileBytes) {
            failure = QStringLiteral("it is larger than %1").arg(sizeText(limits_.fileBytes));
            return Flow::Skip;
        }
        if (budget_.gameBytes + size > limits_.totalBytes)
            return limitReached(
                QStringLiteral("the level, tileset and music files of this drop add up to more "
                               "than %1")
                    .arg(sizeText(limits_.totalBytes)));
        if (const FileError error = pending.write(data, size)) {
            failure = error.reason();
            return Flow::Skip;
        }
        written += size;
        budget_.gameBytes += size;
        return Flow::Go;
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
        fail(shown, failure.isEmpty() ? QStringLiteral("it cannot be unpacked (%1)").arg(reader_.reason())
                                      : failure);
        return skipData();
    }
    // Asked once the member is unpacked, so that the question shows its real size rather than the
    // one its header claims.
    if (existing && askReplace_ && !askReplace_(name, oldSize, written))
        return Flow::Go;
    if (const FileError error = pending.putInPlace(existing)) {
        const QString why = error.code == EEXIST ? inTheWay(pending.target()) : QString();
        fail(shown, !why.isEmpty()         ? why
                    : error.code == EEXIST ? QStringLiteral("a file of that name appeared meanwhile")
                                           : error.writeReason());
        return Flow::Go;
    }
    if (!existing)
        ++budget_.newFiles;
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
                               const ExtractProgress& progress, ExtractBudget& budget) {
    return Extraction(folder, askReplace, progress, budget).run(archivePath);
}

ExtractResult extractGameFiles(const QString& archivePath, FolderIndex& folder, const AskReplace& askReplace,
                               const ExtractProgress& progress, const ExtractLimits& limits) {
    ExtractBudget budget{limits};
    return extractGameFiles(archivePath, folder, askReplace, progress, budget);
}

QString extractionReport(const QString& archiveName, const ExtractResult& result) {
    QStringList parts;
    if (result.end == ExtractResult::End::Stopped || result.end == ExtractResult::End::LimitReached)
        parts << QStringLiteral("Could not extract %1: %2.").arg(archiveName, result.stopReason);
    else if (result.end == ExtractResult::End::Completed && result.gameFiles == 0)
        parts << QStringLiteral("No level, tileset or music files in %1.").arg(archiveName);
    if (!result.failures.isEmpty())
        parts << failureReport(QStringLiteral("Could not extract"), result.failures);
    return parts.join(QLatin1Char('\n'));
}

} // namespace zq2
