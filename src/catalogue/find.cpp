#include "catalogue/find.h"

#include "catalogue/details.h"
#include "catalogue/folderlisting.h"
#include "platform/filenames.h"
#include "platform/paths.h"

#include <QRegularExpression>

#include <algorithm>
#include <system_error>
#include <thread>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zq2 {

namespace {

// Between a file's name and its title in the folded text: no word typed into a search holds it, so
// no word is found half in the name and half in the title.
constexpr char16_t kNameTitleSeparator = 0x1F;

// Letters that no decomposition takes apart, as people type them on a plain keyboard.
QStringView spelledOut(char16_t c) {
    switch (c) {
    case u'ß':
        return u"ss";
    case u'æ':
    case u'Æ':
        return u"ae";
    case u'œ':
    case u'Œ':
        return u"oe";
    case u'ø':
    case u'Ø':
        return u"o";
    case u'ł':
    case u'Ł':
        return u"l";
    case u'đ':
    case u'Đ':
    case u'ð':
    case u'Ð':
        return u"d";
    case u'þ':
    case u'Þ':
        return u"th";
    case u'ı':
        return u"i";
    default:
        return {};
    }
}

std::u16string_view viewOf(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())};
}

} // namespace

QString placeName(FilePlace place) {
    switch (place) {
    case FilePlace::Game:
        return QStringLiteral("Zeno 2 folder");
    case FilePlace::Cache:
        return QStringLiteral("Internet Cache folder");
    case FilePlace::Shelf:
        return QStringLiteral("Level Shelf");
    }
    return {};
}

QString noLongerThereText(FilePlace place, const QString& name) {
    return QStringLiteral("%1 is no longer %2 the %3.")
        .arg(displayFileName(name), place == FilePlace::Shelf ? QStringLiteral("on") : QStringLiteral("in"),
             placeName(place));
}

QString foldForFind(QStringView text) {
    // Most names and titles are plain ASCII: lower case is all there is to fold.
    if (isAscii(text)) {
        QString lower(text.size(), Qt::Uninitialized);
        std::transform(text.begin(), text.end(), lower.begin(), [](QChar c) {
            return c.unicode() >= 'A' && c.unicode() <= 'Z' ? QChar(c.unicode() + ('a' - 'A')) : c;
        });
        return lower;
    }
    // Compatibility decomposition splits "é" into "e" and its accent, and "ﬁ" into "fi".
    const QString decomposed = displayFileName(text.toString()).normalized(QString::NormalizationForm_KD);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        switch (c.category()) {
        case QChar::Mark_NonSpacing:
        case QChar::Mark_SpacingCombining:
        case QChar::Mark_Enclosing:
            continue;
        default:
            break;
        }
        const QStringView spelled = spelledOut(c.unicode());
        if (spelled.isEmpty())
            folded += c;
        else
            folded += spelled;
    }
    return folded.toCaseFolded();
}

namespace {

// Appends `text` folded as foldForFind folds it, straight into `store` when it is plain ASCII.
void appendFolded(std::u16string& store, const QString& text) {
    if (!isAscii(text)) {
        store += viewOf(foldForFind(text));
        return;
    }
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        store += unit >= u'A' && unit <= u'Z' ? char16_t(unit + (u'a' - u'A')) : unit;
    }
}

} // namespace

void FindIndex::add(FilePlace place, const QString& name, const QString& title) {
    files_.push_back({place, name, title});
    appendFolded(folded_, name);
    folded_ += kNameTitleSeparator;
    appendFolded(folded_, title);
    starts_.push_back(folded_.size());
}

void FindIndex::append(FindIndex&& other) {
    const size_t offset = folded_.size();
    files_.insert(files_.end(), std::make_move_iterator(other.files_.begin()),
                  std::make_move_iterator(other.files_.end()));
    folded_ += other.folded_;
    for (size_t i = 1; i < other.starts_.size(); ++i)
        starts_.push_back(offset + other.starts_[i]);
}

bool FindIndex::holdsAll(qsizetype index, const std::vector<std::u16string>& words) const {
    const size_t start = starts_[size_t(index)];
    const std::u16string_view text(folded_.data() + start, starts_[size_t(index) + 1] - start);
    return std::all_of(words.begin(), words.end(),
                       [&](const std::u16string& word) { return text.find(word) != text.npos; });
}

FindHits FindIndex::search(QStringView query, const FindHits* previous) const {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    FindHits hits;
    hits.words = foldForFind(query).split(blanks, Qt::SkipEmptyParts);
    if (hits.words.isEmpty())
        return hits;
    std::vector<std::u16string> words;
    for (const QString& word : hits.words)
        words.emplace_back(viewOf(word));

    // Every earlier word still lies within a word typed now, so only the earlier hits can match.
    const bool narrows =
        previous && !previous->words.isEmpty() &&
        std::all_of(previous->words.begin(), previous->words.end(), [&](const QString& before) {
            return std::any_of(hits.words.begin(), hits.words.end(),
                               [&](const QString& now) { return now.contains(before); });
        });
    if (narrows) {
        for (const qsizetype index : previous->files)
            if (holdsAll(index, words))
                hits.files.append(index);
    } else {
        for (qsizetype index = 0; index < size(); ++index)
            if (holdsAll(index, words))
                hits.files.append(index);
    }
    return hits;
}

