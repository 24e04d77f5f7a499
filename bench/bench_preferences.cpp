// A preferences file of many patterns: the main window reading it into its two filter drop-downs, and
// the Preferences dialog opening on it. Both grow with the number of patterns; the largest file read
// (100,000 patterns) should still open within about a second.
#include "app/widgets/mainwindow.h"
#include "app/widgets/unattended.h"
#include "config/widgets/prefsdialog.h"

#include "benchmain.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

// A program folder whose preferences.ini holds `patterns` patterns.
struct AppFolder {
    QTemporaryDir app;
    explicit AppFolder(int patterns) {
        QByteArray bytes = "USESKIN=NO\r\n\r\nUSETIPS=YES\r\nWARNMAXLVLS=YES\r\nDISPLAYDELETE=YES";
        for (int i = 0; i < patterns; ++i)
            bytes += "\r\n*." + QByteArray::number(i % 1000);
        QFile file(app.filePath(QStringLiteral("preferences.ini")));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }
};

void BM_MainWindowLoadsPreferences(benchmark::State& state) {
    AppFolder folder(static_cast<int>(state.range(0)));
    zq2::UnattendedPrompter prompter;
    zq2::UnattendedDialogs dialogs;
    zq2::MainWindow window(zq2::portableFolders(folder.app.path()), prompter, dialogs);
    for (auto _ : state)
        window.LoadPreferences();
}
BENCHMARK(BM_MainWindowLoadsPreferences)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_PreferencesDialogOpens(benchmark::State& state) {
    AppFolder folder(static_cast<int>(state.range(0)));
    zq2::UnattendedPrompter prompter;
    for (auto _ : state) {
        zq2::PrefsDialog dialog(folder.app.path(), prompter, {});
        dialog.show();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_PreferencesDialogOpens)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

ZQ2_BENCHMARK_MAIN_WITH_WIDGETS()
