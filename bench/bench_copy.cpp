// Copying a whole download cache into a large game folder, against the system's cp doing the same.
#include "fileops/filecopy.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

constexpr int kCacheFiles = 2000;
constexpr int kGameFiles = 10000;
constexpr int kFileSize = 10 * 1000;

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// A cache of kCacheFiles downloads, made once per benchmark, before its timing starts.
struct Cache {
    QTemporaryDir root;
    QString folder = root.filePath(QStringLiteral("cache"));
    QStringList names;

    Cache() {
        QDir().mkpath(folder);
        const QByteArray bytes(kFileSize, 'z');
        for (int i = 0; i < kCacheFiles; ++i) {
            names << QStringLiteral("download%1.z2l").arg(i, 5, 10, QLatin1Char('0'));
            writeBytes(folder + QLatin1Char('/') + names.last(), bytes);
        }
    }
};

// A fresh game folder already holding kGameFiles other files, none named like a cache file.
QString freshGameFolder(const QTemporaryDir& root, int run) {
    const QString folder = root.filePath(QStringLiteral("game%1").arg(run));
    QDir().mkpath(folder);
    const QByteArray bytes(64, 'g');
    for (int i = 0; i < kGameFiles; ++i)
        writeBytes(folder + QStringLiteral("/Level%1.z2l").arg(i, 5, 10, QLatin1Char('0')), bytes);
    return folder;
}

void runCp(const QStringList& sources, const QString& folder) {
    std::vector<QByteArray> storage;
    storage.reserve(sources.size() + 2);
    storage.push_back("cp");
    for (const QString& source : sources)
        storage.push_back(QFile::encodeName(source));
    storage.push_back(QFile::encodeName(folder));
    std::vector<char*> argv;
    for (QByteArray& arg : storage)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    int status = 0;
    if (posix_spawn(&pid, "/bin/cp", nullptr, nullptr, argv.data(), environ) != 0 ||
        waitpid(pid, &status, 0) < 0 || status != 0)
        qFatal("cp failed");
}

template <typename Copy> void copyCache(benchmark::State& state, Copy copy) {
    Cache source;
    QTemporaryDir root;
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString game = freshGameFolder(root, run++);
        state.ResumeTiming();
        copy(source, game);
        state.PauseTiming();
        QDir(game).removeRecursively();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kCacheFiles);
}

void BM_CopyEntireCacheIndexed(benchmark::State& state) {
    copyCache(state, [](Cache& source, const QString& game) {
        zq2::FolderIndex index(game);
        for (const QString& name : source.names) {
            const auto outcome = zq2::copyZQ2File(source.folder, index, name, {});
            if (outcome.result != zq2::CopyOutcome::Result::Copied)
                qFatal("copy failed");
        }
    });
}

void BM_CopyEntireCachePerFileLookup(benchmark::State& state) {
    copyCache(state, [](Cache& source, const QString& game) {
        for (const QString& name : source.names) {
            const auto outcome = zq2::copyZQ2File(source.folder, game, name, {});
            if (outcome.result != zq2::CopyOutcome::Result::Copied)
                qFatal("copy failed");
        }
    });
}

void BM_CpSameFiles(benchmark::State& state) {
    copyCache(state, [](Cache& source, const QString& game) {
        QStringList paths;
        for (const QString& name : source.names)
            paths << source.folder + QLatin1Char('/') + name;
        runCp(paths, game);
    });
}

} // namespace

BENCHMARK(BM_CpSameFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_CopyEntireCacheIndexed)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_CopyEntireCachePerFileLookup)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

BENCHMARK_MAIN();
