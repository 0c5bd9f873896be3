#pragma once
#include "ondrel/acquisition/run_control.h"
#include "ondrel/graph/plot_control.h"
#include "ondrel/graph/time_base_state.h"
#include "ondrel/graph/replay_chart.h"
#include "ondrel/settings/settings_form.h"

namespace ondrel {

// What the settings command needs of the window: the settings dialog, run
// modally until it closes.
class ISettingsView {
public:
    virtual ~ISettingsView() = default;
    virtual SettingsResult ShowSettingsDialog() = 0;
};

struct SettingsParts {
    AcquisitionSetup& setup;
    TimeBaseState& timeBase;
    const ReplayChart& replay;
    IKroAI& ai;
    IKroThermo& thermo;
    IKroGraph& graph;
    IKroLED& led;
    RunControl& run;
    PlotControl& plots;
    IPrompts& prompts;
};

// The settings command: opens the settings dialog, then brings the window in
// line with what was confirmed there.
class SettingsController {
public:
    SettingsController(const SettingsParts& parts, ISettingsView& view) : p_(parts), view_(view) {}

    // Opens the dialog; afterwards applies the confirmed tab, reads every
    // channel's signal connection back and rebuilds the plots. A failure is
    // reported under "BtnSet".
    void BtnSet_Click();

    // After the fast tab's OK: a ten-second chart at one second per division,
    // buffered AI on (a cyclic run buffers half a second), DI off.
    void ApplyFastOk();
    // The connection of every AI channel as its device reports it: the
    // thermocouple device for thermocouple channels, the AI device for the rest.
    void ReadBackConnections();

private:
    SettingsParts p_;
    ISettingsView& view_;
};

} // namespace ondrel
