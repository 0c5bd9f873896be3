#pragma once
#include "ondrel/components/thermo_device.h"
#include "ondrel/settings/settings_form.h"
#include "ondrel/window/dialogs/form_controls.h"

class QGridLayout;
class QGroupBox;

namespace ondrel {

// "frmSetting": the device settings dialog. Tab 0 "Fast AI" sets up buffered
// AI, tab 1 "SoftAI and/or DI" polled AI and DI; each tab's OK confirms it.
// The controls carry the names SettingsForm addresses them by.
class FrmSetting final : public FormDialog<ISettingsFormView> {
public:
    FrmSetting(const SettingsFormParts& parts, IKroThermo& thermo, QWidget* owner);
    ~FrmSetting() override;

    SettingsForm& form() { return form_; }
    void ShowTab(int tab) override;
    void ShowGainRange() override;

private:
    QWidget* BuildFastTab();
    QWidget* BuildPolledTab();
    QGroupBox* BuildDeviceGroup(int index, const char* caption);
    QGroupBox* BuildChannelGroup(int index, const char* caption);
    void ConnectHandlers();

    SettingsFormParts parts_;
    IKroThermo& thermo_;
    SettingsForm form_;
    QObject* boxFocusFilter_ = nullptr;
};

} // namespace ondrel
