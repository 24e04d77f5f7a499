// The main window's commands as the user runs them, lists and counts brought up to date at the end,
// against the system's own tools doing the same file work:
// - "Copy Entire Cache": 2,000 downloads of 10 KB copied into a game folder of 10,000 files; its cost
//   should follow the number of files copied, where a re-listing of both folders after every copy
//   would make it grow with the square of it;
// - Delete of one file of a game folder of 10,000, against `gio trash` of the same file;
// - the copy button with one download, against `cp` of the same file.
#include "app/widgets/mainwindow.h"
#include "app/widgets/unattended.h"
#include "catalogue/widgets/filelistview.h"

#include "benchfiles.h"
#include "benchmain.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

using zq2::bench::writeBytes;

constexpr int kGameFiles = 10000;

// A game folder of kGameFiles levels with `cached` downloads of 10 KB in its cache, settings that
// point at it, and the main window over it, started. Deleting asks no question.
struct Started {
    // On disk, not in memory: the desktop trash refuses files of the system's in-memory mounts, and
    // Delete is compared with `gio trash`.
    QTemporaryDir root{QDir::tempPath() + QStringLiteral("/zq2bench-XXXXXX")};
    QString app = root.filePath(QStringLiteral("app"));
    QString game = root.filePath(QStringLiteral("game"));
    QString cache = game + QStringLiteral("/cache");
    QStringList downloads;
    zq2::UnattendedPrompter prompter;
    zq2::UnattendedDialogs dialogs;
    std::unique_ptr<zq2::MainWindow> window;

    explicit Started(int cached) {
        QDir().mkpath(app);
        QDir().mkpath(cache);
        // Files deleted in the benchmark go to a trash on the same file system, removed with it.
        qputenv("XDG_DATA_HOME", QFile::encodeName(root.filePath(QStringLiteral("data"))));
        for (int i = 0; i < kGameFiles; ++i)
            writeBytes(game + QStringLiteral("/Level %1.z2l").arg(i), QByteArray(64, 'l'));
        for (int i = 0; i < cached; ++i) {
            downloads << QStringLiteral("Download %1.z2l").arg(i);
            writeBytes(cache + QLatin1Char('/') + downloads.last(), QByteArray(10 * 1024, 'x'));
        }
        writeBytes(app + QStringLiteral("/settings.ini"), QFile::encodeName(game) + "\r\n/media/cdrom");
        writeBytes(app + QStringLiteral("/preferences.ini"),
                   "USESKIN=NO\r\n\r\nUSETIPS=YES\r\nWARNMAXLVLS=YES\r\nDISPLAYDELETE=NO\r\n*.z2l\r\n*."
                   "z2t\r\n*.z2b");
        window = std::make_unique<zq2::MainWindow>(zq2::portableFolders(app), prompter, dialogs);
        window->Form_Load();
    }

    // Selects `name` in a list, as a click would, outside the timing.
    static void select(zq2::FileListView* list, const QString& name) {
        list->reread();
        for (int i = 0; i < list->count(); ++i)
            if (list->entry(i) == name)
                return list->select(i);
        qFatal("no entry %s", qPrintable(name));
    }
};

void BM_CopyEntireCacheCommand(benchmark::State& state) {
    Started s(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        s.window->copyentireCache_Click();
        state.PauseTiming();
        for (const QString& name : s.downloads)
            QFile::remove(s.game + QLatin1Char('/') + name);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * s.downloads.size());
}
BENCHMARK(BM_CopyEntireCacheCommand)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_DeleteCommand(benchmark::State& state) {
    Started s(1);
    const QString victim = QStringLiteral("Victim.z2l");
    for (auto _ : state) {
        state.PauseTiming();
        writeBytes(s.game + QLatin1Char('/') + victim, QByteArray(300, 'v'));
        Started::select(s.window->findChild<zq2::FileListView*>(QStringLiteral("zq2Files")), victim);
        state.ResumeTiming();
        s.window->delZQ2_Click();
    }
}
BENCHMARK(BM_DeleteCommand)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

void BM_GioTrashSameFile(benchmark::State& state) {
    Started s(1);
    const QString victim = s.game + QStringLiteral("/Victim.z2l");
    for (auto _ : state) {
        state.PauseTiming();
        writeBytes(victim, QByteArray(300, 'v'));
        state.ResumeTiming();
        zq2::bench::runProgram("gio", {QStringLiteral("trash"), victim});
    }
}
BENCHMARK(BM_GioTrashSameFile)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

void BM_CopyButton(benchmark::State& state) {
    Started s(1);
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(s.game + QLatin1Char('/') + s.downloads.first());
        Started::select(s.window->findChild<zq2::FileListView*>(QStringLiteral("zq2Cache")),
                        s.downloads.first());
        state.ResumeTiming();
        s.window->cacheCopy_Click();
    }
}
BENCHMARK(BM_CopyButton)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

void BM_CpSameFile(benchmark::State& state) {
    Started s(1);
    const QString source = s.cache + QLatin1Char('/') + s.downloads.first();
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(s.game + QLatin1Char('/') + s.downloads.first());
        state.ResumeTiming();
        zq2::bench::runProgram("cp", {source, s.game});
    }
}
BENCHMARK(BM_CpSameFile)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

} // namespace

ZQ2_BENCHMARK_MAIN_WITH_WIDGETS()
