// "Copy Entire Cache" as the user runs it from the main window: 2,000 downloads of 10 KB copied
// into a game folder that already holds 10,000 files, lists and counts brought up to date at the
// end. Its cost should follow the number of files copied; a re-listing of both folders after every
// copy would make it grow with the square of it.
#include "app/widgets/mainwindow.h"
#include "app/widgets/unattended.h"

#include "benchmain.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

void BM_CopyEntireCacheCommand(benchmark::State& state) {
    const int cached = static_cast<int>(state.range(0));
    QTemporaryDir app;
    QTemporaryDir game;
    QDir().mkpath(game.filePath(QStringLiteral("cache")));
    const QByteArray body(10 * 1024, 'x');
    for (int i = 0; i < 10000; ++i)
        writeFile(game.filePath(QStringLiteral("Level %1.z2l").arg(i)), QByteArray(64, 'l'));
    QStringList downloads;
    for (int i = 0; i < cached; ++i) {
        downloads << QStringLiteral("Download %1.z2l").arg(i);
        writeFile(game.filePath(QStringLiteral("cache/") + downloads.last()), body);
    }
    writeFile(app.filePath(QStringLiteral("settings.ini")), game.path().toLocal8Bit() + "\r\n/media/cdrom");

    zq2::UnattendedPrompter prompter;
    zq2::UnattendedDialogs dialogs;
    zq2::MainWindow window(zq2::portableFolders(app.path()), prompter, dialogs);
    window.Form_Load();
    for (auto _ : state) {
        window.copyentireCache_Click();
        state.PauseTiming();
        for (const QString& name : downloads)
            QFile::remove(game.filePath(name));
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * cached);
}
BENCHMARK(BM_CopyEntireCacheCommand)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond);

} // namespace

ZQ2_BENCHMARK_MAIN_WITH_WIDGETS()
