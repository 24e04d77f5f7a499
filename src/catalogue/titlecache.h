#pragma once

#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>

#include <optional>
#include <vector>

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
    struct Kept {
        FileStamp stamp;
        QString title;
    };
    // The titles kept for one name: mostly one, and more where files of that name differ (a
    // download and its copy in the game folder).
    struct KeptTitles {
        Kept first;
        QList<Kept> others;

        std::optional<QString> titleFor(FileStamp stamp) const;
    };

    using Titles = QHash<QString, KeptTitles>; // by file name

    // The titles kept now, as a copy that costs nothing until one of the two changes, so that many
    // threads can look titles up in it without holding each other up.
    Titles snapshot() const;
    // A title read from a file, to be kept.
    struct Read {
        QString name;
        FileStamp stamp;
        QString title;
    };
    void keepAll(const std::vector<Read>& reads);
    // The title kept for `name` with `stamp`, if any.
    std::optional<QString> find(const QString& name, FileStamp stamp) const;
    void keep(const QString& name, FileStamp stamp, const QString& title);

    // The title of the level or tileset folder/name as the file is now: from memory while its stamp
    // is the one it had when it was read, otherwise read from the file and kept. A file that is gone
    // or cannot be read has an empty title, which is not kept.
    QString titleOf(const QString& folder, const QString& name);

    qsizetype size() const;

private:
    mutable QMutex mutex_;
    void keepLocked(const QString& name, FileStamp stamp, const QString& title);

    Titles titles_;
    qsizetype count_ = 0; // titles kept, over all names
};

} // namespace zq2
