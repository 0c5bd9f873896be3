#include "kro/devices/comedi/comedi_dio.h"
#include <comedilib.h>

namespace kro {

bool ComediDIO::fail(std::string text)
{
    errorMessage_ = std::move(text);
    return false;
}

bool ComediDIO::ReadPorts(std::vector<uint8_t>& bytes, int32_t& firstPort, int32_t& portCount)
{
    errorMessage_.clear();
    if (firstPort < 0 || portCount < 1 || firstPort > PortCount() - portCount)
        return fail("ReadPorts: ports " + std::to_string(firstPort) + " .. " + std::to_string(firstPort + portCount - 1)
                    + " are beyond the " + std::to_string(PortCount()) + " ports of " + board_.name());
    bytes.assign(static_cast<size_t>(portCount), 0);
    for (int32_t i = 0; i < portCount; ++i)
        if (!readPort(firstPort + i, bytes[static_cast<size_t>(i)]))
            return false;
    return true;
}

bool ComediDIO::readPort(int32_t port, uint8_t& byte)
{
    const auto subd = static_cast<unsigned>(board_.diSubdevice());
    const int32_t first = 8 * port;
    const int32_t lines = std::min(8, board_.diLines() - first);
    if (board_.diConfigurable()) {
        input_.resize(static_cast<size_t>(board_.diLines()), false);
        for (int32_t line = first; line < first + lines; ++line) {
            if (input_[static_cast<size_t>(line)])
                continue;
            if (comedi_dio_config(board_.device(), subd, static_cast<unsigned>(line), COMEDI_INPUT) < 0)
                return fail("ReadPorts: line " + std::to_string(line) + " of " + board_.name()
                            + " cannot be made an input: " + comediError());
            input_[static_cast<size_t>(line)] = true;
        }
    }
    unsigned int bits = 0;
    if (comedi_dio_bitfield2(board_.device(), subd, 0, &bits, static_cast<unsigned>(first)) < 0)
        return fail("ReadPorts: " + board_.name() + ", port " + std::to_string(port) + ": " + comediError());
    byte = static_cast<uint8_t>(bits & ((1u << lines) - 1u));
    return true;
}

} // namespace kro
