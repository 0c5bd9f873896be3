#include "ondrel/settings/settings_controller.h"
#include "ondrel/graph/time_base.h"
#include "ondrel/graph/plot_setup.h"
#include "ondrel/settings/cyclic_sample_count.h"

namespace ondrel {

void SettingsController::BtnSet_Click()
{
    const SettingsResult result = view_.ShowSettingsDialog();
    try {
        if (result.outcome == SettingsResult::Outcome::FastOk)
            ApplyFastOk();
        else if (result.diSwitchOff)
            p_.run.SetDISwitch(false);
        ReadBackConnections();
        p_.plots.SetupPlots(p_.replay.bHistoryMode, true);
    } catch (const std::exception& error) {
        p_.prompts.MsgBox(error.what(), "BtnSet");
    }
}

void SettingsController::ApplyFastOk()
{
    ResetTimeBase(p_.timeBase, p_.graph, p_.led);
    p_.run.SetAISwitch(true);
    if (p_.setup.bFAICyclic)
        p_.setup.nAISampleCnt = CyclicSampleCount(p_.ai.SampleRate());
    p_.setup.bSoftMode = false;
    p_.run.SetDISwitch(false);
}

void SettingsController::ReadBackConnections()
{
    if (p_.ai.DeviceNumber() < 0)
        return;
    const int32_t channels = p_.ai.MaxChanCount();
    for (int32_t ch = 0; ch < channels && static_cast<size_t>(ch) < p_.setup.aiChannels.size(); ++ch) {
        AIChannelSetting& row = p_.setup.aiChannels[static_cast<size_t>(ch)];
        if (row.bAIChanIsThermo) {
            p_.thermo.setThermoChannel(ch);
            row.nAIChanConnection = Code(p_.thermo.SignalConnection());
        } else {
            p_.ai.setChannel(ch);
            row.nAIChanConnection = Code(p_.ai.SignalConnection());
        }
    }
}

} // namespace ondrel
