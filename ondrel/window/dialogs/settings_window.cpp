#include "ondrel/window/dialogs/settings_window.h"
#include "ondrel/window/dialogs/frm_setting.h"

namespace ondrel {

SettingsResult SettingsWindow::ShowSettingsDialog()
{
    FrmSetting dialog(parts_, thermo_, owner_);
    dialog.exec();
    return dialog.form().result();
}

} // namespace ondrel
