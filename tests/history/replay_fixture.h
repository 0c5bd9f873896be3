#pragma once
#include "recording/expected_bytes.h"
#include "display/graph_points.h"
#include "session/scratch_folder.h"
#include "support/recorded_prompts.h"
#include "kro/display/kro_graph.h"
#include "kro/display/kro_led.h"
#include "kro/display/kro_slider.h"
#include "ondrel/graph/chart_axes.h"
#include "ondrel/graph/plot_setup.h"
#include "ondrel/history/replay_control.h"
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>

namespace ondrel::testing {

inline void WriteFile(const std::string& path, const std::vector<std::byte>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A saved description written byte by byte from the recording layout.
struct IndexSpec {
    bool ai = true, di = false, soft = true, floats = true;
    int32_t aiChans = 2, diChans = 0;
    std::vector<uint8_t> portMasks;           // DI port masks (field 12)
    int32_t scanCount = 1000;
    double scanInterval = 0.01;
    std::optional<std::pair<std::string, std::string>> paths;   // fields 15 and 16 (raw bytes)
};

inline ExpectedBytes IndexBytes(const IndexSpec& spec)
{
    ExpectedBytes b;
    b.boolean(spec.ai).boolean(spec.di).boolean(spec.soft).boolean(spec.floats).i32(spec.aiChans).i32(spec.diChans);
    if (spec.ai) {
        for (int32_t i = 0; i < spec.aiChans; ++i)
            b.plot(255 + i, 0, "AI" + std::to_string(i));
        b.i32(16);
        for (int i = 0; i < 16; ++i)
            b.byte(0);
    }
    if (spec.di) {
        for (int32_t i = 0; i < spec.diChans; ++i)
            b.plot(65280, 1, "DI" + std::to_string(i));
        b.i32(static_cast<int32_t>(spec.portMasks.size()));
        for (uint8_t mask : spec.portMasks)
            b.byte(mask);
    }
    b.i32(spec.scanCount).f64(spec.scanInterval);
    if (spec.paths)
        b.text(spec.paths->first).byte(0).text(spec.paths->second);
    return b;
}

// AI.ond: scan s, channel c holds s + c / 10 (F32).
inline std::vector<std::byte> AIData(int64_t scans, int32_t chans)
{
    ExpectedBytes b;
    for (int64_t s = 0; s < scans; ++s)
        for (int32_t c = 0; c < chans; ++c)
            b.f32(static_cast<float>(s) + static_cast<float>(c) / 10.0f);
    return b.bytes();
}

// DI.ond: header, then `scanBytes` as stored.
inline std::vector<std::byte> DIData(int32_t portStart, int32_t portCount, const std::vector<uint8_t>& scanBytes)
{
    ExpectedBytes b;
    b.i32(portStart).i32(portCount);
    for (uint8_t x : scanBytes)
        b.byte(x);
    return b.bytes();
}

class FakeTimer final : public ITimerControl {
public:
    struct Entry {
        int32_t interval = 0;
        bool enabled = false;
    };
    bool exist(const std::string& key) override { return entries.contains(key); }
    void Add(const std::string& key, int32_t interval, bool enabled) override
    {
        ++adds;
        entries[key] = {interval, enabled};
    }
    void setEnabled(const std::string& key, bool enabled) override { entries.at(key).enabled = enabled; }
    void setInterval(const std::string& key, int32_t interval) override { entries.at(key).interval = interval; }
    void setHandler(Handler h) override { handler = std::move(h); }

    std::map<std::string, Entry> entries;
    int adds = 0;
    Handler handler;
};

// The window as replay drives it: records the calls, rebuilds the plots on
// the simulated chart as the plot set-up does.
class RecordedView final : public IReplayView {
public:
    RecordedView(IKroGraph& graph, const ReplayState& replay) : graph_(graph), replay_(replay) {}

    std::optional<std::string> ShowOpenProject() override
    {
        calls.push_back("open dialog");
        return answer;
    }
    void EnableHisControls(bool value) override { Flag("his controls", value); }
    void EnableModeSwitch(bool enable) override { Flag("mode switch", enable); }
    void SetModeSwitchCaption(const std::string& caption) override { calls.push_back("mode caption " + caption); }
    void EnableSetFrame(bool enable) override { Flag("set frame", enable); }
    void EnableStart(bool enable) override { Flag("start", enable); }
    void EnableSaveAs(bool enable) override { Flag("save as", enable); }
    void EnableCmdFrame(bool enable) override { Flag("cmd frame", enable); }
    void EnableConvert(bool enable) override { Flag("convert", enable); }
    void ShowPlaying(bool playing) override { Flag("playing", playing); }
    void SetupPlots(bool historyMode) override
    {
        calls.push_back(historyMode ? "plots history" : "plots acquisition");
        ondrel::SetupPlots(graph_, setup, replay_, AIScanLayout{}, historyMode, true);
    }
    bool LastRunRecorded() const override { return lastRunRecorded; }

    // The last state each flag was given.
    bool State(const std::string& what) const { return flags.at(what); }

    std::optional<std::string> answer;
    bool lastRunRecorded = false;
    AcquisitionSetup setup;
    std::vector<std::string> calls;
    std::map<std::string, bool> flags;

private:
    void Flag(const std::string& what, bool on)
    {
        calls.push_back(what + (on ? " on" : " off"));
        flags[what] = on;
    }
    IKroGraph& graph_;
    const ReplayState& replay_;
};

class ReplayTest : public ::testing::Test {
protected:
    ScratchFolder folder;
    kro::KroGraph graph;
    kro::KroSlider position, speed;
    kro::KroLED led;
    ReplayState state;
    TimeBaseState timeBase;
    RecordedPrompts prompts;
    ManualClock clock{1000};
    FakeTimer timer;
    RecordedView view{graph, state};
    ReplayControl replay{ReplayParts{state, timeBase, graph, position, speed, led, prompts, clock, &timer}, view};

    ReplayTest()
    {
        ConfigureChartAxes(graph);
        position.setMin(0);
        position.setMax(100);
        speed.setMin(1);
        speed.setMax(2000000);
    }

    // A saved project in `dir` (created): the description and the data files
    // named by their full paths, as Save As stores them.
    std::string Save(const std::string& dir, IndexSpec spec, const std::vector<std::byte>& ai,
                     const std::vector<std::byte>& di)
    {
        std::filesystem::create_directories(dir);
        if (!spec.paths)
            spec.paths = {{dir + "/AI.ond", dir + "/DI.ond"}};
        WriteFile(dir + "/Project.onp", IndexBytes(spec).bytes());
        if (!ai.empty() || spec.ai)
            WriteFile(dir + "/AI.ond", ai);
        if (spec.di)
            WriteFile(dir + "/DI.ond", di);
        return dir + "/Project.onp";
    }

    void Open(const std::string& projectFile)
    {
        view.answer = projectFile;
        replay.BtnHistory_Click();
    }
    // One HistoryTimer tick, the clock moved on by one timer period.
    void Tick()
    {
        clock.Advance(static_cast<uint32_t>(timer.entries.at(kHistoryTimer).interval));
        replay.HistoryTimerProc();
    }
    void Play() { replay.ChkPlay_Click(true); }

    kro::KroPlot& PlotAt(int32_t i) { return graph.Plots().Item(i); }
};

} // namespace ondrel::testing
