#pragma once
#include "ondrel/window/component_factory.h"
#include <string>
#include <vector>

namespace ondrel {

// The program's components: the devices of every registered back end (the
// simulated cards first, then, say, the instruments libsigrok finds), and our
// display components. A simulated AI and DI card start selected.
class ProgramComponents final : public IComponentFactory {
public:
    std::unique_ptr<IKroAI> CreateAI(IPrompts& prompts) override;
    std::unique_ptr<IKroDIO> CreateDIO(IPrompts& prompts) override;
    std::unique_ptr<IKroThermo> CreateThermo() override;
    IKroGraph* CreateGraph(QWidget* parent) override;
    IKroButton* CreateButton(QWidget* parent) override;
    IKroLED* CreateLED(QWidget* parent) override;
    IKroSlider* CreateSlider(QWidget* parent) override;
    std::unique_ptr<ITimerControl> CreateTimer() override;

    // What the device choosers offer, one line per device and kind:
    // "number<TAB>AI|DI|thermocouple<TAB>name".
    static std::vector<std::string> DeviceLines();
};

} // namespace ondrel