namespace {

#ifdef Q_OS_UNIX

// The folder being read, opened once, so that each file is opened and looked at relative to it
// rather than by its whole path.
class OpenFolder {
public:
    explicit OpenFolder(const QString& folder)
        : fd_(::open(encodeFileName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
    ~OpenFolder() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    // The title of the level or tileset `name` listed in the folder. A title in `kept` is checked
    // against the file's stamp first; otherwise the first bytes are read, and added to `read`. A file
    // that cannot be read has an empty title.
    QString titleOf(const QString& name, const TitleCache::Titles& kept,
                    std::vector<TitleCache::Read>& read) const {
        if (fd_ < 0)
            return {};
        const QByteArray native = encodeFileName(name);
        struct stat info {};
        if (const auto known = kept.constFind(name); known != kept.constEnd()) {
            if (::fstatat(fd_, native.constData(), &info, 0) != 0)
                return {};
            if (std::optional<QString> title = known->titleFor(fileStampOf(info)))
                return *title;
        }
        // The listing found a plain file here; O_NONBLOCK keeps a pipe put in its place meanwhile
        // from blocking, and the opened file is checked again before it is read.
        const int fd = ::openat(fd_, native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd < 0)
            return {};
        char head[kTitleFieldEnd];
        ssize_t got = -1;
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
            for (int attempt = 0; attempt < 3 && got < 0; ++attempt) {
                got = ::pread(fd, head, sizeof head, 0);
                if (got < 0 && errno != EINTR)
                    break;
            }
        }
        ::close(fd);
        if (got < 0)
            return {};
        QString title = titleFromHead(QByteArrayView(head, got));
        read.push_back({name, fileStampOf(info), title});
        return title;
    }

private:
    int fd_;
};

#else

class OpenFolder {
public:
    explicit OpenFolder(const QString& folder)
        : folder_(folder) {}
    QString titleOf(const QString& name, const TitleCache::Titles& kept,
                    std::vector<TitleCache::Read>& read) const {
        const QString path = joinPath(folder_, name);
        const std::optional<FileStamp> stamp = fileStampOf(path);
        if (!stamp)
            return {};
        if (const auto known = kept.constFind(name); known != kept.constEnd())
            if (std::optional<QString> title = known->titleFor(*stamp))
                return *title;
        std::optional<QString> title = readTitle(path);
        if (!title)
            return {};
        read.push_back({name, *stamp, *title});
        return *title;
    }

private:
    QString folder_;
};

#endif

// The files of one folder, and the titles read on the way that are still to be kept.
struct FolderPart {
    FindIndex index;
    std::vector<TitleCache::Read> read;
};

// The files of one folder. Titles are looked up in `kept`, a copy of those the cache holds; the
// titles read on the way are returned for the caller to keep once every thread is done.
FolderPart readFolder(const FindFolder& folder, const QString& patternText, const TitleCache::Titles& kept,
                      const std::function<bool()>& cancelled) {
    FolderPart part;
    std::vector<TitleCache::Read>& read = part.read;
    // The lists' own reading: the same files, in the same order.
    const QStringList names = listFolder(folder.folder, patternText);
    const OpenFolder opened(folder.folder);
    for (const QString& name : names) {
        if (cancelled && cancelled())
            break;
        const FileKind kind = fileKindOf(name);
        const bool titled = kind == FileKind::Level || kind == FileKind::Tileset;
        part.index.add(folder.place, name, titled ? opened.titleOf(name, kept, read) : QString());
    }
    return part;
}

} // namespace

FindIndex buildFindIndex(const QList<FindFolder>& folders, const QString& patternText, TitleCache& titles,
                         const std::function<bool()>& cancelled) {
    std::vector<FolderPart> parts(size_t(folders.size()));
    {
        // Each folder is read on a thread of its own: most of the time goes to the system's file
        // calls, which run side by side wherever there is more than one processor. The threads look
        // titles up in one copy of those kept, taken before they start.
        const TitleCache::Titles kept = titles.snapshot();
        std::vector<std::thread> helpers;
        for (qsizetype i = 1; i < folders.size(); ++i) {
            const auto read = [&, i] {
                parts[size_t(i)] = readFolder(folders[i], patternText, kept, cancelled);
            };
            try {
                helpers.emplace_back(read);
            } catch (const std::system_error&) {
                read(); // no thread to be had
            }
        }
        if (!folders.isEmpty())
            parts[0] = readFolder(folders[0], patternText, kept, cancelled);
        for (std::thread& helper : helpers)
            helper.join();
    }
    // Kept once the copy the threads looked in is gone, so that keeping copies nothing.
    FindIndex index;
    for (FolderPart& part : parts) {
        if (!part.read.empty())
            titles.keepAll(part.read);
        index.append(std::move(part.index));
    }
    return index;
}

} // namespace zq2
