#include "catalogue/titlecache.h"

#include "catalogue/details.h"
#include "platform/filenames.h"
#include "platform/paths.h"

#include <QDateTime>
#include <QFileInfo>
#include <QMutexLocker>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace zq2 {

namespace {

// More titles than any game folder, cache and shelf hold together; past it the memory is given back
// and titles are read again as they are needed.
constexpr qsizetype kMostKept = 500000;

} // namespace

std::optional<FileStamp> fileStampOf(const QString& path) {
    if (path.isEmpty())
        return std::nullopt;
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    if (!info.isFile())
        return std::nullopt;
    return FileStamp{info.size(), info.lastModified().toMSecsSinceEpoch() * 1000000};
#else
    struct stat info {};
    if (::stat(encodeFileName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return fileStampOf(info);
#endif
}

#ifndef Q_OS_WIN
FileStamp fileStampOf(const struct stat& info) {
#ifdef Q_OS_DARWIN
    const struct timespec& modified = info.st_mtimespec;
#else
    const struct timespec& modified = info.st_mtim;
#endif
    return {qint64(info.st_size), qint64(modified.tv_sec) * 1000000000 + qint64(modified.tv_nsec)};
}
#endif

std::optional<QString> TitleCache::KeptTitles::titleFor(FileStamp stamp) const {
    if (first.stamp == stamp)
        return first.title;
    for (const Kept& other : others)
        if (other.stamp == stamp)
            return other.title;
    return std::nullopt;
}

TitleCache::Titles TitleCache::snapshot() const {
    const QMutexLocker lock(&mutex_);
    return titles_;
}

std::optional<QString> TitleCache::find(const QString& name, FileStamp stamp) const {
    const QMutexLocker lock(&mutex_);
    const auto found = titles_.constFind(name);
    return found == titles_.constEnd() ? std::nullopt : found->titleFor(stamp);
}

void TitleCache::keep(const QString& name, FileStamp stamp, const QString& title) {
    const QMutexLocker lock(&mutex_);
    keepLocked(name, stamp, title);
}

void TitleCache::keepAll(const std::vector<Read>& reads) {
    const QMutexLocker lock(&mutex_);
    titles_.reserve(titles_.size() + qsizetype(reads.size()));
    for (const Read& read : reads)
        keepLocked(read.name, read.stamp, read.title);
}

void TitleCache::keepLocked(const QString& name, FileStamp stamp, const QString& title) {
    if (count_ >= kMostKept) {
        titles_.clear();
        count_ = 0;
    }
    const auto found = titles_.find(name);
    if (found == titles_.end()) {
        titles_.insert(name, KeptTitles{{stamp, title}, {}});
        ++count_;
        return;
    }
    if (found->first.stamp == stamp) {
        found->first.title = title;
        return;
    }
    for (Kept& other : found->others) {
        if (other.stamp == stamp) {
            other.title = title;
            return;
        }
    }
    found->others.append({stamp, title});
    ++count_;
}

QString TitleCache::titleOf(const QString& folder, const QString& name) {
    const QString path = joinPath(folder, name);
    const std::optional<FileStamp> stamp = fileStampOf(path);
    if (!stamp)
        return {};
    if (std::optional<QString> known = find(name, *stamp))
        return *known;
    const std::optional<QString> title = readTitle(path);
    if (!title)
        return {};
    // Kept under the stamp taken before the reading: a file written meanwhile has a newer one and
    // will be read again.
    keep(name, *stamp, *title);
    return *title;
}

qsizetype TitleCache::size() const {
    const QMutexLocker lock(&mutex_);
    return count_;
}

} // namespace zq2
