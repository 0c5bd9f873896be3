#include "kro/devices/comedi/comedi_backend.h"
#include "kro/devices/comedi/comedi_ai.h"
#include "kro/devices/comedi/comedi_dio.h"

namespace kro {
namespace {

// A board's component is made when it is selected and goes when another is.
template <class Component, class Made, DeviceKind Kind>
class BoardSlot final : public IDeviceSlot<Component> {
public:
    BoardSlot(ComediBackend& backend, const char* noSuchDevice) : backend_(backend), noSuchDevice_(noSuchDevice) {}
    Component* device() override { return made_.get(); }
    void select(int32_t number) override
    {
        ComediBoard* board = number < 0 ? nullptr : backend_.find(number, Kind);
        if (number >= 0 && board == nullptr)
            throw ondrel::ComponentError(noSuchDevice_ + std::to_string(number));
        made_.reset();
        if (board != nullptr)
            made_ = std::make_unique<Made>(*board, number);
    }

private:
    ComediBackend& backend_;
    std::string noSuchDevice_;
    std::unique_ptr<Made> made_;
};

// Boards carry no thermocouples: the thermocouple component finds no device.
class NoThermocouples final : public ThermoSlot {
public:
    ondrel::IKroThermo* device() override { return nullptr; }
    void select(int32_t) override {}
};

} // namespace

std::unique_ptr<IDeviceBackend> make_comedi_backend() { return std::make_unique<ComediBackend>(); }

void ComediBackend::start(int32_t firstNumber)
{
    firstNumber_ = firstNumber;
    ComediDiscovery found = ComediBoard::discover(nodePrefix_);
    boards_ = std::move(found.boards);
    refused_ = std::move(found.refused);
}

std::vector<ondrel::DeviceEntry> ComediBackend::entries(DeviceKind kind)
{
    std::vector<ondrel::DeviceEntry> list;
    for (size_t i = 0; i < boards_.size(); ++i) {
        const int32_t number = firstNumber_ + static_cast<int32_t>(i);
        if (find(number, kind) != nullptr)
            list.push_back({number, boards_[i]->name()});
    }
    return list;
}

ComediBoard* ComediBackend::find(int32_t number, DeviceKind kind)
{
    const int64_t index = static_cast<int64_t>(number) - firstNumber_;
    if (index < 0 || index >= static_cast<int64_t>(boards_.size()))
        return nullptr;
    ComediBoard* board = boards_[static_cast<size_t>(index)].get();
    switch (kind) {
    case DeviceKind::AnalogInput:
        return board->aiSubdevice() >= 0 ? board : nullptr;
    case DeviceKind::DigitalInput:
        return board->diSubdevice() >= 0 ? board : nullptr;
    case DeviceKind::Thermocouple:
        return nullptr;
    }
    return nullptr;
}

std::unique_ptr<AiSlot> ComediBackend::makeAI()
{
    return std::make_unique<BoardSlot<ondrel::IKroAI, ComediAI, DeviceKind::AnalogInput>>(
        *this, "There is no analog input device number ");
}

std::unique_ptr<DioSlot> ComediBackend::makeDIO()
{
    return std::make_unique<BoardSlot<ondrel::IKroDIO, ComediDIO, DeviceKind::DigitalInput>>(
        *this, "There is no digital input device number ");
}

std::unique_ptr<ThermoSlot> ComediBackend::makeThermo() { return std::make_unique<NoThermocouples>(); }

} // namespace kro
