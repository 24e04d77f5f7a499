// Start-up, measured two ways:
// - the organizer's own work in this process, from the moment the splash window has closed to the
//   main window shown and painted, over a game folder like the demo's and over big ones;
// - as a user waits for it: a program started and run until its main window is painted, the
//   organizer (without the splash window's fixed time) against an empty Qt window, the yardstick for
//   what the loader, Qt and the platform cost any program.
#include "app/widgets/mainwindow.h"
#include "app/widgets/unattended.h"

#include "benchfiles.h"
#include "benchmain.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

void writeFile(const QString& path, qsizetype size) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(QByteArray(size, 'x'));
}

// An application folder with settings.ini pointing at a game folder of `levels` levels, some
// tilesets and music, and a cache of `downloads` downloads.
struct Folders {
    QTemporaryDir app;
    QTemporaryDir game;
    Folders(int levels, int downloads) {
        QDir().mkpath(game.filePath(QStringLiteral("cache")));
        for (int i = 0; i < levels; ++i)
            writeFile(game.filePath(QStringLiteral("Level %1.z2l").arg(i)), 1024);
        for (int i = 0; i < 3; ++i) {
            writeFile(game.filePath(QStringLiteral("Tiles %1.z2t").arg(i)), 2048);
            writeFile(game.filePath(QStringLiteral("Song %1.z2b").arg(i)), 4096);
        }
        for (int i = 0; i < downloads; ++i)
            writeFile(game.filePath(QStringLiteral("cache/Download %1.z2l").arg(i)), 1024);
        QFile settings(app.filePath(QStringLiteral("settings.ini")));
        if (settings.open(QIODevice::WriteOnly))
            settings.write(game.path().toLocal8Bit() + "\r\n/media/cdrom");
    }
};

void BM_StartupToShownWindow(benchmark::State& state) {
    Folders folders(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    zq2::UnattendedPrompter prompter;
    zq2::UnattendedDialogs dialogs;
    for (auto _ : state) {
        zq2::MainWindow window(zq2::portableFolders(folders.app.path()), prompter, dialogs);
        window.Form_Load();
        window.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.grab());
    }
}
BENCHMARK(BM_StartupToShownWindow)
    ->Args({12, 3})
    ->Args({1000, 3})
    ->Args({10000, 3})
    ->Args({20000, 20000})
    ->Unit(benchmark::kMillisecond);

QString probe(const char* name) {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(name);
}

void BM_ProgramToPaintedWindow(benchmark::State& state) {
    Folders folders(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const QByteArray program = QFile::encodeName(probe("probe_organizerwindow"));
    for (auto _ : state)
        zq2::bench::runProgram(program.constData(), {folders.app.path()});
}
BENCHMARK(BM_ProgramToPaintedWindow)
    ->Args({12, 3})
    ->Args({20000, 20000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_EmptyQtProgramToPaintedWindow(benchmark::State& state) {
    const QByteArray program = QFile::encodeName(probe("probe_emptywindow"));
    for (auto _ : state)
        zq2::bench::runProgram(program.constData(), {});
}
BENCHMARK(BM_EmptyQtProgramToPaintedWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

ZQ2_BENCHMARK_MAIN_WITH_WIDGETS()
