// Moving 1,000 levels to the shelf and back, in a game folder of 20,000 files with 5,000 already on the
// shelf, against the system's mv moving the same files the same way.
#include "benchfiles.h"
#include "fileops/shelf.h"
#include "processortime.h"

#include <benchmark/benchmark.h>

namespace {

using zq2::bench::processorMs;
using zq2::bench::reportProcessor;
using zq2::bench::writeBytes;

constexpr int kGameFiles = 20000;
constexpr int kShelved = 5000;
constexpr int kMoved = 1000;

// The folders, made once for all the benchmarks before any timing starts; each iteration leaves them as
// it found them.
struct Folders {
    QTemporaryDir root;
    QString game = root.filePath(QStringLiteral("game"));
    QString shelf = game + QStringLiteral("/shelf");
    QStringList moved;

    Folders() {
        QDir().mkpath(shelf);
        const QByteArray bytes(2000, 'l');
        for (int i = 0; i < kGameFiles; ++i) {
            const QString name = QStringLiteral("Level%1.z2l").arg(i, 5, 10, QLatin1Char('0'));
            writeBytes(game + QLatin1Char('/') + name, bytes);
            if (i % (kGameFiles / kMoved) == 0)
                moved << name;
        }
        for (int i = 0; i < kShelved; ++i)
            writeBytes(shelf + QStringLiteral("/Shelved%1.z2l").arg(i, 5, 10, QLatin1Char('0')), bytes);
    }
};

Folders& folders() {
    static Folders made;
    return made;
}

void BM_ShelveAndPutBack(benchmark::State& state) {
    Folders& f = folders();
    const double before = processorMs(RUSAGE_SELF);
    for (auto _ : state) {
        const zq2::MoveResult out = zq2::moveFiles(f.game, f.shelf, f.moved, {});
        const zq2::MoveResult back = zq2::moveFiles(f.shelf, f.game, f.moved, {});
        if (out.moved.size() != kMoved || back.moved.size() != kMoved)
            qFatal("move failed");
    }
    reportProcessor(state, RUSAGE_SELF, before);
    state.SetItemsProcessed(state.iterations() * 2 * kMoved);
}

void BM_MvSameFiles(benchmark::State& state) {
    Folders& f = folders();
    QStringList out{QStringLiteral("-t"), f.shelf}, back{QStringLiteral("-t"), f.game};
    for (const QString& name : f.moved) {
        out << f.game + QLatin1Char('/') + name;
        back << f.shelf + QLatin1Char('/') + name;
    }
    const double before = processorMs(RUSAGE_CHILDREN);
    for (auto _ : state) {
        zq2::bench::runProgram("mv", out);
        zq2::bench::runProgram("mv", back);
    }
    reportProcessor(state, RUSAGE_CHILDREN, before);
    state.SetItemsProcessed(state.iterations() * 2 * kMoved);
}

} // namespace

BENCHMARK(BM_MvSameFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_ShelveAndPutBack)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

BENCHMARK_MAIN();
