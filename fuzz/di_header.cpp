// The "DI.ond" header reader. Whatever the bytes, it returns a header within
// its limits or refuses them with DIHeaderError.
#include "ondrel/recording/di_header.h"
#include "require.h"

#include <cstdint>
#include <span>

using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    try {
        const ondrel::DIHeader header = ondrel::ParseDIHeader(bytes);
        require(size >= ondrel::DIHeader::kBytes, "a header needs eight bytes");
        require(header.portStart >= 0, "the first port is not negative");
        require(header.portCount >= 1 && header.portCount <= ondrel::DIHeader::kMaxPorts, "the port count is in range");
    } catch (const ondrel::DIHeaderError& refusal) {
        require(refusal.what()[0] != '\0', "a refusal says why");
    }
    return 0;
}
