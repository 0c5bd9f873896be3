#pragma once
#include "support/fake_timer.h"
#include "support/project_files.h"
#include "display/graph_points.h"
#include "common/scratch_folder.h"
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
