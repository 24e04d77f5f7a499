#pragma once

#include "catalogue/folderlisting.h"

#include <QHash>
#include <QString>

#include <filesystem>
#include <optional>

namespace zq2 {

// The file names of one folder, kept by their case-folded spelling (foldFileName), so that a run that looks
// up thousands of names ignoring case (copying a whole cache, restoring a CD) reads the folder once instead
// of once per name. The index notices changes made by others through the folder's modification time and reads
// the folder again then; changes made through this program are reported with noteCopied. A change by others
// within the same tick of the file system's clock as the last reading or the last noteCopied can go unnoticed
// until the folder changes again.
//
// Where the file system ignores letter case by itself, a lookup is a single test of the exact path.
class FolderIndex {
public:
    explicit FolderIndex(QString folder);
    // Starts from a reading of the folder that has just been made, instead of reading it again.
    explicit FolderIndex(const FolderContents& contents);

    const QString& folder() const { return folder_; }

    // The same answer as findFileIgnoringCase(folder(), name): the path of a plain file (or a link
    // to one) whose name equals `name` ignoring case, the exact spelling first. Hidden files are
    // found under their exact spelling only, as the lists never offer them to be copied.
    std::optional<QString> find(const QString& name);

    // Tells the index that `name` now exists in the folder, put there by this program (a file it
    // replaced had the same name ignoring case, so its entry is simply taken over).
    void noteCopied(const QString& name);

    // How many of the folder's files `pattern` matches, from the names the index holds when the
    // folder has not changed since (and so without reading it again).
    qint64 countMatching(const QString& pattern);

    // How many files noteCopied was told of so far.
    int copiesNoted() const { return copiesNoted_; }

private:
    void load();
    void index(const QStringList& names);
    // Of the indexed `spellings` of `name`, the exact one if it is among them, otherwise the first,
    // while it is still a plain file.
    std::optional<QString> plainSpelling(const QStringList& spellings, const QString& name) const;

    QString folder_;
    QStringList names_;                 // as read, until the first lookup needs them by spelling
    QHash<QString, QStringList> paths_; // case-folded name -> the paths that spell it
    std::optional<std::filesystem::file_time_type> stamp_;
    bool loaded_ = false;
    bool indexed_ = false;
    int copiesNoted_ = 0;
};

} // namespace zq2
