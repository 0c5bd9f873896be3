#pragma once
#include "ondrel/window/component_factory.h"

namespace ondrel {

// The simulated cards and our display components: what the program runs on
// until real card back ends exist. The AI and DI cards start selected.
class SimulatedComponents final : public IComponentFactory {
public:
    std::unique_ptr<IKroAI> CreateAI(IPrompts& prompts) override;
    std::unique_ptr<IKroDIO> CreateDIO(IPrompts& prompts) override;
    std::unique_ptr<IKroThermo> CreateThermo() override;
    IKroGraph* CreateGraph(QWidget* parent) override;
    IKroButton* CreateButton(QWidget* parent) override;
    IKroLED* CreateLED(QWidget* parent) override;
    IKroSlider* CreateSlider(QWidget* parent) override;
    std::unique_ptr<ITimerControl> CreateTimer() override;
};

} // namespace ondrel
