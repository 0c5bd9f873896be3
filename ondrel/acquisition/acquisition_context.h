#pragma once
#include "ondrel/acquisition/polling_thread.h"
#include "ondrel/acquisition/run_status.h"
#include "ondrel/components/ai_device.h"
#include "ondrel/components/dio_device.h"
#include "ondrel/components/graph.h"
#include "ondrel/components/led_readout.h"
#include "ondrel/components/switch_button.h"
#include "ondrel/components/thermo_device.h"
#include "ondrel/graph/time_base_state.h"
#include "ondrel/common/acquisition_setup.h"
#include "ondrel/common/clock.h"
#include "ondrel/common/prompts.h"
#include <functional>

namespace ondrel {

class RecordingFiles;

// What the window hands to acquisition: the set-up, the devices, the chart and
// its read-out, the switches and the files, all owned elsewhere.
struct AcquisitionParts {
    AcquisitionSetup& setup;
    TimeBaseState& timeBase;
    IKroAI& ai;
    IKroDIO& dio;
    IKroThermo& thermo;
    IKroGraph& graph;
    IKroLED& led;
    IKroButton& aiSwitch;
    IKroButton& diSwitch;
    IPrompts& prompts;
    IClock& clock;
    // Where polled runs tick; what it hands back runs on the program thread.
    IPollingThread& pollingThread;
    RecordingFiles* files = nullptr; // none when the working folder could not be made
};

// What buffered and polled acquisition work on: the parts, the run's status and
// the way to stop the run.
struct AcquisitionContext : AcquisitionParts {
    RunStatus& run;
    std::function<void()> stopRun;      // stops a running acquisition; nothing when none runs
    std::function<void()> keepProgress; // after each buffer or tick: fields 13-14 kept current, about once a second

    RecordingFiles& Files() const;
};

} // namespace ondrel
