#pragma once
#include "ondrel/components/ai_device.h"
#include "ondrel/components/dio_device.h"
#include "ondrel/components/graph.h"
#include "ondrel/components/led_readout.h"
#include "ondrel/components/slider.h"
#include "ondrel/components/switch_button.h"
#include "ondrel/components/thermo_device.h"
#include "ondrel/components/timer_control.h"
#include "ondrel/common/prompts.h"
#include <memory>

class QWidget;

namespace ondrel {

// Where the main window gets its outside components. Display components are
// widgets owned by `parent` (Qt deletes them with it); devices are owned by the
// caller. Device choosers (SelectDevice) ask through `prompts`.
class IComponentFactory {
public:
    virtual ~IComponentFactory() = default;
    virtual std::unique_ptr<IKroAI> CreateAI(IPrompts& prompts) = 0;
    virtual std::unique_ptr<IKroDIO> CreateDIO(IPrompts& prompts) = 0;
    virtual std::unique_ptr<IKroThermo> CreateThermo() = 0;
    virtual IKroGraph* CreateGraph(QWidget* parent) = 0;
    virtual IKroButton* CreateButton(QWidget* parent) = 0;
    virtual IKroLED* CreateLED(QWidget* parent) = 0;
    virtual IKroSlider* CreateSlider(QWidget* parent) = 0;
    // TickwellCtl1; throws ComponentError when the control cannot be created.
    virtual std::unique_ptr<ITimerControl> CreateTimer() = 0;
};

} // namespace ondrel
