#include "ondrel/recording/di_header.h"

#include <string>

namespace ondrel {

namespace {

int32_t Int32At(std::span<const std::byte> bytes, size_t at)
{
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(bytes[at + i]) << (8 * i);
    return static_cast<int32_t>(value);
}

} // namespace

DIHeader ParseDIHeader(std::span<const std::byte> bytes)
{
    if (bytes.size() < DIHeader::kBytes)
        throw DIHeaderError("DI data: the header is cut short (" + std::to_string(bytes.size()) + " of 8 bytes)");
    const DIHeader header{Int32At(bytes, 0), Int32At(bytes, 4)};
    if (header.portStart < 0)
        throw DIHeaderError("DI data: the first port is negative (" + std::to_string(header.portStart) + ")");
    if (header.portCount < 1 || header.portCount > DIHeader::kMaxPorts)
        throw DIHeaderError("DI data: the port count " + std::to_string(header.portCount) + " is not 1 to "
                            + std::to_string(DIHeader::kMaxPorts));
    return header;
}

} // namespace ondrel
