#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// Expected file content written out by hand from the recording layout:
// little-endian integers and floats, Booleans as Int16 -1/0, text as raw bytes.
class ExpectedBytes {
public:
    ExpectedBytes& i16(int16_t v) { return le(static_cast<uint16_t>(v), 2); }
    ExpectedBytes& i32(int32_t v) { return le(static_cast<uint32_t>(v), 4); }
    ExpectedBytes& boolean(bool v) { return i16(v ? -1 : 0); }
    ExpectedBytes& f32(float v)
    {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        return le(bits, 4);
    }
    ExpectedBytes& f64(double v)
    {
        uint64_t bits;
        std::memcpy(&bits, &v, 8);
        return le(bits, 8);
    }
    ExpectedBytes& byte(uint8_t v)
    {
        bytes_.push_back(static_cast<std::byte>(v));
        return *this;
    }
    ExpectedBytes& text(const std::string& raw)
    {
        for (const char c : raw)
            byte(static_cast<uint8_t>(c));
        return *this;
    }
    // Plot record: colour, line style, name, 0 byte.
    ExpectedBytes& plot(int32_t color, int32_t style, const std::string& rawName)
    {
        return i32(color).i32(style).text(rawName).byte(0);
    }

    const std::vector<std::byte>& bytes() const { return bytes_; }

private:
    ExpectedBytes& le(uint64_t v, int n)
    {
        for (int i = 0; i < n; ++i)
            byte(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }

    std::vector<std::byte> bytes_;
};
