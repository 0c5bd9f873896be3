#include "ondrel/recording/raw_samples.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/common/file_paths.h"
#include "ondrel/common/working_folder.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <vector>

namespace {

constexpr int64_t kChannels = 16;
// The file is emptied (by a new Start) after this much, so the benchmark does
// not fill the disk however long it runs.
constexpr int64_t kBytesPerRun = int64_t{512} << 20;

// One buffer of `range(0)` bytes of F32 samples from 16 channels, appended as
// the buffered-AI handler does.
void BM_FAIAppend(benchmark::State& state)
{
    const auto blockBytes = state.range(0);
    std::vector<float> block(static_cast<size_t>(blockBytes / 4));
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<float>(static_cast<int64_t>(i) % kChannels) * 0.5f;

    ondrel::RecordingFiles files(ondrel::CreateUniqueFolder(ondrel::TempPath(), "on-bench"));
    files.OpenAtStartUp();
    const ondrel::RunDescription run{};
    files.WriteProjectInfo(run, nullptr);
    int64_t written = 0;
    for (auto _ : state) {
        if (written >= kBytesPerRun) {
            state.PauseTiming();
            files.WriteProjectInfo(run, nullptr);
            written = 0;
            state.ResumeTiming();
        }
        files.AppendFAI(block);
        written += blockBytes;
    }
    state.SetBytesProcessed(state.iterations() * blockBytes);
    state.counters["scans/s"] = benchmark::Counter(static_cast<double>(state.iterations() * blockBytes / 4 / kChannels),
                                                   benchmark::Counter::kIsRate);
    files.Shutdown();
}
BENCHMARK(BM_FAIAppend)->Arg(64 << 10)->Arg(1 << 20)->UseRealTime();

// Raw counts of one buffer converted into a reused work buffer.
void BM_ConvertRawSamples(benchmark::State& state)
{
    std::vector<int16_t> raw(static_cast<size_t>(state.range(0)));
    for (size_t i = 0; i < raw.size(); ++i)
        raw[i] = static_cast<int16_t>(i * 37);
    std::vector<int32_t> buffer;
    for (auto _ : state)
        benchmark::DoNotOptimize(ondrel::ConvertRawSamples("PCI-1711", raw, buffer).data());
    state.SetBytesProcessed(state.iterations() * state.range(0) * 4);
}
BENCHMARK(BM_ConvertRawSamples)->Arg(16 << 10)->Arg(256 << 10);

} // namespace

BENCHMARK_MAIN();
