// Export of a 16-channel F32 recording to text, against a plain loop that
// formats each value with snprintf("%.7G") and writes it with stdio.
#include "common/scratch_folder.h"
#include "support/project_files.h"
#include "ondrel/export/project_export.h"
#include <chrono>
#include <cstdio>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int32_t kChannels = 16;

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

long PeakKiB()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A recording of `scans` scans of a varied signal, written in pieces.
void WriteRecording(const ScratchFolder& folder, int64_t scans)
{
    ondrel::testing::IndexSpec spec;
    spec.aiChans = kChannels;
    spec.scanCount = static_cast<int32_t>(scans);
    spec.scanInterval = 1e-5;
    spec.paths = std::pair{folder / "AI.ond", folder / "DI.ond"};
    ondrel::testing::WriteFile(folder / "Project.onp", ondrel::testing::IndexBytes(spec).bytes());
    std::FILE* out = std::fopen((folder / "AI.ond").c_str(), "wb");
    std::vector<float> scan(kChannels);
    for (int64_t s = 0; s < scans; ++s) {
        for (int32_t c = 0; c < kChannels; ++c)
            scan[static_cast<size_t>(c)] = static_cast<float>(std::sin(0.001 * s + c) * (c + 1) * 1.7);
        std::fwrite(scan.data(), sizeof(float), scan.size(), out);
    }
    std::fclose(out);
}

// The plain way: read scans with stdio, format each value with snprintf.
void PlainLoop(const ScratchFolder& folder, const std::string& path)
{
    std::FILE* in = std::fopen((folder / "AI.ond").c_str(), "rb");
    std::FILE* out = std::fopen(path.c_str(), "wb");
    std::fputs("Time", out);
    for (int32_t c = 0; c < kChannels; ++c)
        std::fprintf(out, "\tAI%d", c);
    std::vector<float> scan(kChannels);
    double time = 0.0;
    char text[64];
    while (std::fread(scan.data(), sizeof(float), scan.size(), in) == scan.size()) {
        time += 1e-5;
        std::snprintf(text, sizeof text, "\r\n%.15G", time);
        std::fputs(text, out);
        for (float v : scan) {
            std::snprintf(text, sizeof text, "\t%.7G", static_cast<double>(v));
            std::fputs(text, out);
        }
    }
    std::fclose(out);
    std::fclose(in);
}

// Whether two files hold the same bytes, read a megabyte at a time.
bool SameBytes(const std::string& a, const std::string& b)
{
    std::FILE* x = std::fopen(a.c_str(), "rb");
    std::FILE* y = std::fopen(b.c_str(), "rb");
    std::vector<char> bx(1 << 20), by(1 << 20);
    bool same = x != nullptr && y != nullptr;
    while (same) {
        const size_t nx = std::fread(bx.data(), 1, bx.size(), x);
        const size_t ny = std::fread(by.data(), 1, by.size(), y);
        same = nx == ny && std::memcmp(bx.data(), by.data(), nx) == 0;
        if (nx == 0)
            break;
    }
    if (x)
        std::fclose(x);
    if (y)
        std::fclose(y);
    return same;
}

} // namespace

int main(int argc, char** argv)
{
    const int64_t scans = argc > 1 ? std::atoll(argv[1]) : 1000000;
    ScratchFolder folder;
    WriteRecording(folder, scans);
    const double values = static_cast<double>(scans) * kChannels;
    const long baseKiB = PeakKiB();

    auto start = std::chrono::steady_clock::now();
    ondrel::ExportProject({folder / "Project.onp", folder / "out", true, false, '.'}, {});
    const double exportSeconds = Seconds(start);
    const double exportBytes = static_cast<double>(std::filesystem::file_size(folder / "out/AI.xlt"));
    const long exportKiB = PeakKiB();

    start = std::chrono::steady_clock::now();
    PlainLoop(folder, folder / "plain.xlt");
    const double plainSeconds = Seconds(start);
    const double plainBytes = static_cast<double>(std::filesystem::file_size(folder / "plain.xlt"));

    std::printf("export %lld scans x %d channels: %.1f MB of text in %.2f s = %.0f MB/s, %.1f ns per value; "
                "peak memory +%ld KiB\n",
                static_cast<long long>(scans), kChannels, exportBytes / 1e6, exportSeconds,
                exportBytes / 1e6 / exportSeconds, exportSeconds * 1e9 / values, exportKiB - baseKiB);
    std::printf("plain snprintf/stdio loop: %.1f MB in %.2f s = %.0f MB/s, %.1f ns per value; export is %.2fx\n",
                plainBytes / 1e6, plainSeconds, plainBytes / 1e6 / plainSeconds, plainSeconds * 1e9 / values,
                plainSeconds / exportSeconds);
    std::printf("the two files are %s\n",
                SameBytes(folder / "out/AI.xlt", folder / "plain.xlt") ? "byte for byte the same" : "DIFFERENT");
    return 0;
}
