#pragma once
#include "common/scratch_folder.h"
#include "support/recorded_prompts.h"
#include "support/sync_polling_thread.h"
#include "kro/devices/sim_ai.h"
#include "kro/devices/sim_dio.h"
#include "kro/devices/sim_thermo.h"
#include "kro/display/kro_button.h"
#include "kro/display/kro_graph.h"
#include "kro/display/kro_led.h"
#include "ondrel/acquisition/run_control.h"
#include "ondrel/graph/chart_axes.h"
#include "ondrel/recording/description_reader.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/common/timer_dispatcher.h"
#include "ondrel/settings/channel_tables.h"
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>

namespace ondrel::testing {

// What the run switched on the window, in order.
class RecordedPanel final : public ICommandPanel {
public:
    void EnableSetControls(bool enable) override { calls.push_back(enable ? "set on" : "set off"); }
    void EnableAISaveBox(bool enable) override { calls.push_back(enable ? "ai box on" : "ai box off"); }
    void EnableDISaveBox(bool enable) override { calls.push_back(enable ? "di box on" : "di box off"); }
    void SetStartCaption(const std::string& caption) override { calls.push_back("caption " + caption); }
    void EnableSaveAs(bool enable) override { calls.push_back(enable ? "save as on" : "save as off"); }
    void UpdatePlotListView() override { calls.push_back("legend"); }

    std::vector<std::string> calls;
};

// A run on the simulated 16-channel card and 3-port DI card, a real chart and
// read-out, fake timer and panel, recording into a scratch folder.
class RunFixture : public ::testing::Test {
protected:
    kro::SimAI ai{kro::card::Differential16};
    kro::SimDIO dio{kro::card::Di3Ports};
    kro::SimThermo thermo;
    kro::KroGraph graph;
    kro::KroLED led;
    kro::KroButton aiSwitch, diSwitch;
    AcquisitionSetup setup;
    TimeBaseState timeBase;
    RecordedPrompts prompts;
    ManualClock clock{5000};
    ScratchFolder folder;
    RecordingFiles files{folder.path()};
    SyncPollingThread polling;
    RecordedPanel panel;
    RunControl run{AcquisitionParts{setup, timeBase, ai, dio, thermo, graph, led, aiSwitch, diSwitch, prompts, clock,
                                    polling, &files},
                   panel};

    void SetUp() override
    {
        LoadDefaultSetup(setup, ai, dio);
        InitChannelTables(setup, ai, dio, SetAIColors());
        ConfigureChartAxes(graph);
        files.OpenAtStartUp();
        ai.setEvents(&run.aiEvents());
    }
    void TearDown() override
    {
        run.StopIfRunning();
        ai.setEvents(nullptr);
        files.Shutdown();
    }

    void Flip(kro::KroButton& which, bool on)
    {
        which.setValue(on);
        if (&which == &aiSwitch)
            run.KroButton1_SwitchChanged();
        else
            run.KroButton2_SwitchChanged();
    }
    // Port 1, lines 2 and 5, polled.
    void SelectDILines()
    {
        setup.nDIPortMask = {0x00, 0x24, 0x00, 0x00};
        setup.nDIPortStart = 1;
        setup.nDIPortCount = 1;
        setup.nDIChanCount = 2;
        graph.Plots().RemoveAll();
        for (int i = 0; i < ai.ChanCount() + setup.nDIChanCount; ++i)
            graph.Plots().Add();
    }
    size_t FileSize(const std::string& path) { return std::filesystem::file_size(path); }
    static std::vector<std::byte> Bytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        const std::vector<char> chars((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<std::byte> bytes(chars.size());
        std::transform(chars.begin(), chars.end(), bytes.begin(), [](char c) { return std::byte(c); });
        return bytes;
    }
    ProjectDescription Description() { return ParseProjectDescription(Bytes(files.ProjectFileName())); }
    // Another AI card, with the set-up rebuilt for it as a new session would.
    void UseAICard(int32_t number)
    {
        ai.SelectDeviceNumber(number);
        LoadDefaultSetup(setup, ai, dio);
        InitChannelTables(setup, ai, dio, SetAIColors());
    }
};

} // namespace ondrel::testing
