// Copying a whole download cache into a large game folder, against the system's cp doing the same.
#include "benchfiles.h"
#include "fileops/filecopy.h"

#include <benchmark/benchmark.h>

namespace {

using zq2::bench::writeBytes;

constexpr int kCacheFiles = 2000;
constexpr int kGameFiles = 10000;
constexpr int kFileSize = 10 * 1000;

// A cache of kCacheFiles downloads, made once per benchmark, before its timing starts.
struct Cache {
    QTemporaryDir root{zq2::bench::scratchTemplate()};
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

template <typename Copy> void copyCache(benchmark::State& state, Copy copy) {
    Cache source;
    zq2::bench::onFreshGameFolders(state, kGameFiles, [&](const QString& game) { copy(source, game); });
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

void BM_CpSameFiles(benchmark::State& state) {
    copyCache(state, [](Cache& source, const QString& game) {
        QStringList paths;
        for (const QString& name : source.names)
            paths << source.folder + QLatin1Char('/') + name;
        zq2::bench::runProgram("cp", paths << game);
    });
}

} // namespace

BENCHMARK(BM_CpSameFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_CopyEntireCacheIndexed)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

BENCHMARK_MAIN();
