#pragma once
#include "ondrel/settings/settings_controller.h"

class QWidget;

namespace ondrel {

// The settings dialog as the settings command opens it: a fresh "frmSetting",
// modal over the main window.
class SettingsWindow final : public ISettingsView {
public:
    SettingsWindow(const SettingsFormParts& parts, IKroThermo& thermo, QWidget* owner)
        : parts_(parts), thermo_(thermo), owner_(owner)
    {}

    SettingsResult ShowSettingsDialog() override;

private:
    SettingsFormParts parts_;
    IKroThermo& thermo_;
    QWidget* owner_;
};

} // namespace ondrel
