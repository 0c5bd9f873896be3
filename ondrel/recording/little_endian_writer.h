#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace ondrel {

// Builds little-endian file content byte by byte, whatever the host order.
class LittleEndianWriter {
public:
    void Int16(int16_t value) { Unsigned(static_cast<uint16_t>(value), 2); }
    void Int32(int32_t value) { Unsigned(static_cast<uint32_t>(value), 4); }
    void F32(float value) { Unsigned(std::bit_cast<uint32_t>(value), 4); }
    void F64(double value) { Unsigned(std::bit_cast<uint64_t>(value), 8); }
    void Boolean(bool value) { Int16(value ? -1 : 0); }
    void Byte(uint8_t value) { bytes_.push_back(static_cast<std::byte>(value)); }
    void Text(std::string_view singleByteText)
    {
        for (const char c : singleByteText)
            bytes_.push_back(static_cast<std::byte>(c));
    }

    const std::vector<std::byte>& Bytes() const { return bytes_; }

private:
    void Unsigned(uint64_t value, int byteCount)
    {
        for (int i = 0; i < byteCount; ++i)
            bytes_.push_back(static_cast<std::byte>((value >> (8 * i)) & 0xFF));
    }

    std::vector<std::byte> bytes_;
};

} // namespace ondrel
