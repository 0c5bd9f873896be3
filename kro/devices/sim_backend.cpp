#include "kro/devices/sim_backend.h"
#include "kro/devices/sim_ai.h"
#include "kro/devices/sim_dio.h"
#include "kro/devices/sim_thermo.h"
#include <algorithm>
#include <stdexcept>

namespace kro {
namespace {

// A simulated component selects its cards itself and exists without one.
template <class Slot, class Component, auto Select>
class SimSlot final : public Slot {
public:
    Component* device() override { return &component_; }
    void select(int32_t number) override { (component_.*Select)(number); }

private:
    Component component_;
};

} // namespace

// The cards' numbers are fixed by their catalogue.
void SimBackend::start(int32_t firstNumber)
{
    if (firstNumber != 0)
        throw std::logic_error("the simulated cards must be numbered from 0");
}

int32_t SimBackend::numberCount() const
{
    return static_cast<int32_t>(std::max(aiCatalogue().size(), dioCatalogue().size()));
}

std::vector<ondrel::DeviceEntry> SimBackend::entries(DeviceKind kind)
{
    std::vector<ondrel::DeviceEntry> list;
    if (kind == DeviceKind::DigitalInput) {
        for (const auto& c : dioCatalogue())
            list.push_back({c.number, c.name});
        return list;
    }
    for (const auto& c : aiCatalogue())
        if (kind == DeviceKind::AnalogInput || c.thermoChannels > 0)
            list.push_back({c.number, c.name});
    return list;
}

std::unique_ptr<AiSlot> SimBackend::makeAI()
{
    return std::make_unique<SimSlot<AiSlot, SimAI, &SimAI::SelectDeviceNumber>>();
}

std::unique_ptr<DioSlot> SimBackend::makeDIO()
{
    return std::make_unique<SimSlot<DioSlot, SimDIO, &SimDIO::SelectDeviceNumber>>();
}

std::unique_ptr<ThermoSlot> SimBackend::makeThermo()
{
    return std::make_unique<SimSlot<ThermoSlot, SimThermo, &SimThermo::setDeviceNumber>>();
}

} // namespace kro
