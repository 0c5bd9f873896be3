// Soak: buffered AI at an aggregate 1 MS/s (16 channels) with recording on,
// through the main window and its run controller on the simulated card, for a
// given time. Reports whether the run overran (stopped, or a message), what
// was recorded, and the growth of resident memory from the end of the first
// tenth of the run to its end. Goal: no overrun, growth under 5 %.
//
//   recording_soak [SECONDS]     default 60
#include "run_for.h"
#include "support/frm_main_probe.h"
#include "support/recorded_prompts.h"
#include "support/test_components.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/window/frm_main.h"
#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

using namespace ondrel;

constexpr double kRate = 1000000.0;
constexpr int32_t kChannels = 16;

// Resident set size in bytes, from /proc.
double ResidentBytes()
{
    long pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE));
}

} // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60.0;

    testing::TestComponents components;
    components.aiCard = kro::card::Fast;
    testing::RecordedPrompts prompts;
    MonotonicClock clock;
    FrmMain form(components, prompts, clock);
    form.show();
    components.ai->setChanCount(kChannels);
    components.ai->setSampleRate(kRate);
    testing::Inside(form).setup().bSoftMode = false;
    testing::Inside(form).setup().bFAICyclic = true;
    testing::Inside(form).setup().nAISampleCnt = static_cast<int32_t>(kRate / 5) / 32 * 32; // ten halves a second
    testing::Inside(form).plots().SetupPlots(false, true);
    testing::Inside(form).KroButton1().setValue(true);
    testing::Inside(form).run().KroButton1_SwitchChanged();
    form.findChild<QCheckBox*>("CkAISave2Disk")->setChecked(true);
    testing::Inside(form).run().CkAISave2Disk_Click(true);

    testing::Inside(form).run().BtnStart_Click();
    RunFor(seconds / 10, [&] { return !testing::Inside(form).run().status().isSystemRunning; });
    const double settled = ResidentBytes();
    RunFor(seconds * 9 / 10, [&] { return !testing::Inside(form).run().status().isSystemRunning; });
    const double last = ResidentBytes();
    const bool survived = testing::Inside(form).run().status().isSystemRunning;
    const long long scans = testing::Inside(form).run().status().nScanCount;
    if (survived)
        testing::Inside(form).run().BtnStart_Click();
    const auto bytes = std::filesystem::file_size(testing::Inside(form).files()->FAIFileName());
    std::printf("soak %.0f s at %.0f S/s, %d channels: %s; %lld scans, %.3g samples recorded (%.3g S/s)\n", seconds,
                kRate, kChannels, survived && prompts.messages.empty() ? "no overrun" : "OVERRUN/STOPPED", scans,
                static_cast<double>(bytes) / 4.0, static_cast<double>(bytes) / 4.0 / seconds);
    std::printf("resident memory: %.1f MiB after %.0f s, %.1f MiB at the end: growth %.2f %%%s%s\n",
                settled / 1048576.0, seconds / 10, last / 1048576.0, 100.0 * (last - settled) / settled,
                prompts.messages.empty() ? "" : "; message: ",
                prompts.messages.empty() ? "" : prompts.messages.front().text.c_str());
    return survived ? 0 : 1;
}
