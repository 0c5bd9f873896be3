#pragma once
#include "ondrel/components/ai_device.h"
#include "ondrel/components/thermo_device.h"
#include "ondrel/common/acquisition_setup.h"
#include "ondrel/common/prompts.h"
#include "ondrel/settings/form_view.h"

namespace ondrel {

struct GainRangeParts {
    AcquisitionSetup& setup;
    IKroAI& ai;
    IKroThermo& thermo;
    IPrompts& prompts;
    // Opened from the fast tab: thermocouples are not offered, since buffered
    // acquisition reads voltages only.
    bool fromFastTab = false;
};

// The behaviour of the gain, range and thermocouple dialog ("dlgGainRange"):
// one row per AI channel, and every choice for the current channel (the AI
// device's Channel) applied at once to the devices and the set-up. The
// handlers keep the names of the controls whose events they handle.
class GainRangeForm {
public:
    GainRangeForm(IFormView& view, const GainRangeParts& parts);

    // Fills the dialog; a failure is reported and the dialog shows what was filled.
    void Form_Load();
    void RefreshGainList();

    void lstViewGain_ItemClick(int row); // row 0 is channel 0
    void ComboRange_Click();
    void ComboTCType_Click();
    void ComboScale_Click();
    void ComboExpChan_Click();
    void OptAI_Click();
    void OptThermo_Click();
    void optSingle_Click();
    void optDifferent_Click();
    void OKButton_Click();

private:
    void LoadChannels();
    void ShowThermoAvailability();
    void ProbeConnection();
    void EnableThermoSetting(bool enable);
    void EnableSignalConnectionFrame(bool enable);
    void EnableAIThermoFrame(bool enable);
    // Selects the position of `channel`'s current range and applies it, as a
    // click on the list does; nothing is selected when the walk lacks the range.
    void SelectChannelRange(int32_t channel);
    // Switches an option button on and runs its click, as the user's click would.
    void SwitchOn(const char* option);
    void SelectAndClick(const char* list, int position);
    bool IsThermo(int32_t channel) const { return setup_.AIChannel(channel).bAIChanIsThermo; }
    // The row of a channel, or none outside the table.
    AIChannelSetting* Row(int32_t channel);
    int32_t Current() const { return ai_.Channel(); }

    IFormView& view_;
    AcquisitionSetup& setup_;
    IKroAI& ai_;
    IKroThermo& thermo_;
    IPrompts& prompts_;
    bool fromFastTab_;
};

} // namespace ondrel
