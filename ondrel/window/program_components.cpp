#include "ondrel/window/program_components.h"
#include "kro/devices/all_devices_ai.h"
#include "kro/devices/all_devices_dio.h"
#include "kro/devices/all_devices_thermo.h"
#include "kro/display/kro_button.h"
#include "kro/display/kro_graph.h"
#include "kro/display/kro_led.h"
#include "kro/display/kro_slider.h"
#include "ondrel/window/tickwell_timer.h"

namespace ondrel {

std::unique_ptr<IKroAI> ProgramComponents::CreateAI(IPrompts& prompts)
{
    return std::make_unique<kro::AllDevicesAI>(kro::DeviceRegistry::standard(), &prompts);
}

std::unique_ptr<IKroDIO> ProgramComponents::CreateDIO(IPrompts& prompts)
{
    return std::make_unique<kro::AllDevicesDIO>(kro::DeviceRegistry::standard(), &prompts);
}

std::unique_ptr<IKroThermo> ProgramComponents::CreateThermo()
{
    return std::make_unique<kro::AllDevicesThermo>(kro::DeviceRegistry::standard());
}

IKroGraph* ProgramComponents::CreateGraph(QWidget* parent) { return new kro::KroGraph(parent); }

IKroButton* ProgramComponents::CreateButton(QWidget* parent) { return new kro::KroButton(parent); }

IKroLED* ProgramComponents::CreateLED(QWidget* parent) { return new kro::KroLED(parent); }

IKroSlider* ProgramComponents::CreateSlider(QWidget* parent) { return new kro::KroSlider(parent); }

std::unique_ptr<ITimerControl> ProgramComponents::CreateTimer() { return std::make_unique<TickwellTimer>(); }

std::vector<std::string> ProgramComponents::DeviceLines() { return kro::deviceLines(kro::DeviceRegistry::standard()); }

} // namespace ondrel
