#include "fileops/folderindex.h"

#include "catalogue/folderlisting.h"
#include "fileops/nativepath.h"
#include "platform/filenames.h"
#include "platform/paths.h"

namespace zq2 {

FolderIndex::FolderIndex(QString folder)
    : folder_(std::move(folder)) {}

std::optional<std::filesystem::file_time_type> FolderIndex::folderStamp() const {
    std::error_code error;
    const auto stamp = std::filesystem::last_write_time(toFsPath(folder_), error);
    if (error)
        return std::nullopt;
    return stamp;
}

void FolderIndex::load() {
    paths_.clear();
    // Taken before the listing, so that a change made while the folder is read shows up as a
    // changed stamp at the next lookup rather than being lost.
    stamp_ = folderStamp();
    // The names the lists can show are the ones a lookup can be asked for; the folder listing reads
    // them in one pass without asking the file system about each file.
    const QStringList names = listFolder(folder_, QStringLiteral("*"));
    paths_.reserve(names.size());
    for (const QString& name : names)
        paths_.insert(foldFileName(name), joinPath(folder_, name));
    loaded_ = true;
}

std::optional<QString> FolderIndex::find(const QString& name) {
#ifdef Q_OS_WIN
    return findFileIgnoringCase(folder_, name);
#else
    if (folder_.isEmpty() || name.isEmpty() || name.contains(QLatin1Char('/')))
        return std::nullopt;
    const QString exact = joinPath(folder_, name);
    if (isPlainFile(exact))
        return exact;
    if (!loaded_ || folderStamp() != stamp_)
        load();
    const auto found = paths_.constFind(foldFileName(name));
    if (found == paths_.constEnd())
        return std::nullopt;
    if (isPlainFile(*found))
        return *found;
    // Gone although the folder's stamp did not move (two changes within one tick of the clock):
    // read the folder again rather than trust the index.
    load();
    const auto again = paths_.constFind(foldFileName(name));
    if (again != paths_.constEnd() && isPlainFile(*again))
        return *again;
    return std::nullopt;
#endif
}

void FolderIndex::noteCopied(const QString& name) {
    if (!loaded_)
        return;
    paths_.insert(foldFileName(name), joinPath(folder_, name));
    // Our own change moved the folder's stamp; take the new one so that it is not mistaken for a
    // change made by someone else.
    stamp_ = folderStamp();
}

} // namespace zq2
