#pragma once

// Processor time, for benchmarks that run on a machine others share: the time on the clock then
// includes the waiting for a processor, which the processor time does not.

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace zq2::bench {

// Processor time spent by this process, all its threads (`who` RUSAGE_SELF), or by the programs it
// ran and waited for (RUSAGE_CHILDREN), in milliseconds.
inline double processorMs(int who) {
    struct rusage usage {};
    ::getrusage(who, &usage);
    const auto ms = [](const timeval& t) { return double(t.tv_sec) * 1000 + double(t.tv_usec) / 1000; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Reports the processor time per iteration of `who` since `before` as the counter "cpu_ms".
inline void reportProcessor(benchmark::State& state, int who, double before) {
    state.counters["cpu_ms"] = (processorMs(who) - before) / double(state.iterations());
}

} // namespace zq2::bench
