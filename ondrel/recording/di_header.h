#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>

namespace ondrel {

// The 8-byte header of "DI.ond": Int32 first port, Int32 port count. Each
// record after it holds one byte per port.
struct DIHeader {
    static constexpr size_t kBytes = 8;
    // No card has more ports; a larger count is a damaged file.
    static constexpr int32_t kMaxPorts = 256;

    int32_t portStart = 0;
    int32_t portCount = 0;
};

class DIHeaderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the header from the first bytes of a "DI.ond". Throws DIHeaderError
// when they are too few, or name a negative first port or a port count outside
// 1 .. kMaxPorts.
DIHeader ParseDIHeader(std::span<const std::byte> bytes);

} // namespace ondrel
