#include "catalogue/find.h"

#include "catalogue/details.h"
#include "catalogue/folderlisting.h"
#include "catalogue/namepattern.h"
#include "platform/filenames.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstring>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <dirent.h>
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
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; }))
        return text.toString().toLower();
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

void FindIndex::add(FilePlace place, const QString& name, const QString& title) {
    addFolded(place, name, title, foldForFind(name));
}

void FindIndex::addFolded(FilePlace place, const QString& name, const QString& title,
                          const QString& foldedName) {
    files_.push_back({place, name, title});
    folded_ += viewOf(foldedName);
    folded_ += kNameTitleSeparator;
    if (!title.isEmpty())
        folded_ += viewOf(foldForFind(title));
    starts_.push_back(folded_.size());
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

// A file found in a folder, before the folder's files are put in order.
struct Scanned {
    QString name;
    QString title;
    QString folded;
};

#ifdef Q_OS_UNIX

// The title of the directory entry `entry`, when it is a plain file (or a link to one). A title kept
// for the name is checked against the file's stamp first; otherwise the first bytes are read, through
// a descriptor opened relative to the folder, and kept. A plain file that cannot be read has an
// empty title.
std::optional<QString> titleOfEntry(int folderFd, const dirent& entry, const QString& name,
                                    TitleCache& titles) {
    struct stat info {};
    if (entry.d_type != DT_REG || titles.knowsName(name)) {
        if (::fstatat(folderFd, entry.d_name, &info, 0) != 0 || !S_ISREG(info.st_mode))
            return std::nullopt;
        if (std::optional<QString> known = titles.find(name, fileStampOf(info)))
            return known;
    }
    // Only what was seen to be a plain file is opened; O_NONBLOCK keeps a pipe put in its place
    // meanwhile from blocking, and the opened file is checked again.
    const int fd = ::openat(folderFd, entry.d_name, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return QString();
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    char head[kTitleFieldEnd];
    ssize_t got = -1;
    for (int attempt = 0; attempt < 3 && got < 0; ++attempt) {
        got = ::pread(fd, head, sizeof head, 0);
        if (got < 0 && errno != EINTR)
            break;
    }
    ::close(fd);
    if (got < 0)
        return QString();
    const QString title = titleFromHead(QByteArrayView(head, got));
    titles.keep(name, fileStampOf(info), title);
    return title;
}

bool isPlainEntry(int folderFd, const dirent& entry) {
    if (entry.d_type == DT_REG)
        return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
        return false;
    struct stat info {};
    return ::fstatat(folderFd, entry.d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
}

// Returns false when `cancelled` stopped the reading.
bool scanFolder(const QString& folder, const NamePattern& pattern, TitleCache& titles,
                const std::function<bool()>& cancelled, std::vector<Scanned>& out) {
    DIR* dir = folder.isEmpty() ? nullptr : ::opendir(encodeFileName(folder).constData());
    if (!dir)
        return true;
    const int fd = ::dirfd(dir);
    bool whole = true;
    while (const dirent* entry = ::readdir(dir)) {
        if (cancelled && cancelled()) {
            whole = false;
            break;
        }
        if (entry->d_name[0] == '.') // hidden files, and the "." and ".." entries
            continue;
        const QByteArrayView raw(entry->d_name, qsizetype(std::strlen(entry->d_name)));
        if (!pattern.matchesEncoded(raw))
            continue;
        QString name = decodeFileName(raw);
        const FileKind kind = fileKindOf(name);
        QString title;
        if (kind == FileKind::Level || kind == FileKind::Tileset) {
            std::optional<QString> read = titleOfEntry(fd, *entry, name, titles);
            if (!read)
                continue;
            title = std::move(*read);
        } else if (!isPlainEntry(fd, *entry)) {
            continue;
        }
        QString folded = foldForFind(name);
        out.push_back({std::move(name), std::move(title), std::move(folded)});
    }
    ::closedir(dir);
    return whole;
}

#else

bool scanFolder(const QString& folder, const NamePattern&, TitleCache& titles,
                const std::function<bool()>& cancelled, std::vector<Scanned>& out,
                const QString& patternText) {
    for (const QString& name : listFolder(folder, patternText)) {
        if (cancelled && cancelled())
            return false;
        const FileKind kind = fileKindOf(name);
        const QString title =
            kind == FileKind::Level || kind == FileKind::Tileset ? titles.titleOf(folder, name) : QString();
        out.push_back({name, title, foldForFind(name)});
    }
    return true;
}

#endif

// Name order ignoring case and accents; names that fold alike in the order of their exact spelling.
void sortScanned(std::vector<Scanned>& files) {
    std::sort(files.begin(), files.end(), [](const Scanned& a, const Scanned& b) {
        if (const int byFold = QStringView(a.folded).compare(QStringView(b.folded)); byFold != 0)
            return byFold < 0;
        return a.name < b.name;
    });
}

} // namespace

FindIndex buildFindIndex(const QList<FindFolder>& folders, const QString& patternText, TitleCache& titles,
                         const std::function<bool()>& cancelled) {
    FindIndex index;
    const NamePattern pattern(patternText);
    if (pattern.isEmpty())
        return index;
    std::vector<Scanned> files;
    for (const FindFolder& folder : folders) {
        files.clear();
#ifdef Q_OS_UNIX
        const bool whole = scanFolder(folder.folder, pattern, titles, cancelled, files);
#else
        const bool whole = scanFolder(folder.folder, pattern, titles, cancelled, files, patternText);
#endif
        sortScanned(files);
        for (const Scanned& file : files)
            index.addFolded(folder.place, file.name, file.title, file.folded);
        if (!whole)
            break;
    }
    return index;
}

} // namespace zq2
