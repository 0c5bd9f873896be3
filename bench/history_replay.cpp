// Replay figures, measured on the simulated chart (offscreen):
//
//   history_bench open                 opening a 1 GiB and a 1 MiB recording
//                                      (sparse files) and a jump to 50 %:
//                                      times must not grow with the size
//   history_bench play SECONDS         a 16-channel recording made at 100 kS/s
//                                      aggregate, replayed at real-time speed
//                                      through the timer control: scans played
//                                      per wall second, CPU, chart frames
#include "cpu_time.h"
#include "recording/expected_bytes.h"
#include "common/scratch_folder.h"
#include "support/recorded_prompts.h"
#include "kro/display/kro_graph.h"
#include "kro/display/kro_led.h"
#include "kro/display/kro_slider.h"
#include "ondrel/graph/chart_axes.h"
#include "ondrel/graph/plot_setup.h"
#include "ondrel/history/replay_control.h"
#include "ondrel/window/program_components.h"
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <qcustomplot.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace ondrel;
using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void WriteBytes(const std::string& path, const std::vector<std::byte>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A saved description of a polled AI recording of `chans` channels.
void WriteProject(const std::string& dir, int32_t chans, int32_t scans, double interval)
{
    ExpectedBytes b;
    b.boolean(true).boolean(false).boolean(true).boolean(true).i32(chans).i32(0);
    for (int32_t i = 0; i < chans; ++i)
        b.plot(0x0000FF << (i % 3 * 8), 0, "AI" + std::to_string(i));
    b.i32(chans);
    for (int32_t i = 0; i < chans; ++i)
        b.byte(0);
    b.i32(scans).f64(interval).text(dir + "/AI.ond").byte(0).text(dir + "/DI.ond");
    WriteBytes(dir + "/Project.onp", b.bytes());
}

class BenchView final : public IReplayView {
public:
    BenchView(IKroGraph& graph, const ReplayState& replay) : graph_(graph), replay_(replay) {}
    std::optional<std::string> ShowOpenProject() override { return project; }
    void EnableHisControls(bool) override {}
    void EnableModeSwitch(bool) override {}
    void SetModeSwitchCaption(const std::string&) override {}
    void EnableSetFrame(bool) override {}
    void EnableStart(bool) override {}
    void EnableSaveAs(bool) override {}
    void EnableCmdFrame(bool) override {}
    void EnableConvert(bool) override {}
    void ShowPlaying(bool) override {}
    void SetupPlots(bool historyMode) override
    {
        ondrel::SetupPlots(graph_, setup_, replay_, AIScanLayout{}, historyMode, true);
    }
    bool LastRunRecorded() const override { return false; }

    std::string project;

private:
    IKroGraph& graph_;
    const ReplayState& replay_;
    AcquisitionSetup setup_;
};

// The replay controller over the simulated chart and sliders.
struct Rig {
    kro::KroGraph graph;
    kro::KroSlider position, speed;
    kro::KroLED led;
    ReplayState state;
    TimeBaseState timeBase;
    testing::RecordedPrompts prompts;
    MonotonicClock clock;
    std::unique_ptr<ITimerControl> timer = ProgramComponents().CreateTimer();
    BenchView view{graph, state};
    ReplayControl replay{ReplayParts{state, timeBase, graph, position, speed, led, prompts, clock, timer.get()}, view};

    Rig()
    {
        ConfigureChartAxes(graph);
        position.setMin(0);
        position.setMax(100);
        speed.setMin(1);
        speed.setMax(2000000);
        timer->setHandler([this](const std::string& key) {
            if (key == kHistoryTimer)
                replay.HistoryTimerProc();
        });
    }
};

void MeasureOpen(uint64_t bytes, const char* label)
{
    ScratchFolder folder;
    constexpr int32_t kChans = 16;
    const int64_t scans = static_cast<int64_t>(bytes / (kChans * 4));
    WriteProject(folder.path(), kChans, static_cast<int32_t>(std::min<int64_t>(scans, 0x7FFFFFFF)), 1e-5 * kChans);
    WriteBytes(folder / "AI.ond", {});
    if (::truncate((folder / "AI.ond").c_str(), static_cast<off_t>(bytes)) != 0)
        std::perror("truncate");
    Rig rig;
    rig.view.project = folder / "Project.onp";
    const auto openStart = Clock::now();
    rig.replay.BtnHistory_Click();
    const double openMs = MsSince(openStart);
    rig.replay.ChkPlay_Click(true);
    const auto jumpStart = Clock::now();
    rig.position.setValue(50.0);
    const double jumpMs = MsSince(jumpStart);
    rig.replay.BtnStop_Click();
    std::printf("open %s recording (%lld scans of 16 channels): open %.2f ms, jump to 50 %% %.3f ms (byte %lld)%s%s\n",
                label, static_cast<long long>(rig.state.nHisDataScanCount), openMs, jumpMs,
                static_cast<long long>(rig.state.nHisFAIReadPos), rig.prompts.messages.empty() ? "" : ", message: ",
                rig.prompts.messages.empty() ? "" : rig.prompts.messages.front().text.c_str());
}

void MeasurePlay(double seconds)
{
    ScratchFolder folder;
    constexpr int32_t kChans = 16;
    constexpr double kAggregateRate = 100000.0;
    const double interval = kChans / kAggregateRate; // 6250 scans per second
    const auto scans = static_cast<int32_t>((seconds + 5) / interval);
    WriteProject(folder.path(), kChans, scans, interval);
    {
        std::vector<float> data(static_cast<size_t>(scans) * kChans);
        for (int32_t s = 0; s < scans; ++s)
            for (int32_t c = 0; c < kChans; ++c)
                data[static_cast<size_t>(s) * kChans + c] = static_cast<float>(std::sin(s * interval * (c + 1)));
        std::ofstream out(folder / "AI.ond", std::ios::binary);
        out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size() * 4));
    }
    Rig rig;
    rig.graph.resize(1200, 600);
    rig.graph.show();
    rig.view.project = folder / "Project.onp";
    rig.replay.BtnHistory_Click();

    int frames = 0;
    double frameMs = 0;
    Clock::time_point frameStart;
    QCustomPlot* chart = rig.graph.customPlot();
    QObject::connect(chart, &QCustomPlot::beforeReplot, [&] { frameStart = Clock::now(); });
    QObject::connect(chart, &QCustomPlot::afterReplot, [&] {
        ++frames;
        frameMs += MsSince(frameStart);
    });

    rig.replay.ChkPlay_Click(true);
    // Warm up, then measure a window of wall time.
    QEventLoop warm;
    QTimer::singleShot(1000, &warm, &QEventLoop::quit);
    warm.exec();
    const int64_t firstScan = rig.state.nHisNextScan;
    const int framesBefore = frames;
    frameMs = 0;
    const double cpuBefore = CpuSeconds();
    const auto start = Clock::now();
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    const double wall = MsSince(start) / 1000.0;
    const double cpu = CpuSeconds() - cpuBefore;
    const int64_t played = rig.state.nHisNextScan - firstScan;
    rig.replay.BtnStop_Click();

    const double rate = static_cast<double>(played) / wall;
    const int measuredFrames = frames - framesBefore;
    std::printf("play 16 channels at 100 kS/s aggregate (%.0f scans/s set): %lld scans in %.2f s = %.1f scans/s "
                "(%+.2f %%); CPU %.1f %% of one core, %.1f %% outside chart frames; chart %d frames (%.1f per s), "
                "%.2f ms each%s%s\n",
                1.0 / interval, static_cast<long long>(played), wall, rate, 100.0 * (rate * interval - 1.0),
                100.0 * cpu / wall, 100.0 * (cpu - frameMs / 1000.0) / wall, measuredFrames, measuredFrames / wall,
                measuredFrames > 0 ? frameMs / measuredFrames : 0.0, rig.prompts.messages.empty() ? "" : ", message: ",
                rig.prompts.messages.empty() ? "" : rig.prompts.messages.front().text.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "open") {
        MeasureOpen(1ull << 20, "1 MiB");
        MeasureOpen(1ull << 30, "1 GiB");
        return 0;
    }
    if (mode == "play") {
        MeasurePlay(argc > 2 ? std::atof(argv[2]) : 10.0);
        return 0;
    }
    std::fprintf(stderr, "usage: %s open | play SECONDS\n", argv[0]);
    return 2;
}
