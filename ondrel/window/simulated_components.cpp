#include "ondrel/window/simulated_components.h"
#include "kro/devices/all_devices_ai.h"
#include "kro/devices/all_devices_dio.h"
#include "kro/devices/all_devices_thermo.h"
#include "kro/display/kro_button.h"
#include "kro/display/kro_graph.h"
#include "kro/display/kro_led.h"
#include "kro/display/kro_slider.h"
#include "ondrel/window/tickwell_timer.h"

namespace ondrel {

std::unique_ptr<IKroAI> SimulatedComponents::CreateAI(IPrompts& prompts)
{
    return std::make_unique<kro::AllDevicesAI>(kro::DeviceRegistry::standard(), &prompts);
}

std::unique_ptr<IKroDIO> SimulatedComponents::CreateDIO(IPrompts& prompts)
{
    return std::make_unique<kro::AllDevicesDIO>(kro::DeviceRegistry::standard(), &prompts);
}

std::unique_ptr<IKroThermo> SimulatedComponents::CreateThermo()
{
    return std::make_unique<kro::AllDevicesThermo>(kro::DeviceRegistry::standard());
}

IKroGraph* SimulatedComponents::CreateGraph(QWidget* parent) { return new kro::KroGraph(parent); }

IKroButton* SimulatedComponents::CreateButton(QWidget* parent) { return new kro::KroButton(parent); }

IKroLED* SimulatedComponents::CreateLED(QWidget* parent) { return new kro::KroLED(parent); }

IKroSlider* SimulatedComponents::CreateSlider(QWidget* parent) { return new kro::KroSlider(parent); }

std::unique_ptr<ITimerControl> SimulatedComponents::CreateTimer() { return std::make_unique<TickwellTimer>(); }

std::vector<std::string> SimulatedComponents::DeviceLines()
{
    return kro::deviceLines(kro::DeviceRegistry::standard());
}

} // namespace ondrel
