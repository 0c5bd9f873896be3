#include "ondrel/graph/time_base.h"
#include "ondrel/graph/chart_length.h"
#include "ondrel/graph/plot_setup.h"
#include <exception>

namespace ondrel {

namespace {

constexpr double kFloor = 1e-6; // seconds per division
constexpr double kCeiling = 100.0;
constexpr double kStep = 5.0;

double Stepped(double s, bool up)
{
    if (!up && s / kStep <= kFloor)
        return kFloor;
    if (up && s * kStep >= kCeiling)
        return kCeiling;
    return up ? s * kStep : s / kStep;
}

} // namespace

void TimeBase::KroLED1_Spin(bool up)
{
    if (p_.state.isNumEditEventFired)
        return;
    p_.state.isNumEditEventFired = true;
    try {
        StepDivision(up);
    } catch (const std::exception& error) {
        p_.prompts.MsgBox(error.what(), "KroLED1_Spin");
    }
    // A failed step must not leave the read-out dead to every later spin.
    p_.led.setEnabled(true);
    p_.state.isNumEditEventFired = false;
}

void TimeBase::StepDivision(bool up)
{
    p_.led.setEnabled(false);
    p_.state.dDIVValue = Stepped(p_.state.dDIVValue, up);
    AdjustXAxisAndChartLength(true);
    p_.led.setValue(p_.state.dDIVValue);
}

void TimeBase::KroGraph1_RangeChanged()
{
    if (p_.graph.MouseMode() < MouseAction::ZoomX)
        return;
    try {
        p_.led.setEnabled(false);
        IKroAxis& time = p_.graph.Axes().Item(kTimeAxis);
        p_.state.dDIVValue = (time.Maximum() - time.Minimum()) / 10.0;
        p_.led.setValue(p_.state.dDIVValue);
        AdjustXAxisAndChartLength(false);
    } catch (const std::exception& error) {
        p_.prompts.MsgBox(error.what(), "KroGraph1_RangeChanged");
    }
    p_.led.setEnabled(true);
}

void TimeBase::AdjustXAxisAndChartLength(const bool& recentre)
{
    const double s = p_.state.dDIVValue;
    if (recentre) {
        IKroAxis& time = p_.graph.Axes().Item(kTimeAxis);
        const double centre = (time.Minimum() + time.Maximum()) / 2.0;
        time.setMinimum(centre - 5.0 * s);
        time.setMaximum(centre + 5.0 * s);
    }
    if (p_.replay.bHistoryMode) {
        p_.graph.setChartLength(ReplayChartLength(p_.replay.dHisScanInterval, s));
        return;
    }
    const int32_t chanCount = p_.ai.ChanCount();
    if (chanCount < 1)
        return;
    if (p_.setup.bSoftMode)
        p_.graph.setChartLength(PolledChartLength(p_.setup.nTimerInterval, s));
    else
        p_.graph.setChartLength(BufferedChartLength(p_.ai.SampleRate(), chanCount, s));
}

void TimeBase::FollowXAxis()
{
    IKroAxis& time = p_.graph.Axes().Item(kTimeAxis);
    const double s = (time.Maximum() - time.Minimum()) / 10.0;
    p_.led.setValue(s);
    p_.state.dDIVValue = s;
    AdjustXAxisAndChartLength(true);
}

void ResetTimeBase(TimeBaseState& state, IKroGraph& graph, IKroLED& led)
{
    IKroAxis& time = graph.Axes().Item(kTimeAxis);
    time.setMinimum(0.0);
    time.setMaximum(10.0);
    state.isNumEditEventFired = true;
    state.dDIVValue = 1.0;
    led.setValue(1.0);
    state.isNumEditEventFired = false;
}

} // namespace ondrel
