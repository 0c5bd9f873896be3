#pragma once
#include "ondrel/components/component_error.h"
#include <cstdint>
#include <string>

namespace kro {

// Records `text` as the component's last failure and throws it.
[[noreturn]] inline void failWith(std::string& errorMessage, const std::string& text)
{
    errorMessage = text;
    throw ondrel::ComponentError(text);
}

// Every analog input takes 0 (single-ended) or 1 (differential) and refuses
// anything else.
inline void requireSignalConnection(std::string& errorMessage, int32_t connection)
{
    if (connection != 0 && connection != 1)
        failWith(errorMessage, "SignalConnection: " + std::to_string(connection)
                                   + " is neither 0 (single-ended) nor 1 (differential)");
}

// A number as the components' messages show it: without trailing zeros.
inline std::string messageNumber(double v)
{
    std::string s = std::to_string(v);
    s.erase(s.find_last_not_of('0') + 1);
    if (!s.empty() && s.back() == '.')
        s.pop_back();
    return s;
}

} // namespace kro
