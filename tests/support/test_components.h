#pragma once
#include "kro/devices/sim_ai.h"
#include "kro/devices/sim_dio.h"
#include "kro/devices/sim_thermo.h"
#include "ondrel/window/program_components.h"
#include <functional>
#include <memory>
#include <string>

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
    // Sees every tick of every timer made here, on the thread it arrives on,
    // before the timer's handler does.
    std::function<void(const std::string& key)> tickObserver;

    std::unique_ptr<ITimerControl> CreateTimer() override
    {
        std::unique_ptr<ITimerControl> timer = display.CreateTimer();
        if (!tickObserver)
            return timer;
        return std::make_unique<ObservedTimer>(std::move(timer), tickObserver);
    }

private:
    class ObservedTimer final : public ITimerControl {
    public:
        ObservedTimer(std::unique_ptr<ITimerControl> timer, std::function<void(const std::string&)> observer)
            : timer_(std::move(timer)), observer_(std::move(observer))
        {}
        bool exist(const std::string& key) override { return timer_->exist(key); }
        void Add(const std::string& key, int32_t interval, bool enabled) override
        {
            timer_->Add(key, interval, enabled);
        }
        void setEnabled(const std::string& key, bool enabled) override { timer_->setEnabled(key, enabled); }
        void setInterval(const std::string& key, int32_t interval) override { timer_->setInterval(key, interval); }
        void setHandler(Handler handler) override
        {
            timer_->setHandler([this, handler = std::move(handler)](const std::string& key) {
                observer_(key);
                handler(key);
            });
        }

    private:
        std::unique_ptr<ITimerControl> timer_;
        std::function<void(const std::string&)> observer_;
    };

    ProgramComponents display;
};

} // namespace ondrel::testing
