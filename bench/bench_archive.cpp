// Extracting a zip of downloaded levels into a large game folder, against libarchive's own bsdtar
// unpacking the same archive into an empty folder.
#include "benchfiles.h"
#include "fileops/extractarchive.h"

#include "archivewriter.h"

#include <benchmark/benchmark.h>

#include <QRandomGenerator>

namespace {

constexpr int kLevels = 2000;
constexpr int kGameFiles = 10000;
constexpr int kLevelSize = 10 * 1000;

// A zip of kLevels levels in a folder of the archive, made once per benchmark before its timing
// starts. Levels are tile maps: few distinct bytes, so they compress about as real ones do.
struct LevelZip {
    QTemporaryDir root{zq2::bench::scratchTemplate()};
    QString path = root.filePath(QStringLiteral("levels.zip"));

    LevelZip() {
        QList<zq2::tools::ArchiveMember> members;
        QRandomGenerator random(2);
        for (int i = 0; i < kLevels; ++i) {
            QByteArray bytes(kLevelSize, Qt::Uninitialized);
            for (char& byte : bytes)
                byte = static_cast<char>('a' + random.bounded(16));
            members.append(zq2::tools::ArchiveMember::file(
                QStringLiteral("Level Pack/level%1.z2l").arg(i, 5, 10, QLatin1Char('0')), bytes));
        }
        const QString error = zq2::tools::writeArchive(path, zq2::tools::ArchiveKind::Zip, members);
        if (!error.isEmpty())
            qFatal("cannot write the archive: %s", qPrintable(error));
    }
};

template <typename Extract> void extractInto(benchmark::State& state, int filesBefore, Extract extract) {
    LevelZip zip;
    zq2::bench::onFreshGameFolders(state, filesBefore,
                                   [&](const QString& folder) { extract(zip.path, folder); });
    state.SetItemsProcessed(state.iterations() * kLevels);
}

void BM_ExtractIntoGameFolder(benchmark::State& state) {
    extractInto(state, kGameFiles, [](const QString& archive, const QString& game) {
        // One look at the game folder's names serves the whole archive.
        zq2::FolderIndex index(game);
        const zq2::ExtractResult result = zq2::extractGameFiles(archive, index, {});
        if (result.extracted.size() != kLevels)
            qFatal("extracted %d levels", int(result.extracted.size()));
    });
}

void BM_BsdtarIntoEmptyFolder(benchmark::State& state) {
    extractInto(state, 0, [](const QString& archive, const QString& folder) {
        zq2::bench::runProgram("bsdtar", {"-xf", archive, "-C", folder});
    });
}

} // namespace

BENCHMARK(BM_BsdtarIntoEmptyFolder)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_ExtractIntoGameFolder)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

BENCHMARK_MAIN();
