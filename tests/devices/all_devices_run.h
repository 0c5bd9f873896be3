#pragma once
// The program's acquisition on a back end's devices, as a user sets it up:
// the AI and DI of the devices chosen through the all-devices components,
// the first channels of the AI on the chart, recording into a scratch folder.
#include "acquisition/run_fixture.h"
#include "kro/devices/all_devices_ai.h"
#include "kro/devices/all_devices_dio.h"
#include <cstring>
#include <fstream>
#include <iterator>

namespace ondrel::testing {

class AllDevicesRun : public ::testing::Test {
protected:
    explicit AllDevicesRun(kro::DeviceRegistry& registry) : ai{registry, nullptr}, dio{registry, nullptr} {}

    kro::AllDevicesAI ai;
    kro::AllDevicesDIO dio;
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

    // Device `aiDevice`'s first `chans` channels and device `dioDevice`'s DI,
    // with the program's default setup, and a plot for each channel and line.
    void Choose(int32_t aiDevice, int32_t dioDevice, int32_t chans)
    {
        ai.SelectDeviceNumber(aiDevice);
        dio.SelectDeviceNumber(dioDevice);
        LoadDefaultSetup(setup, ai, dio);
        InitChannelTables(setup, ai, dio, SetAIColors());
        ConfigureChartAxes(graph);
        files.OpenAtStartUp();
        ai.setEvents(&run.aiEvents());
        ai.setChanStart(0);
        ai.setChanCount(chans);
        graph.Plots().RemoveAll();
        for (int i = 0; i < chans + 8; ++i)
            graph.Plots().Add();
    }
    void TearDown() override
    {
        run.StopIfRunning();
        ai.setEvents(nullptr);
        files.Shutdown();
    }
    void SwitchAI()
    {
        aiSwitch.setValue(true);
        run.KroButton1_SwitchChanged();
        run.CkAISave2Disk_Click(true);
    }
    // "AI.ond" as recorded so far, as floats.
    std::vector<float> Recorded()
    {
        std::ifstream in(files.FAIFileName(), std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<float> samples(bytes.size() / 4);
        std::memcpy(samples.data(), bytes.data(), samples.size() * 4);
        return samples;
    }
};

} // namespace ondrel::testing
