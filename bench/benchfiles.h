#pragma once

// Set-up shared by the benchmarks that work on folders: writing files, a game folder of many
// levels, and running a system program to compare with.

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <spawn.h>
#include <sys/wait.h>

#include <vector>

extern char** environ;

namespace zq2::bench {

// A folder for the benchmark's files in memory (/dev/shm) where the system has one, so that the
// disk and the file system's bookkeeping after earlier runs (a 10,000-file folder deleted between
// iterations slows the next ones on ext4) stay out of what is timed.
inline QString scratchTemplate() {
    const QString shm = QStringLiteral("/dev/shm");
    const QFileInfo info(shm);
    return (info.isDir() && info.isWritable() ? shm : QDir::tempPath()) + QStringLiteral("/zq2bench-XXXXXX");
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// A fresh folder game<run> in `root` holding `files` levels of 64 bytes, Level00000.z2l and on.
inline QString freshGameFolder(const QTemporaryDir& root, int run, int files) {
    const QString folder = root.filePath(QStringLiteral("game%1").arg(run));
    QDir().mkpath(folder);
    const QByteArray bytes(64, 'g');
    for (int i = 0; i < files; ++i)
        writeBytes(folder + QStringLiteral("/Level%1.z2l").arg(i, 5, 10, QLatin1Char('0')), bytes);
    return folder;
}

// Times `work(folder)` on a fresh game folder of `files` levels at each iteration; making the folder
// and removing it afterwards are not timed.
template <typename Work> void onFreshGameFolders(benchmark::State& state, int files, Work work) {
    QTemporaryDir root(scratchTemplate());
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString folder = freshGameFolder(root, run++, files);
        state.ResumeTiming();
        work(folder);
        state.PauseTiming();
        QDir(folder).removeRecursively();
        state.ResumeTiming();
    }
}

// Runs `program`, found on the PATH, with `arguments` and waits for it; a failure ends the benchmark.
inline void runProgram(const char* program, const QStringList& arguments) {
    std::vector<QByteArray> storage{QByteArray(program)};
    for (const QString& argument : arguments)
        storage.push_back(QFile::encodeName(argument));
    std::vector<char*> argv;
    for (QByteArray& arg : storage)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    int status = 0;
    if (posix_spawnp(&pid, program, nullptr, nullptr, argv.data(), environ) != 0 ||
        waitpid(pid, &status, 0) < 0 || status != 0)
        qFatal("%s failed", program);
}

} // namespace zq2::bench
