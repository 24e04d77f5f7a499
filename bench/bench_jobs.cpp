// How long the window's thread goes without handling its events while file work runs on a worker:
// a timer of 10 ms on the window's thread records how late it fires, and the longest delay is the
// longest the window could not draw or take a Cancel. Two jobs: copying one file of 1 GiB, and
// extracting an archive of 100,000 empty levels (the most members for the fewest bytes).
#include "benchfiles.h"
#include "fileops/extractarchive.h"
#include "fileops/fileruns.h"
#include "fileops/job.h"

#include "archivewriter.h"
#include "benchmain.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QTimer>

namespace {

using zq2::bench::writeBytes;

// Runs `work` as a job and returns the longest lateness of a 10 ms timer meanwhile, in ms.
template <typename Work> double longestStall(Work work) {
    zq2::JobContext job;
    QElapsedTimer clock;
    qint64 due = 0;
    qint64 longest = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - due);
        due = clock.elapsed() + 10;
    });
    clock.start();
    due = 10;
    tick.start(10);
    zq2::runJob(job, [&] { work(job); });
    return double(longest);
}

void BM_StallWhileCopying1GiB(benchmark::State& state) {
    QTemporaryDir root(zq2::bench::scratchTemplate());
    const QString cache = root.filePath(QStringLiteral("cache")),
                  game = root.filePath(QStringLiteral("game"));
    QDir().mkpath(cache);
    QDir().mkpath(game);
    {
        QFile big(cache + QStringLiteral("/big.z2l"));
        if (!big.open(QIODevice::WriteOnly))
            qFatal("cannot write the big file");
        const QByteArray block(1 << 20, 'b');
        for (int i = 0; i < 1024; ++i)
            big.write(block);
    }
    double worst = 0;
    for (auto _ : state) {
        worst = std::max(worst, longestStall([&](zq2::JobContext& job) {
                             zq2::FolderIndex index(game);
                             const zq2::FileRun run =
                                 zq2::copyFromCache(cache, index, {QStringLiteral("big.z2l")}, job);
                             if (run.done != 1)
                                 qFatal("the copy failed");
                         }));
        state.PauseTiming();
        QFile::remove(game + QStringLiteral("/big.z2l"));
        state.ResumeTiming();
    }
    state.counters["longest_stall_ms"] = worst;
}
BENCHMARK(BM_StallWhileCopying1GiB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_StallWhileExtracting100000Members(benchmark::State& state) {
    QTemporaryDir root(zq2::bench::scratchTemplate());
    const QString archive = root.filePath(QStringLiteral("many.tar.xz"));
    QList<zq2::tools::ArchiveMember> members;
    for (int i = 0; i < 100000; ++i)
        members.append(zq2::tools::ArchiveMember::file(QStringLiteral("l%1.z2l").arg(i), {}));
    if (const QString error = zq2::tools::writeArchive(archive, zq2::tools::ArchiveKind::TarXz, members);
        !error.isEmpty())
        qFatal("cannot write the archive: %s", qPrintable(error));
    double worst = 0;
    int run = 0;
    for (auto _ : state) {
        const QString game = root.filePath(QStringLiteral("game%1").arg(run++));
        QDir().mkpath(game);
        worst = std::max(worst, longestStall([&](zq2::JobContext& job) {
                             zq2::FolderIndex index(game);
                             const zq2::ExtractProgress progress = [&job](qint64 done, qint64 total,
                                                                          qint64 members) {
                                 job.setMembers(members);
                                 job.setBytes(done, total);
                                 return !job.cancelled();
                             };
                             zq2::extractGameFiles(archive, index, {}, progress);
                         }));
        state.PauseTiming();
        QDir(game).removeRecursively();
        state.ResumeTiming();
    }
    state.counters["longest_stall_ms"] = worst;
}
BENCHMARK(BM_StallWhileExtracting100000Members)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

ZQ2_BENCHMARK_MAIN_WITH_WIDGETS()
