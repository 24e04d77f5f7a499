#include "catalogue/titlecache.h"

#include "catalogue/details.h"
#include "platform/filenames.h"
#include "platform/paths.h"
#include "platform/regularfile.h"

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

std::optional<QString> TitleCache::find(const QString& name, FileStamp stamp) const {
    const QMutexLocker lock(&mutex_);
    const auto found = titles_.constFind(Key{name, stamp});
    if (found == titles_.constEnd())
        return std::nullopt;
    return *found;
}

void TitleCache::keep(const QString& name, FileStamp stamp, const QString& title) {
    const QMutexLocker lock(&mutex_);
    if (titles_.size() >= kMostKept) {
        titles_.clear();
        names_.clear();
    }
    const Key key{name, stamp};
    if (!titles_.contains(key))
        ++names_[name];
    titles_.insert(key, title);
}

bool TitleCache::knowsName(const QString& name) const {
    const QMutexLocker lock(&mutex_);
    return names_.contains(name);
}

QString TitleCache::titleOf(const QString& folder, const QString& name) {
    const QString path = joinPath(folder, name);
    const std::optional<FileStamp> stamp = fileStampOf(path);
    if (!stamp)
        return {};
    if (std::optional<QString> known = find(name, *stamp))
        return *known;
    const std::unique_ptr<QFile> file = openRegularFile(path);
    char head[kTitleFieldEnd];
    const qint64 got = file ? file->read(head, kTitleFieldEnd) : -1;
    if (got < 0)
        return {};
    const QString title = titleFromHead(QByteArrayView(head, got));
    // Kept under the stamp taken before the reading: a file written meanwhile has a newer one and
    // will be read again.
    keep(name, *stamp, title);
    return title;
}

qsizetype TitleCache::size() const {
    const QMutexLocker lock(&mutex_);
    return titles_.size();
}

} // namespace zq2
