#include "fileops/folderindex.h"

#include "catalogue/namepattern.h"
#include "platform/filenames.h"
#include "platform/nativepath.h"
#include "platform/paths.h"

namespace zq2 {

FolderIndex::FolderIndex(QString folder)
    : folder_(std::move(folder)) {}

FolderIndex::FolderIndex(const FolderContents& contents)
    : folder_(contents.folder)
    , names_(contents.names)
    , stamp_(contents.stamp)
    , loaded_(contents.stamp.has_value()) {}

void FolderIndex::load() {
    // The reading takes the folder's stamp before it lists the folder, so that a change made while
    // the folder is read shows up as a changed stamp at the next lookup rather than being lost.
    const FolderContents contents = readFolder(folder_);
    names_ = contents.names;
    stamp_ = contents.stamp;
    loaded_ = true;
    indexed_ = false;
}

void FolderIndex::index(const QStringList& names) {
    paths_.clear();
    paths_.reserve(names.size());
    for (const QString& name : names)
        paths_[foldFileName(name)].append(joinPath(folder_, name));
    names_.clear();
    indexed_ = true;
}

std::optional<QString> FolderIndex::find(const QString& name) {
    if (kNamesIgnoreCase)
        return findFileIgnoringCase(folder_, name);
    if (folder_.isEmpty() || name.isEmpty() || name.contains(QLatin1Char('/')))
        return std::nullopt;
    // A reading that is still current answers without a look at the file itself: a name it does not
    // hold is not there (a file of that name made meanwhile is kept by the copy, which never writes
    // over a file it was not told of).
    const bool current = loaded_ && folderStamp(folder_) == stamp_;
    if (!current) {
        const QString exact = joinPath(folder_, name);
        if (isPlainFile(exact))
            return exact;
        load();
    }
    if (!indexed_)
        index(names_);
    const auto found = paths_.constFind(foldFileName(name));
    if (found == paths_.constEnd())
        return std::nullopt;
    if (std::optional<QString> path = plainSpelling(*found, name))
        return path;
    // Gone although the folder's stamp did not move (two changes within one tick of the clock):
    // read the folder again rather than trust the index.
    load();
    index(names_);
    const auto again = paths_.constFind(foldFileName(name));
    if (again == paths_.constEnd())
        return std::nullopt;
    return plainSpelling(*again, name);
}

std::optional<QString> FolderIndex::plainSpelling(const QStringList& spellings, const QString& name) const {
    // The exact spelling first: a file of another spelling is never taken for the one the name means
    // while that one is there too.
    const QString exact = joinPath(folder_, name);
    if (spellings.contains(exact))
        return isPlainFile(exact) ? std::optional<QString>(exact) : std::nullopt;
    for (const QString& path : spellings)
        if (isPlainFile(path))
            return path;
    return std::nullopt;
}

qint64 FolderIndex::countMatching(const QString& pattern) {
    if (!loaded_ || folderStamp(folder_) != stamp_)
        load();
    const NamePattern matcher(pattern);
    qint64 count = 0;
    if (indexed_) {
        for (const QStringList& spellings : std::as_const(paths_))
            for (const QString& path : spellings)
                count += matcher.matches(QStringView(path).sliced(folder_.size() + 1)) ? 1 : 0;
    } else {
        for (const QString& name : std::as_const(names_))
            count += matcher.matches(name) ? 1 : 0;
    }
    return count;
}

namespace {

// The spellings of one name after a copy put `path` in place: a copy over the exact spelling leaves
// the others as they were; otherwise it replaced the spelling a lookup gave, the first, which the copy
// removed.
void tookPlaceOf(QStringList& spellings, const QString& path) {
    if (spellings.contains(path))
        return;
    if (!spellings.isEmpty())
        spellings.removeFirst();
    spellings.prepend(path);
}

} // namespace

void FolderIndex::noteCopied(const QString& name) {
    ++copiesNoted_;
    if (!loaded_)
        return;
    if (indexed_)
        tookPlaceOf(paths_[foldFileName(name)], joinPath(folder_, name));
    else
        names_.append(name);
    // Our own change moved the folder's stamp; take the new one so that it is not mistaken for a
    // change made by someone else.
    stamp_ = folderStamp(folder_);
}

} // namespace zq2
