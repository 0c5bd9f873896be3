#include "kro/devices/device_registry.h"
#include <exception>

namespace kro {

DeviceRegistry::DeviceRegistry(std::vector<std::unique_ptr<IDeviceBackend>> backends, const Report& report)
{
    int32_t next = 0;
    for (auto& backend : backends) {
        try {
            backend->start(next);
        } catch (const std::exception& error) {
            report(backend->name() + " is not available, its devices are not offered: " + error.what());
            continue;
        }
        firstNumbers_.push_back(next);
        next += backend->numberCount();
        backends_.push_back(std::move(backend));
    }
}

std::optional<size_t> DeviceRegistry::owner(int32_t number) const
{
    for (size_t i = 0; i < backends_.size(); ++i)
        if (number >= firstNumbers_[i] && number - firstNumbers_[i] < backends_[i]->numberCount())
            return i;
    return std::nullopt;
}

std::vector<ondrel::DeviceEntry> DeviceRegistry::entries(DeviceKind kind)
{
    std::vector<ondrel::DeviceEntry> all;
    for (auto& backend : backends_)
        for (auto& e : backend->entries(kind))
            all.push_back(std::move(e));
    return all;
}

std::optional<int32_t> DeviceRegistry::choose(ondrel::IDevicePrompts& prompts, const std::string& title,
                                              DeviceKind kind, int32_t current)
{
    std::vector<ondrel::DeviceEntry> rows = entries(kind);
    std::vector<std::pair<int32_t, size_t>> setUpRows; // row number, back end
    for (size_t i = 0; i < backends_.size(); ++i)
        for (auto& row : backends_[i]->setUpRows(kind)) {
            setUpRows.emplace_back(row.number, i);
            rows.push_back(std::move(row));
        }
    const auto chosen = prompts.ChooseDevice(title, rows, current);
    if (!chosen)
        return std::nullopt;
    for (const auto& [row, backend] : setUpRows)
        if (row == *chosen)
            return backends_[backend]->setUp(row, kind, prompts);
    return chosen;
}

void DeviceRegistry::describe(size_t backendIndex, int32_t number, const std::string& deviceName)
{
    ondrel::DeviceDirectory::instance().describe(deviceName, backends_[backendIndex]->capabilities(number));
}

std::vector<std::string> deviceLines(IDeviceBackend& backend)
{
    std::vector<std::string> lines;
    const std::pair<DeviceKind, const char*> kinds[] = {
        {DeviceKind::AnalogInput, "AI"}, {DeviceKind::DigitalInput, "DI"}, {DeviceKind::Thermocouple, "thermocouple"}};
    for (const auto& [kind, label] : kinds)
        for (const auto& e : backend.entries(kind))
            lines.push_back(std::to_string(e.number) + '\t' + label + '\t' + e.name);
    for (const auto& reason : backend.unavailable())
        lines.push_back("-\tunavailable\t" + reason);
    return lines;
}

std::vector<std::string> deviceLines(DeviceRegistry& registry)
{
    std::vector<std::string> lines;
    for (size_t i = 0; i < registry.size(); ++i)
        for (auto& line : deviceLines(registry.backend(i)))
            lines.push_back(std::move(line));
    return lines;
}

} // namespace kro
