#pragma once
// Shared by the Comedi tests: the registry the program would have on a
// machine with the fake's two boards.
#include "fake_comedilib.h"
#include "kro/devices/comedi/comedi_backend.h"
#include "kro/devices/device_registry.h"
#include "kro/devices/sim_backend.h"
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kro::testing {

constexpr int32_t kCard = 7; // the first number after the seven simulated analog cards
constexpr int32_t kDio = 8;

// The simulated cards and the fake's boards, whose device nodes are plain
// files here. `arrange` sets the fake up before the boards are looked for.
struct Boards {
    QTemporaryDir nodes;
    std::unique_ptr<DeviceRegistry> registry;
    std::vector<std::string> reports;

    explicit Boards(int count = 2, const std::function<void()>& arrange = {})
    {
        fake_comedi::reset();
        if (arrange)
            arrange();
        for (int n = 0; n < count; ++n) {
            QFile node(nodes.filePath(QStringLiteral("comedi%1").arg(n)));
            node.open(QIODevice::WriteOnly);
        }
        std::vector<std::unique_ptr<IDeviceBackend>> backends;
        backends.push_back(std::make_unique<SimBackend>());
        backends.push_back(std::make_unique<ComediBackend>(nodes.filePath("comedi").toStdString()));
        registry = std::make_unique<DeviceRegistry>(std::move(backends),
                                                    [this](const std::string& m) { reports.push_back(m); });
    }
};

// The counts a 16-bit board delivers for `scans` scans of `chans` channels:
// sample k is (k * 997 + 11) mod 65536, so neighbours differ and every value
// is told apart.
inline std::vector<uint16_t> countsFor(int64_t scans, int32_t chans, int64_t first = 0)
{
    std::vector<uint16_t> counts;
    for (int64_t k = first * chans; k < (first + scans) * chans; ++k)
        counts.push_back(static_cast<uint16_t>((k * 997 + 11) % 65536));
    return counts;
}

} // namespace kro::testing
