// Cost of one pass over a full table (Google Benchmark).
#include "tickwell/timer_table.h"

#include <benchmark/benchmark.h>

namespace {

class Table : public tickwell::TimerTable {
public:
    uint32_t clock = 0;

protected:
    uint32_t Now() const override { return clock; }
};

void PassOver64IdleEntries(benchmark::State& state)
{
    Table t;
    for (int i = 0; i < 64; ++i)
        t.AddEntry("entry " + std::to_string(i), 1000000, 1);
    for (auto _ : state) {
        ++t.clock;
        t.DispatchTick();
    }
}
BENCHMARK(PassOver64IdleEntries);

void PassFiringOneOf64(benchmark::State& state)
{
    Table t;
    for (int i = 0; i < 63; ++i)
        t.AddEntry("entry " + std::to_string(i), 1000000, 1);
    t.AddEntry("SoftPoolTimer", 0, -1);
    for (auto _ : state) {
        ++t.clock;
        t.DispatchTick();
    }
}
BENCHMARK(PassFiringOneOf64);

} // namespace

BENCHMARK_MAIN();
