#pragma once
#include "ondrel/window/frm_main.h"
#include "ondrel/window/graph_view.h"
#include "ondrel/window/signal_panel.h"

namespace ondrel::testing {

// What tests and benchmarks look at inside the main window, which keeps its
// parts to itself: the state, the controllers and the components it made.
class FrmMainProbe {
public:
    explicit FrmMainProbe(FrmMain& form) : f_(form) {}

    AcquisitionSetup& setup() { return f_.setup_; }
    ReplayState& replay() { return f_.replay_; }
    const TimeBaseState& timeBase() const { return f_.timeBase_; }
    const ChooserMemory& choosers() const { return f_.choosers_; }
    const FormGeometry& geometryTwips() const { return f_.geometry_; }
    RecordingFiles* files() { return f_.files_.get(); }
    RunControl& run() { return *f_.run_; }
    PlotControl& plots() { return *f_.plots_; }
    SaveAsCommand& saveAs() { return *f_.saveAs_; }
    ReplayControl& replayControl() { return *f_.replayControl_; }
    GraphView& graphView() { return *f_.graphView_; }
    IKroAI& KroAI1() { return *f_.ai_; }
    IKroGraph& KroGraph1() { return *f_.graph_; }
    IKroButton& KroButton1() { return f_.signal_->KroButton1(); }
    IKroButton& KroButton2() { return f_.signal_->KroButton2(); }

private:
    FrmMain& f_;
};

inline FrmMainProbe Inside(FrmMain& form) { return FrmMainProbe(form); }

} // namespace ondrel::testing
