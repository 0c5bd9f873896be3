// End-to-end acquisition figures, measured through the main window on the
// simulated cards (offscreen):
//
//   acquisition_bench fai SECONDS RATE...   buffered AI, 16 channels, cyclic,
//                                           recording on; per rate: overrun or
//                                           not, samples recorded, CPU used
//   acquisition_bench poll SECONDS          polling at 1 ms, 16 AI channels and
//                                           3 DI ports recorded; scans per
//                                           second, the tick-to-tick spread and
//                                           the chart frames that hold the thread
#include "cpu_time.h"
#include "support/frm_main_probe.h"
#include "run_for.h"
#include "support/recorded_prompts.h"
#include "support/test_components.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/window/frm_main.h"
#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QTimer>
#include <qcustomplot.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

using namespace ondrel;

void SwitchOn(FrmMain& form, bool ai, bool di)
{
    if (ai) {
        testing::Inside(form).KroButton1().setValue(true);
        testing::Inside(form).run().KroButton1_SwitchChanged();
        form.findChild<QCheckBox*>("CkAISave2Disk")->setChecked(true);
        testing::Inside(form).run().CkAISave2Disk_Click(true);
    }
    if (di) {
        testing::Inside(form).KroButton2().setValue(true);
        testing::Inside(form).run().KroButton2_SwitchChanged();
        form.findChild<QCheckBox*>("CkDISave2Disk")->setChecked(true);
        testing::Inside(form).run().CkDISave2Disk_Click(true);
    }
}

void MeasureBufferedAI(double seconds, double rate)
{
    testing::TestComponents components;
    components.aiCard = kro::card::Fast;
    testing::RecordedPrompts prompts;
    MonotonicClock clock;
    FrmMain form(components, prompts, clock);
    form.show();
    components.ai->setChanCount(16);
    components.ai->setSampleRate(rate);
    testing::Inside(form).setup().bSoftMode = false;
    testing::Inside(form).setup().bFAICyclic = true;
    // A fifth of a second per buffer: ten halves a second whatever the rate.
    testing::Inside(form).setup().nAISampleCnt = std::max(4096, static_cast<int32_t>(rate / 5) / 32 * 32);
    testing::Inside(form).plots().SetupPlots(false, true);
    SwitchOn(form, true, false);

    const double cpuBefore = CpuSeconds();
    testing::Inside(form).run().BtnStart_Click();
    RunFor(seconds, [&] { return !testing::Inside(form).run().status().isSystemRunning; });
    const bool survived = testing::Inside(form).run().status().isSystemRunning;
    if (survived)
        testing::Inside(form).run().BtnStart_Click();
    const double cpu = CpuSeconds() - cpuBefore;
    const auto bytes = std::filesystem::file_size(testing::Inside(form).files()->FAIFileName());
    const double samples = static_cast<double>(bytes) / 4.0;
    std::printf("fai rate %.0f S/s: %s, %.3g samples recorded (%.3g S/s), CPU %.1f %% of one core%s%s\n", rate,
                survived ? "no overrun" : "STOPPED", samples, samples / seconds, 100.0 * cpu / seconds,
                prompts.messages.empty() ? "" : ", message: ",
                prompts.messages.empty() ? "" : prompts.messages.front().text.c_str());
}

void MeasurePolling(double seconds)
{
    // Polling ticks, timed where they arrive (the polling thread); read
    // only once the run has stopped.
    std::vector<double> ticks;
    ticks.reserve(static_cast<size_t>(seconds * 1200));
    const auto start = std::chrono::steady_clock::now();
    testing::TestComponents components;
    components.tickObserver = [&](const std::string& key) {
        if (key == kSoftPoolTimer)
            ticks.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    };
    testing::RecordedPrompts prompts;
    MonotonicClock clock;
    FrmMain form(components, prompts, clock);
    form.show();
    components.ai->setChanCount(16);
    testing::Inside(form).setup().nDIPortMask = {0xFF, 0xFF, 0xFF, 0};
    testing::Inside(form).setup().nDIPortStart = 0;
    testing::Inside(form).setup().nDIPortCount = 3;
    testing::Inside(form).setup().nDIChanCount = 24;
    testing::Inside(form).setup().nTimerInterval = 1;
    testing::Inside(form).plots().SetupPlots(false, true);
    SwitchOn(form, true, true);

    // Chart frames: how many, and how long each holds the program thread.
    QCustomPlot* chart = form.findChild<QCustomPlot*>();
    std::chrono::steady_clock::time_point frameStart;
    std::vector<double> frames;
    QObject::connect(chart, &QCustomPlot::beforeReplot, [&] { frameStart = std::chrono::steady_clock::now(); });
    QObject::connect(chart, &QCustomPlot::afterReplot, [&] {
        frames.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - frameStart).count());
    });
    const double cpuBefore = CpuSeconds();
    testing::Inside(form).run().BtnStart_Click();
    RunFor(seconds);
    testing::Inside(form).run().BtnStart_Click();
    const double cpu = CpuSeconds() - cpuBefore;
    // Scans per second of the run's own span, first tick to last.
    const double span = ticks.size() > 1 ? (ticks.back() - ticks.front()) / 1000.0 : seconds;
    double frameMs = 0;
    for (double f : frames)
        frameMs += f;

    std::vector<double> periods;
    for (size_t i = 1; i < ticks.size(); ++i)
        periods.push_back(ticks[i] - ticks[i - 1]);
    std::sort(periods.begin(), periods.end());
    auto pct = [&](double p) { return periods.empty() ? 0.0 : periods[static_cast<size_t>(p * (periods.size() - 1))]; };
    double mean = 0;
    for (double p : periods)
        mean += p;
    mean = periods.empty() ? 0 : mean / periods.size();
    std::printf("poll 1 ms, 16 AI + 3 DI ports recorded: %lld scans (%zu ticks) in %.2f s = %.0f scans/s; period "
                "mean %.3f ms, p50 %.3f, p99 %.3f, max %.3f; CPU %.1f %% of one core; AI.ond %ju bytes, DI.ond %ju "
                "bytes%s%s\n",
                static_cast<long long>(testing::Inside(form).run().status().nScanCount), ticks.size(), span,
                static_cast<double>(testing::Inside(form).run().status().nScanCount) / span, mean, pct(0.5), pct(0.99),
                periods.empty() ? 0.0 : periods.back(), 100.0 * cpu / seconds,
                static_cast<uintmax_t>(std::filesystem::file_size(testing::Inside(form).files()->AIFileName())),
                static_cast<uintmax_t>(std::filesystem::file_size(testing::Inside(form).files()->DIFileName())),
                prompts.messages.empty() ? "" : "; message: ",
                prompts.messages.empty() ? "" : prompts.messages.front().text.c_str());
    std::printf("chart: %zu frames, %.2f ms each on average, %.1f %% of the time\n", frames.size(),
                frames.empty() ? 0.0 : frameMs / double(frames.size()), 100.0 * frameMs / (seconds * 1000.0));
}

} // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    const double seconds = argc > 2 ? std::atof(argv[2]) : 10.0;
    if (mode == "fai") {
        for (int i = 3; i < argc; ++i)
            MeasureBufferedAI(seconds, std::atof(argv[i]));
        return 0;
    }
    if (mode == "poll") {
        MeasurePolling(seconds);
        return 0;
    }
    std::fprintf(stderr, "usage: %s fai SECONDS RATE... | poll SECONDS\n", argv[0]);
    return 2;
}
