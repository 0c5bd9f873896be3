#pragma once
#include "ondrel/components/ai_device.h"
#include "ondrel/components/graph.h"
#include "ondrel/components/led_readout.h"
#include "ondrel/graph/time_base_state.h"
#include "ondrel/graph/replay_chart.h"
#include "ondrel/common/acquisition_setup.h"
#include "ondrel/common/prompts.h"

namespace ondrel {

// What the time base reads and moves, all owned by the window.
struct TimeBaseParts {
    TimeBaseState& state;
    IKroGraph& graph;
    IKroLED& led; // KroLED1, seconds per division
    IKroAI& ai;
    const AcquisitionSetup& setup;
    const ReplayChart& replay;
    IPrompts& prompts;
};

// The seconds per division on the read-out, the ten divisions of the time
// axis and the chart length that keeps one point per scan across them.
class TimeBase final : public IKroLEDEvents {
public:
    explicit TimeBase(const TimeBaseParts& parts) : p_(parts) {}

    // The read-out's spin buttons step by 5 between 1e-6 and 100 s/div.
    void Spin(bool up) override { KroLED1_Spin(up); }
    void KroLED1_Spin(bool up);
    // After a zoom (mouse modes 7-9 only): a tenth of the new X span, the axis
    // left where the zoom put it.
    void KroGraph1_RangeChanged();
    // Re-centres the X axis on ten divisions when asked, and sets the chart
    // length for the mode. `recentre` is only read.
    void AdjustXAxisAndChartLength(const bool& recentre);
    // The graph settings' OK: a tenth of the X span as the chart now shows it,
    // on the read-out, the axis re-centred on it.
    void FollowXAxis();

private:
    void StepDivision(bool up);

    TimeBaseParts p_;
};

// The fast settings' OK: the X axis 0..10 and 1 s/div on the read-out.
void ResetTimeBase(TimeBaseState& state, IKroGraph& graph, IKroLED& led);

} // namespace ondrel
