#pragma once
#include "ondrel/settings/gain_range_form.h"
#include "ondrel/window/dialogs/form_controls.h"

namespace ondrel {

// "dlgGainRange": the range, connection and thermocouple settings of every AI
// channel. Each choice applies at once; "Exit" only closes.
class DlgGainRange final : public FormDialog<IFormView> {
public:
    DlgGainRange(const GainRangeParts& parts, QWidget* owner);

    GainRangeForm& form() { return form_; }

private:
    void BuildControls();
    void ConnectHandlers();

    IPrompts& prompts_;
    GainRangeForm form_;
};

} // namespace ondrel
