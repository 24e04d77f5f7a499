#include "catalogue/folderlisting.h"

#include "catalogue/namepattern.h"
#include "platform/filenames.h"
#include "platform/folderreads.h"
#include "platform/nativepath.h"
#include "platform/temporaryname.h"

#include <algorithm>
#include <cstring>
#include <future>
#include <string_view>
#include <vector>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#else
#include <QDirIterator>
#endif

namespace zq2 {

namespace {

#ifdef Q_OS_UNIX

// Whether a directory entry is a plain file, or a link that leads to one. Most file systems tell the
// kind in the entry itself; only links and file systems that do not say need a stat call.
bool isPlainFile(int folderFd, const dirent& entry) {
    if (entry.d_type == DT_REG)
        return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
        return false;
    struct stat info;
    return fstatat(folderFd, entry.d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
}

// Reads `folder` once and hands every visible plain file whose raw name `wanted` accepts to `take`,
// and every hidden plain file named like one of the program's temporary files to `leftover`. The
// name test comes first: it is cheaper than asking the file system about the entry.
template <typename Wanted, typename Take, typename Leftover>
void scanPlainFiles(const QString& folder, Wanted wanted, Take take, Leftover leftover) {
    if (folder.isEmpty())
        return;
    DIR* dir = opendir(encodeFileName(folder).constData());
    if (!dir)
        return;
    countFolderRead();
    const int fd = dirfd(dir);
    while (const dirent* entry = readdir(dir)) {
        const QByteArrayView name(entry->d_name, qsizetype(std::strlen(entry->d_name)));
        if (entry->d_name[0] == '.') { // hidden files, and the "." and ".." entries
            if (isTemporaryName(name) && isPlainFile(fd, *entry))
                leftover(name);
            continue;
        }
        if (wanted(name) && isPlainFile(fd, *entry))
            take(name);
    }
    closedir(dir);
}

// Sorting by the case-folded name, with the first four folded characters packed into one number
// so that most comparisons never look at the text itself.
struct SortKey {
    quint64 head = 0;
    qsizetype offset = 0; // of the folded name in the key store
    qsizetype length = 0;
    qsizetype index = 0; // of the name in the unsorted list
};

class SortedNames {
public:
    void add(QByteArrayView raw) {
        SortKey key;
        key.offset = qsizetype(folded_.size());
        key.index = names_.size();
        if (isAscii(raw)) {
            names_.append(QString::fromLatin1(raw));
            for (char c : raw)
                folded_.push_back(char16_t((c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c));
        } else {
            names_.append(decodeFileName(raw));
            const QString folded = foldFileName(names_.constLast());
            folded_.append(reinterpret_cast<const char16_t*>(folded.utf16()), size_t(folded.size()));
        }
        key.length = qsizetype(folded_.size()) - key.offset;
        for (qsizetype i = 0; i < 4; ++i)
            key.head = (key.head << 16) | (i < key.length ? folded_[size_t(key.offset + i)] : 0);
        keys_.push_back(key);
    }

    QStringList take() {
        const std::u16string_view store(folded_);
        std::sort(keys_.begin(), keys_.end(), [&](const SortKey& a, const SortKey& b) {
            if (a.head != b.head)
                return a.head < b.head;
            const int byFold = store.substr(size_t(a.offset), size_t(a.length))
                                   .compare(store.substr(size_t(b.offset), size_t(b.length)));
            if (byFold != 0)
                return byFold < 0;
            return names_[a.index] < names_[b.index];
        });
        QStringList sorted;
        sorted.reserve(names_.size());
        for (const SortKey& key : keys_)
            sorted.append(std::move(names_[key.index]));
        return sorted;
    }

private:
    QStringList names_;
    std::u16string folded_;
    std::vector<SortKey> keys_;
};

#else

template <typename Wanted, typename Take, typename Leftover>
void scanPlainFiles(const QString& folder, Wanted wanted, Take take, Leftover leftover) {
    if (folder.isEmpty())
        return;
    countFolderRead();
    // Without QDir::System the iterator leaves out what the desktop hides; hidden files are looked
    // at only for the program's own temporary files.
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (it.fileInfo().isHidden()) {
            if (isTemporaryName(name.toLatin1()))
                leftover(name);
        } else if (wanted(name)) {
            take(name);
        }
    }
}

#endif

} // namespace

int compareListedNames(QStringView a, QStringView b) {
    const int byFold = QStringView(foldFileName(a.toString())).compare(foldFileName(b.toString()));
    if (byFold != 0)
        return byFold;
    return a.compare(b);
}

std::optional<std::filesystem::file_time_type> folderStamp(const QString& folder) {
    std::error_code error;
    const auto stamp = std::filesystem::last_write_time(toFsPath(folder), error);
    if (error)
        return std::nullopt;
    return stamp;
}

FolderContents readFolder(const QString& folder) {
    FolderContents contents;
    contents.folder = folder;
    if (folder.isEmpty())
        return contents;
    contents.stamp = folderStamp(folder);
    const NamePattern levels(QStringLiteral("*.z2l"));
    const NamePattern tilesets(QStringLiteral("*.z2t"));
    const NamePattern music(QStringLiteral("*.z2b"));
    // Counted while the names are as the file system gives them, where the test is cheapest.
    const auto count = [&](const auto& matches) {
        if (matches(levels))
            ++contents.levels;
        else if (matches(tilesets))
            ++contents.tilesets;
        else if (matches(music))
            ++contents.music;
    };
#ifdef Q_OS_UNIX
    SortedNames names;
    scanPlainFiles(
        folder, [](QByteArrayView) { return true; },
        [&](QByteArrayView name) {
            count([&](const NamePattern& p) { return p.matchesEncoded(name); });
            names.add(name);
        },
        [&](QByteArrayView name) { contents.leftovers.append(decodeFileName(name)); });
    contents.names = names.take();
#else
    scanPlainFiles(
        folder, [](const QString&) { return true; },
        [&](const QString& name) {
            count([&](const NamePattern& p) { return p.matches(name); });
            contents.names.append(name);
        },
        [&](const QString& name) { contents.leftovers.append(name); });
    std::sort(contents.names.begin(), contents.names.end(),
              [](const QString& a, const QString& b) { return compareListedNames(a, b) < 0; });
#endif
    return contents;
}

std::pair<FolderContents, FolderContents> readFolders(const QString& first, const QString& second) {
    std::future<FolderContents> secondReading = std::async(std::launch::async, readFolder, second);
    FolderContents firstContents = readFolder(first);
    return {std::move(firstContents), secondReading.get()};
}

QStringList namesMatching(const FolderContents& contents, const QString& patternText) {
    const NamePattern pattern(patternText);
    if (pattern.matchesEverything())
        return contents.names;
    QStringList matching;
    if (pattern.isEmpty())
        return matching;
    for (const QString& name : contents.names)
        if (pattern.matches(name))
            matching.append(name);
    return matching;
}

QStringList listFolder(const QString& folder, const QString& patternText) {
    const NamePattern pattern(patternText);
    if (pattern.isEmpty())
        return {};
#ifdef Q_OS_UNIX
    SortedNames names;
    scanPlainFiles(
        folder, [&](QByteArrayView name) { return pattern.matchesEncoded(name); },
        [&](QByteArrayView name) { names.add(name); }, [](QByteArrayView) {});
    return names.take();
#else
    QStringList names;
    scanPlainFiles(
        folder, [&](const QString& name) { return pattern.matches(name); },
        [&](const QString& name) { names.append(name); }, [](const QString&) {});
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return compareListedNames(a, b) < 0; });
    return names;
#endif
}

FolderCounts countContents(const FolderContents& game, const FolderContents& cache) {
    return FolderCounts{game.levels, game.tilesets, game.music, cache.names.size()};
}

} // namespace zq2
