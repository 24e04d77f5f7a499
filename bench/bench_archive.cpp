// Extracting a zip of downloaded levels into a large game folder, against libarchive's own bsdtar
// unpacking the same archive into an empty folder.
#include "fileops/extractarchive.h"

#include "archivewriter.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

constexpr int kLevels = 2000;
constexpr int kGameFiles = 10000;
constexpr int kLevelSize = 10 * 1000;

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// A zip of kLevels levels in a folder of the archive, made once per benchmark before its timing
// starts. Levels are tile maps: few distinct bytes, so they compress about as real ones do.
struct LevelZip {
    QTemporaryDir root;
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

// A fresh folder, holding `files` other levels, none named like a level of the archive.
QString freshFolder(const QTemporaryDir& root, int run, int files) {
    const QString folder = root.filePath(QStringLiteral("game%1").arg(run));
    QDir().mkpath(folder);
    const QByteArray bytes(64, 'g');
    for (int i = 0; i < files; ++i)
        writeBytes(folder + QStringLiteral("/Level%1.z2l").arg(i, 5, 10, QLatin1Char('0')), bytes);
    return folder;
}

void runBsdtar(const QString& archive, const QString& folder) {
    QByteArray program("bsdtar"), extract("-xf"), from = QFile::encodeName(archive), into("-C"),
                                                  to = QFile::encodeName(folder);
    char* argv[] = {program.data(), extract.data(), from.data(), into.data(), to.data(), nullptr};
    pid_t pid = 0;
    int status = 0;
    if (posix_spawnp(&pid, "bsdtar", nullptr, nullptr, argv, environ) != 0 || waitpid(pid, &status, 0) < 0 ||
        status != 0)
        qFatal("bsdtar failed (is libarchive-tools installed?)");
}

template <typename Extract> void extractInto(benchmark::State& state, int filesBefore, Extract extract) {
    LevelZip zip;
    QTemporaryDir root;
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString folder = freshFolder(root, run++, filesBefore);
        state.ResumeTiming();
        extract(zip.path, folder);
        state.PauseTiming();
        QDir(folder).removeRecursively();
        state.ResumeTiming();
    }
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
    extractInto(state, 0, runBsdtar);
}

} // namespace

BENCHMARK(BM_BsdtarIntoEmptyFolder)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_ExtractIntoGameFolder)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

BENCHMARK_MAIN();
