#pragma once
#include "support/recorded_prompts.h"
#include "kro/devices/sim_ai.h"
#include "kro/devices/sim_dio.h"
#include "kro/display/kro_graph.h"
#include "kro/display/kro_led.h"
#include "ondrel/graph/chart_axes.h"
#include "ondrel/graph/plot_setup.h"
#include "ondrel/graph/time_base.h"
#include "ondrel/settings/channel_tables.h"
#include <gtest/gtest.h>

namespace ondrel::testing {

// The time base over the simulated card, a real chart and a real read-out,
// with the set-up a session starts with and a time axis of 0 to 10 s.
class TimeBaseFixture : public ::testing::Test {
protected:
    kro::SimAI ai{kro::card::Differential16};
    kro::SimDIO dio{kro::card::Di3Ports};
    kro::KroGraph graph;
    kro::KroLED led;
    AcquisitionSetup setup;
    ReplayChart replay;
    TimeBaseState state;
    RecordedPrompts prompts;
    TimeBase timeBase{{state, graph, led, ai, setup, replay, prompts}};

    void SetUp() override
    {
        LoadDefaultSetup(setup, ai, dio);
        ConfigureChartAxes(graph);
        graph.Axes().Item(kTimeAxis).SetRange(0.0, 10.0);
    }
};

} // namespace ondrel::testing
