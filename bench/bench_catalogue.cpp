// Listing, counting and showing folders of 1,000 to 100,000 files, against a plain
// readdir + fnmatch + sort baseline measured in the same run; listing also for names beyond ASCII.
#include "catalogue/folderlisting.h"
#include "catalogue/widgets/filelistview.h"

#include <QApplication>
#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>

#include "benchmain.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kPattern = QStringLiteral("*.z2l;*.z2t;*.z2b");

// A folder of `count` files: a quarter each of levels, tilesets, music and other files, with names
// in no particular order and some endings in upper case.
QString folderOf(int count) {
    static std::map<int, std::unique_ptr<QTemporaryDir>> folders;
    auto& dir = folders[count];
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        static const char* const kEndings[] = {".z2l", ".z2t", ".z2b", ".txt", ".Z2L", ".z2T", ".bak"};
        for (int i = 0; i < count; ++i) {
            const quint32 scrambled = quint32(i) * 2654435761u;
            const QString name = QStringLiteral("%1_Level %2%3")
                                     .arg(scrambled, 8, 16, QLatin1Char('0'))
                                     .arg(i)
                                     .arg(QLatin1String(kEndings[i % 7]));
            QFile file(dir->filePath(name));
            if (!file.open(QIODevice::WriteOnly))
                qFatal("cannot create the benchmark folder");
        }
    }
    return dir->path();
}

// The same kind of folder with names beyond ASCII, as levels unpacked from old archives have them:
// a third in UTF-8, a third with a Latin-1 byte that is not valid UTF-8, a third with both.
QString foreignFolderOf(int count) {
    // QTemporaryDir cannot remove names that are not UTF-8; these folders go by their bytes.
    struct ForeignDir : QTemporaryDir {
        ~ForeignDir() {
            std::error_code ignored;
            std::filesystem::remove_all(QFile::encodeName(path()).toStdString(), ignored);
        }
    };
    static std::map<int, std::unique_ptr<ForeignDir>> folders;
    auto& dir = folders[count];
    if (!dir) {
        dir = std::make_unique<ForeignDir>();
        static const char* const kLetters[] = {"\xC3\x89t\xC3\xA9 ", "\xC9t\xE9 ", "\xC3\x89t\xE9 "};
        static const char* const kEndings[] = {".z2l", ".z2t", ".z2b", ".txt", ".Z2L", ".z2T", ".bak"};
        for (int i = 0; i < count; ++i) {
            const quint32 scrambled = quint32(i) * 2654435761u;
            const QByteArray name = QFile::encodeName(dir->path()) + '/' + QByteArray::number(scrambled, 16) +
                                    kLetters[i % 3] + QByteArray::number(i) + kEndings[i % 7];
            const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
            if (fd < 0)
                qFatal("cannot create the benchmark folder");
            ::close(fd);
        }
    }
    return dir->path();
}

bool isPlainFile(int fd, const dirent& entry) {
    if (entry.d_type == DT_REG)
        return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
        return false;
    struct stat info;
    return fstatat(fd, entry.d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
}

bool matchesAny(const char* name) {
    for (const char* piece : {"*.z2l", "*.z2t", "*.z2b"}) {
        if (fnmatch(piece, name, FNM_CASEFOLD) == 0)
            return true;
    }
    return false;
}

template <typename Take> void scanBaseline(const QString& folder, Take take) {
    DIR* dir = opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return;
    const int fd = dirfd(dir);
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] != '.' && matchesAny(entry->d_name) && isPlainFile(fd, *entry))
            take(entry->d_name);
    }
    closedir(dir);
}

// Baseline with the same result type as listFolder: decoded names sorted by QString::compare.
void BM_BaselineQString(benchmark::State& state) {
    const QString folder = folderOf(int(state.range(0)));
    for (auto _ : state) {
        QStringList names;
        scanBaseline(folder, [&](const char* name) { names.append(QFile::decodeName(name)); });
        std::sort(names.begin(), names.end(),
                  [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
        benchmark::DoNotOptimize(names);
    }
}

// A leaner baseline: raw byte strings sorted with strcasecmp, no decoding at all.
void BM_BaselineStrcasecmp(benchmark::State& state) {
    const QString folder = folderOf(int(state.range(0)));
    for (auto _ : state) {
        std::vector<std::string> names;
        scanBaseline(folder, [&](const char* name) { names.emplace_back(name); });
        std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
            return strcasecmp(a.c_str(), b.c_str()) < 0;
        });
        benchmark::DoNotOptimize(names);
    }
}

void BM_ListFolder(benchmark::State& state) {
    const QString folder = folderOf(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(zq2::listFolder(folder, kPattern));
}

void BM_ListFolderBeyondAscii(benchmark::State& state) {
    const QString folder = foreignFolderOf(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(zq2::listFolder(folder, kPattern));
}

// What a command's refresh of two folders costs: the game folder's and the cache's lists and the
// four counts, from one reading of each folder, the two side by side as the main window reads them
// (timed by the clock: the second reading's work is on another thread)...
void BM_RefreshOneReadingEach(benchmark::State& state) {
    const QString folder = folderOf(int(state.range(0)));
    for (auto _ : state) {
        const auto [game, cache] = zq2::readFolders(folder, folder);
        benchmark::DoNotOptimize(zq2::namesMatching(game, kPattern));
        benchmark::DoNotOptimize(zq2::namesMatching(cache, kPattern));
        benchmark::DoNotOptimize(zq2::countContents(game, cache));
    }
}

// ... against reading each folder twice, once for its list and once more for the counts, as a list
// and a count that each read their folder would.
void BM_RefreshTwoReadingsEach(benchmark::State& state) {
    const QString folder = folderOf(int(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(zq2::listFolder(folder, kPattern));
        benchmark::DoNotOptimize(zq2::listFolder(folder, kPattern));
        const zq2::FolderContents game = zq2::readFolder(folder);
        const zq2::FolderContents cache = zq2::readFolder(folder);
        benchmark::DoNotOptimize(zq2::countContents(game, cache));
    }
}

// A shown list of every file of the benchmark's folder, the size of a list in the main window.
void showListOfEveryFile(zq2::FileListView& list, int files) {
    list.resize(241, 264);
    list.setFolder(folderOf(files));
    list.setPattern(QStringLiteral("*.*"));
    list.reread();
    list.show();
}

// Drawing a freshly filled list of every file: the layout of all rows plus one paint.
void BM_PaintFilledList(benchmark::State& state) {
    zq2::FileListView list;
    showListOfEveryFile(list, int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        list.reread();
        state.ResumeTiming();
        benchmark::DoNotOptimize(list.grab());
    }
    state.counters["entries"] = list.count();
}

// Filling and drawing together: what the user waits for after a filter change.
void BM_RereadAndPaintList(benchmark::State& state) {
    zq2::FileListView list;
    showListOfEveryFile(list, int(state.range(0)));
    for (auto _ : state) {
        list.reread();
        benchmark::DoNotOptimize(list.grab());
    }
}

void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_BaselineQString)->Apply(sizes);
BENCHMARK(BM_BaselineStrcasecmp)->Apply(sizes);
BENCHMARK(BM_ListFolder)->Apply(sizes);
BENCHMARK(BM_ListFolderBeyondAscii)->Apply(sizes);
BENCHMARK(BM_RefreshOneReadingEach)->Apply(sizes)->UseRealTime();
BENCHMARK(BM_RefreshTwoReadingsEach)->Apply(sizes)->UseRealTime();
BENCHMARK(BM_PaintFilledList)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RereadAndPaintList)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

ZQ2_BENCHMARK_MAIN_WITH_WIDGETS()
