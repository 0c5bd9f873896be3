#include "ondrel/common/latin1.h"

#include <cstdint>

namespace ondrel {
namespace {

// Length of the UTF-8 sequence that starts with `lead`, 0 if it cannot start one.
size_t SequenceLength(uint8_t lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

bool IsContinuation(uint8_t byte) { return (byte & 0xC0) == 0x80; }

} // namespace

std::string Utf8ToLatin1(std::string_view utf8)
{
    std::string latin1;
    latin1.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<uint8_t>(utf8[i]);
        const size_t length = SequenceLength(lead);
        size_t complete = 1;
        while (complete < length && i + complete < utf8.size()
               && IsContinuation(static_cast<uint8_t>(utf8[i + complete])))
            ++complete;
        if (length == 0 || complete < length) {
            latin1 += '?';
            i += complete;
            continue;
        }
        if (length == 1) {
            latin1 += static_cast<char>(lead);
        } else if (length == 2) {
            const unsigned codePoint = ((lead & 0x1Fu) << 6) | (static_cast<uint8_t>(utf8[i + 1]) & 0x3Fu);
            latin1 += codePoint <= 0xFF ? static_cast<char>(codePoint) : '?';
        } else {
            latin1 += '?';
        }
        i += length;
    }
    return latin1;
}

std::string Latin1ToUtf8(std::string_view latin1)
{
    std::string utf8;
    utf8.reserve(latin1.size());
    for (const char c : latin1) {
        const auto byte = static_cast<uint8_t>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

} // namespace ondrel
