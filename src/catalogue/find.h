#pragma once

#include "catalogue/titlecache.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <string>
#include <vector>

namespace zq2 {

// The three folders a level can be in.
enum class FilePlace { Game, Cache, Shelf };

// Where a file is, in words: "Zeno 2 folder", "Internet Cache folder" or "Level Shelf".
QString placeName(FilePlace place);

// "<name> is no longer in the Zeno 2 folder." (or "in the Internet Cache folder", "on the Level
// Shelf"), for a file found that has gone since.
QString noLongerThereText(FilePlace place, const QString& name);

// `text` as Find compares it: letter case and accents ignored ("Café" and "CAFE" both give "cafe"),
// and letters that stand for two ("æ", "ß", "ø"...) written as the plain letters people type for
// them. Bytes of a name that are not valid UTF-8 (see decodeFileName) become U+FFFD, which nothing
// typed matches.
QString foldForFind(QStringView text);

struct FoundFile {
    FilePlace place = FilePlace::Game;
    QString name;  // as listed, so that it leads back to the file
    QString title; // empty for files that have none
};

// The words of one search, folded, and the files that hold every one of them.
struct FindHits {
    QStringList words;
    QList<qsizetype> files; // indexes into the FindIndex, in its order
};

struct FindFolder {
    FilePlace place;
    QString folder;
};

// The names and titles of many files, folded once, so that each search is one pass over memory.
class FindIndex {
public:
    void add(FilePlace place, const QString& name, const QString& title);
    // Adds the files of `other` after these.
    void append(FindIndex&& other);

    qsizetype size() const { return qsizetype(files_.size()); }
    const FoundFile& file(qsizetype index) const { return files_[size_t(index)]; }

    // The files whose name or title holds each word of `query` (words are separated by blanks),
    // ignoring case and accents; nothing for a query without words. `previous`, the hits of an
    // earlier search, is searched instead of every file when each of its words lies within a word of
    // `query`, as when the user types on: its hits then hold every hit of `query`.
    FindHits search(QStringView query, const FindHits* previous = nullptr) const;

private:
    bool holdsAll(qsizetype index, const std::vector<std::u16string>& words) const;

    std::vector<FoundFile> files_;
    // Each file's folded name, a separator that no typed word holds, and its folded title, one file
    // after the other; starts_ has where each file's text begins, and the end.
    std::u16string folded_;
    std::vector<size_t> starts_{0};
};

// Reads the plain files of each folder whose names match `patternText`, as the file lists read them
// (hidden files and folders left out, each folder's files in name order), into an index, the
// folders in the order given. Titles of levels and tilesets come from `titles`, which reads and
// keeps those it does not know yet; a file whose first bytes cannot be read is found by its name
// alone. `cancelled` is asked before each file, and stops the reading when it says so; the folders
// are read side by side, so it may be asked from several threads at once.
FindIndex buildFindIndex(const QList<FindFolder>& folders, const QString& patternText, TitleCache& titles,
                         const std::function<bool()>& cancelled = {});

} // namespace zq2
