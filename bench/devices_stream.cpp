// Streams the simulated fast card (16 channels, 20 MS/s aggregate, cyclic)
// into a handler that only counts, and prints the sustained rate and the CPU
// the process used. Usage: devices_stream_bench [seconds per case, default 10]
#include "cpu_time.h"
#include "kro/devices/sim_ai.h"
#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

namespace {

class CountingSink : public ondrel::IKroAIEvents {
public:
    int64_t samples = 0;
    int64_t halves = 0;
    std::chrono::steady_clock::time_point last;
    std::string failure;
    void FirstBufferChange(std::span<const int16_t>, std::span<const float>, int32_t n) override { add(n); }
    void BufferChange(std::span<const int16_t>, std::span<const float>, int32_t n) override { add(n); }
    void DeviceFailure(const std::string& description) override { failure = description; }

private:
    void add(int32_t n)
    {
        samples += n;
        ++halves;
        last = std::chrono::steady_clock::now();
    }
};

void runCase(const char* label, ondrel::SampleData dataReturnType, int32_t bufferSamples, double seconds)
{
    kro::SimAI ai(kro::card::Fast);
    CountingSink sink;
    ai.setEvents(&sink);
    ai.setChanStart(0);
    ai.setChanCount(16);
    ai.setSampleRate(20e6);
    ai.setDataReturnType(dataReturnType);

    const double cpu0 = CpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    int32_t count = bufferSamples;
    bool cyclic = true;
    ai.StartFAI(count, cyclic);
    QTimer::singleShot(static_cast<int>(seconds * 1000), QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
    ai.StopFAI(0);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double cpu = CpuSeconds() - cpu0;
    // Rate up to the last delivered half: the half still filling at the end is not counted.
    const double streamed = std::chrono::duration<double>(sink.last - t0).count();

    std::printf("%-28s buffer %9d  %6.2f MS/s sustained  %7lld halves  CPU %5.1f %% of one core%s%s\n", label,
                bufferSamples, streamed > 0 ? static_cast<double>(sink.samples) / streamed / 1e6 : 0.0,
                static_cast<long long>(sink.halves), 100.0 * cpu / wall,
                sink.failure.empty() ? "" : "  FAILED: ", sink.failure.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    // 10 M samples is what the program asks for at 20 MS/s cyclic (half the rate).
    runCase("scaled (float), program size", ondrel::SampleData::Scaled, 10'000'000, seconds);
    runCase("raw (int16), program size", ondrel::SampleData::RawCounts, 10'000'000, seconds);
    runCase("scaled (float), 1 M buffer", ondrel::SampleData::Scaled, 1'048'576, seconds);
    // 1.6 ms halves: shows how the card reports a program thread that cannot keep up.
    runCase("scaled (float), 64 K buffer", ondrel::SampleData::Scaled, 65'536, seconds);
    return 0;
}
