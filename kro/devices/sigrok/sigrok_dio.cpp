#include "kro/devices/sigrok/sigrok_dio.h"
#include "kro/devices/device_error.h"

namespace kro {

void SigrokDIO::SelectDevice()
{
    failWith(errorMessage_, "SelectDevice: " + device_.name() + " is chosen from the device list");
}

bool SigrokDIO::ReadPorts(std::vector<uint8_t>& bytes, int32_t& firstPort, int32_t& portCount)
{
    const int32_t ports = device_.portCount();
    // Checked without adding, so no caller's numbers can overflow.
    if (firstPort < 0 || portCount < 0 || firstPort > ports || portCount > ports - firstPort) {
        errorMessage_ = "ReadPorts: ports " + std::to_string(firstPort) + " .. +" + std::to_string(portCount)
                        + " are beyond the " + std::to_string(ports) + " ports of " + device_.name();
        return false;
    }
    LatestValues latest;
    std::string message;
    try {
        if (!device_.readLatest({}, true, latest, message)) {
            errorMessage_ = "ReadPorts: " + message;
            return false;
        }
    } catch (const std::exception& error) {
        errorMessage_ = std::string("ReadPorts: ") + error.what();
        return false;
    }
    bytes.assign(latest.logic.begin() + firstPort, latest.logic.begin() + firstPort + portCount);
    return true;
}

} // namespace kro
