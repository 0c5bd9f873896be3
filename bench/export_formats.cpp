// Every export format side by side on one 16-channel F32 recording of
// 1,000,000 scans (64 MB of samples): megabytes of samples per second (wall
// clock and processor time), the size written, and the peak memory each adds.
// Each format runs in a fresh process of its own, so one's peak never hides
// another's.
//
//   export_formats_bench [SCANS]
#include "cpu_time.h"
#include "common/scratch_folder.h"
#include "support/project_files.h"
#include "ondrel/export/export_formats.h"
#include "ondrel/export/project_export.h"
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int32_t kChannels = 16;

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

uint64_t FolderBytes(const std::string& folder)
{
    uint64_t bytes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        bytes += entry.file_size();
    return bytes;
}

// The child: one export of `folder`'s recording in `name`'s format.
int ExportOne(const std::string& name, const std::string& folder)
{
    const auto format = ondrel::FormatNamed(name);
    if (!format)
        return 1;
    const double samples = static_cast<double>(std::filesystem::file_size(folder + "/AI.ond"));
    const long baseKiB = PeakKiB();
    const double cpuStart = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const std::string out = folder + "/out-" + name;
    ondrel::ExportProject({folder + "/Project.onp", out, true, false, '.', *format}, {});
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = CpuSeconds() - cpuStart;
    std::printf("%-5s %8.0f MB/s %8.0f MB/s cpu %8.2f s %9.1f MB written %+8ld KiB peak\n", name.c_str(),
                samples / 1e6 / seconds, samples / 1e6 / cpu, seconds, static_cast<double>(FolderBytes(out)) / 1e6,
                PeakKiB() - baseKiB);
    std::filesystem::remove_all(out);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--one")
        return ExportOne(argv[2], argv[3]);
    const int64_t scans = argc > 1 ? std::atoll(argv[1]) : 1000000;
    ScratchFolder folder;
    WriteRecording(folder, scans);
    std::printf("%lld scans x %d channels of F32: %.1f MB of samples\n", static_cast<long long>(scans), kChannels,
                static_cast<double>(scans) * kChannels * 4 / 1e6);
    std::printf("format   samples/s (wall)  samples/s (cpu)    time      size            memory added\n");
    for (const ondrel::ExportFormatInfo& info : ondrel::OfferedFormats()) {
        std::fflush(stdout);
        std::vector<std::string> args = {"/proc/self/exe", "--one", std::string(info.name), folder.path()};
        std::vector<char*> argv2;
        for (std::string& arg : args)
            argv2.push_back(arg.data());
        argv2.push_back(nullptr);
        pid_t child = 0;
        if (::posix_spawn(&child, "/proc/self/exe", nullptr, nullptr, argv2.data(), environ) != 0)
            return 1;
        int status = 0;
        ::waitpid(child, &status, 0);
    }
    return 0;
}
