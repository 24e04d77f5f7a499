#pragma once

#include <QHash>
#include <QMutex>
#include <QString>

#include <optional>

#ifndef Q_OS_WIN
struct stat;
#endif

namespace zq2 {

// How long a file is and when it was last written: with its name, what tells whether a title read
// from it earlier still holds.
struct FileStamp {
    qint64 size = 0;
    qint64 modified = 0; // nanoseconds since the epoch

    bool operator==(const FileStamp&) const = default;
};

// The stamp of the plain file at `path` (a link counts as what it points to), or nothing when there
// is no such file.
std::optional<FileStamp> fileStampOf(const QString& path);

#ifndef Q_OS_WIN
// The stamp of a file the system has described.
FileStamp fileStampOf(const struct stat& info);
#endif

// The titles of level and tileset files, read once and then kept in memory by file name, size and
// modification time, so that showing thousands of titles again reads no file. A file written since
// (another size or another time) is read afresh. The folder plays no part: a file moved to another
// folder keeps its name, size and time, and so its title. Safe to share between threads.
class TitleCache {
public:
    // The title kept for `name` with `stamp`, if any.
    std::optional<QString> find(const QString& name, FileStamp stamp) const;
    void keep(const QString& name, FileStamp stamp, const QString& title);
    // Whether any title is kept for `name`, whatever its stamp.
    bool knowsName(const QString& name) const;

    // The title of the level or tileset folder/name as the file is now: from memory while its stamp
    // is the one it had when it was read, otherwise read from the file and kept. A file that is gone
    // or cannot be read has an empty title, which is not kept.
    QString titleOf(const QString& folder, const QString& name);

    qsizetype size() const;

private:
    struct Key {
        QString name;
        FileStamp stamp;
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& key, size_t seed) noexcept {
        return qHashMulti(seed, key.name, key.stamp.size, key.stamp.modified);
    }

    mutable QMutex mutex_;
    QHash<Key, QString> titles_;
    QHash<QString, int> names_; // how many stamps are kept for each name
};

} // namespace zq2
