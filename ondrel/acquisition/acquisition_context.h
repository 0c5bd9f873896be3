#pragma once
#include "ondrel/acquisition/timer_control.h"
#include "ondrel/components/ai_device.h"
#include "ondrel/components/dio_device.h"
#include "ondrel/components/graph.h"
#include "ondrel/components/led_readout.h"
#include "ondrel/components/thermo_device.h"
#include "ondrel/session/clock.h"
#include "ondrel/session/prompts.h"
#include "ondrel/session/session_state.h"
#include <functional>

namespace ondrel {

class RecordingFiles;

// What the acquisition code works on: the session, the devices, the chart and
// the files, all owned by the main window.
struct AcquisitionContext {
    SessionState& state;
    SessionTables& tables;
    IKroAI& ai;
    IKroDIO& dio;
    IKroThermo& thermo;
    IKroGraph& graph;
    IKroLED& led;
    IPrompts& prompts;
    IClock& clock;
    RecordingFiles* files = nullptr;       // none when the working folder could not be made
    ITimerControl* timer = nullptr;        // none when the timer control could not be created
    std::function<void()> pressStartStop;  // the Start/Stop button

    // Pressing Start/Stop stops a running acquisition; when none runs there is
    // nothing to stop, and pressing it would start one instead.
    void StopIfRunning() const
    {
        if (state.isSystemRunning && pressStartStop)
            pressStartStop();
    }
    RecordingFiles& Files() const;
    ITimerControl& Timer() const;
};

} // namespace ondrel
