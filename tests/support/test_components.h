#pragma once
#include "kro/devices/sim_ai.h"
#include "kro/devices/sim_dio.h"
#include "kro/devices/sim_thermo.h"
#include "ondrel/window/simulated_components.h"

namespace ondrel::testing {

// The simulated components, with the devices reachable for their test hooks.
class TestComponents final : public IComponentFactory {
public:
    int32_t aiCard = kro::card::Differential16;
    int32_t dioCard = kro::card::Di3Ports;
    kro::SimAI* ai = nullptr;
    kro::SimDIO* dio = nullptr;
    kro::SimThermo* thermo = nullptr;

    std::unique_ptr<IKroAI> CreateAI(IPrompts& prompts) override
    {
        auto made = std::make_unique<kro::SimAI>(aiCard, &prompts);
        ai = made.get();
        return made;
    }
    std::unique_ptr<IKroDIO> CreateDIO(IPrompts& prompts) override
    {
        auto made = std::make_unique<kro::SimDIO>(dioCard, &prompts);
        dio = made.get();
        return made;
    }
    std::unique_ptr<IKroThermo> CreateThermo() override
    {
        auto made = std::make_unique<kro::SimThermo>();
        thermo = made.get();
        return made;
    }
    IKroGraph* CreateGraph(QWidget* parent) override { return display.CreateGraph(parent); }
    IKroButton* CreateButton(QWidget* parent) override { return display.CreateButton(parent); }
    IKroLED* CreateLED(QWidget* parent) override { return display.CreateLED(parent); }
    IKroSlider* CreateSlider(QWidget* parent) override { return display.CreateSlider(parent); }
    std::unique_ptr<ITimerControl> CreateTimer() override { return display.CreateTimer(); }

private:
    SimulatedComponents display;
};

} // namespace ondrel::testing
