// Find over a game folder of 20,000 files, a cache of 20,000 and a shelf of 5,000.
//
// The first search reads every title: it is set against listing the three folders plus reading the
// first 220 bytes of each file, the least any reading of titles can do. A later opening finds the
// titles in memory. Each keystroke then searches memory only, through the window as the user types
// (the results list included), with or without a search to narrow.
#include "app/widgets/findwindow.h"
#include "catalogue/find.h"
#include "catalogue/folderlisting.h"
#include "catalogue/titlecache.h"

#include "benchfiles.h"
#include "benchmain.h"
#include "processortime.h"

#include <QEventLoop>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

using zq2::bench::processorMs;
using zq2::bench::reportProcessor;
using zq2::bench::writeBytes;

const QString kPattern = QStringLiteral("*.z2l;*.z2t;*.z2b");

// A level or tileset of 2,000 bytes whose title field holds `title`.
QByteArray levelBytes(const QByteArray& title) {
    QByteArray bytes(2000, '\x01');
    bytes.replace(188, 32, title.leftJustified(32, '\0', true));
    return bytes;
}

// Names and titles with some variety: words that recur, numbers, an accent now and then; one file in
// ten is a tileset and one in ten music.
void fillFolder(const QString& folder, const QString& prefix, int files) {
    static const char* const kWords[] = {"Forest", "Cave", "Sky",   "Lagoon", "Castle", "Desert",
                                         "Ice",    "Lava", "Marsh", "Tower",  "Garden", "Canyon",
                                         "River",  "Peak", "Mine",  "Caf\xE9"};
    QDir().mkpath(folder);
    for (int i = 0; i < files; ++i) {
        const QByteArray a = kWords[i % 16], b = kWords[(i / 16) % 16];
        const char* kind = i % 10 == 3 ? "z2t" : i % 10 == 7 ? "z2b" : "z2l";
        const QString name = QStringLiteral("%1 %2 %3 %4.%5")
                                 .arg(prefix, QString::fromLatin1(a).toLower(), QString::number(i),
                                      QString::fromLatin1(b), QLatin1String(kind));
        writeBytes(folder + QLatin1Char('/') + name,
                   levelBytes(a + " of the " + b + ' ' + QByteArray::number(i)));
    }
}

struct Folders {
    QTemporaryDir root;
    QList<zq2::FindFolder> folders{{zq2::FilePlace::Game, root.filePath(QStringLiteral("game"))},
                                   {zq2::FilePlace::Cache, root.filePath(QStringLiteral("game/cache"))},
                                   {zq2::FilePlace::Shelf, root.filePath(QStringLiteral("game/shelf"))}};
    Folders() {
        fillFolder(folders[0].folder, QStringLiteral("Level"), 20000);
        fillFolder(folders[1].folder, QStringLiteral("Download"), 20000);
        fillFolder(folders[2].folder, QStringLiteral("Kept"), 5000);
    }
};

Folders& folders() {
    static Folders made;
    return made;
}

void BM_ListingPlusTitleBytes(benchmark::State& state) {
    const Folders& f = folders();
    qint64 read = 0;
    const double before = processorMs(RUSAGE_SELF);
    for (auto _ : state) {
        for (const zq2::FindFolder& folder : f.folders) {
            for (const QString& name : zq2::listFolder(folder.folder, kPattern)) {
                char head[220];
                const int fd = ::open(QFile::encodeName(folder.folder + QLatin1Char('/') + name).constData(),
                                      O_RDONLY | O_CLOEXEC);
                if (fd < 0)
                    qFatal("cannot open");
                read += ::read(fd, head, sizeof head);
                ::close(fd);
            }
        }
    }
    reportProcessor(state, RUSAGE_SELF, before);
    benchmark::DoNotOptimize(read);
}

void BM_FindFirstSearch(benchmark::State& state) {
    const Folders& f = folders();
    double freeing = 0;
    const double before = processorMs(RUSAGE_SELF);
    for (auto _ : state) {
        auto titles = std::make_unique<zq2::TitleCache>();
        const zq2::FindIndex index = zq2::buildFindIndex(f.folders, kPattern, *titles);
        if (index.size() != 45000)
            qFatal("%lld files found", qlonglong(index.size()));
        // The titles are kept for the whole run of the program: giving them back is not the search's.
        state.PauseTiming();
        const double start = processorMs(RUSAGE_SELF);
        titles.reset();
        freeing += processorMs(RUSAGE_SELF) - start;
        state.ResumeTiming();
    }
    reportProcessor(state, RUSAGE_SELF, before + freeing);
}

void BM_FindLaterOpening(benchmark::State& state) {
    const Folders& f = folders();
    zq2::TitleCache titles;
    zq2::buildFindIndex(f.folders, kPattern, titles);
    const double before = processorMs(RUSAGE_SELF);
    for (auto _ : state)
        benchmark::DoNotOptimize(zq2::buildFindIndex(f.folders, kPattern, titles).size());
    reportProcessor(state, RUSAGE_SELF, before);
}

// One keystroke in the Find window: the text goes from `before` to `after`, and the results list
// follows. The window is made, and its folders read, once.
void keystroke(benchmark::State& state, const QString& before, const QString& after) {
    const Folders& f = folders();
    zq2::FindWindow window(f.folders, kPattern, std::make_shared<zq2::TitleCache>());
    if (!window.isReady()) {
        QEventLoop reading;
        QObject::connect(&window, &zq2::FindWindow::ready, &reading, &QEventLoop::quit);
        reading.exec();
    }
    auto* field = window.findChild<QLineEdit*>(QStringLiteral("findText"));
    for (auto _ : state) {
        state.PauseTiming();
        field->setText(before);
        state.ResumeTiming();
        field->setText(after);
    }
}

} // namespace

BENCHMARK(BM_ListingPlusTitleBytes)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_FindFirstSearch)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_FindLaterOpening)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
// The first letter matches most files; a letter typed on narrows; a second word narrows further; a
// query that is no longer a continuation searches every file and finds nothing.
BENCHMARK_CAPTURE(keystroke, first letter, QString(), QStringLiteral("e"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(keystroke, typing on, QStringLiteral("caf"), QStringLiteral("cafe"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(keystroke, second word, QStringLiteral("forest"), QStringLiteral("forest 1"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(keystroke, no continuation, QStringLiteral("forest"), QStringLiteral("fores x"))
    ->Unit(benchmark::kMillisecond);

ZQ2_BENCHMARK_MAIN_WITH_WIDGETS()
