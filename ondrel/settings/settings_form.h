#pragma once
#include "ondrel/components/ai_device.h"
#include "ondrel/components/dio_device.h"
#include "ondrel/graph/ai_colors.h"
#include "ondrel/common/acquisition_setup.h"
#include "ondrel/common/prompts.h"
#include "ondrel/settings/form_view.h"
#include <string>

namespace ondrel {

// The settings dialog's window side beyond its controls.
class ISettingsFormView : public IFormView {
public:
    virtual void ShowTab(int tab) = 0;
    // Opens the gain/range dialog modally over the settings dialog.
    virtual void ShowGainRange() = 0;
};

// How the settings dialog ended, for the main window to act on.
struct SettingsResult {
    enum class Outcome { Closed, FastOk, PolledOk };
    Outcome outcome = Outcome::Closed;
    // The polled tab's OK found no DI line chosen (or the DI device did not
    // answer), or the DI device changed and the dialog ended without that OK:
    // the DI switch goes off.
    bool diSwitchOff = false;
};

struct SettingsFormParts {
    AcquisitionSetup& setup;
    IKroAI& ai;
    IKroDIO& dio;
    const AIColorTable& colors;
    IPrompts& prompts;
};

// The behaviour of the settings dialog ("frmSetting"): the fast buffered-AI tab
// (0) and the polled AI and DI tab (1), sharing the AI device. The handlers
// keep the names of the controls whose events they handle.
class SettingsForm {
public:
    SettingsForm(ISettingsFormView& view, const SettingsFormParts& parts);

    void Form_Load();
    void GetAIPropertiesEx();
    void GetDIProperties();

    void cmdAISelectDevice_Click(int index);
    void DISelectDevice_Click();
    void chkCylic_Click();
    void ComboDIPort_Click();
    void CheckDIChannel_Click(int bit);
    void cmdRange_Click(int index);
    void cmdFAIOK_Click();
    void cmdDIOK_Click();
    // A box lost the focus: its check, with the message and reset on failure.
    // Returns whether the text passed.
    bool Box_LostFocus(const std::string& box);

    // Index of the "Set Range" button that opened the range dialog last (0 fast, 1 polled).
    int nRangeIndex() const { return nRangeIndex_; }
    const SettingsResult& result() const { return result_; }

private:
    void EnableFAISetting(bool enable);
    void EnableFAITriggerControls(bool enable);
    void EnableChannelSetting(bool enable, int index);
    void EnableDIControls(bool enable);
    // Copies the fast tab into the device and the set-up; throws on a text that
    // does not convert or a value the device refuses.
    void SetFAIProperties();
    void SetDIProperties();
    // The checks of the enabled boxes, as at focus loss; false at the first refusal.
    bool RecheckBoxes(std::initializer_list<const char*> boxes);
    int32_t WholeNumberOf(const std::string& box, const char* caption) const;
    double RealOf(const std::string& box, const char* caption) const;

    ISettingsFormView& view_;
    AcquisitionSetup& setup_;
    IKroAI& ai_;
    IKroDIO& dio_;
    const AIColorTable& colors_;
    IPrompts& prompts_;
    int nRangeIndex_ = 0;
    SettingsResult result_;
};

} // namespace ondrel
