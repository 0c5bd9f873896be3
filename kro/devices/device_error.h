#pragma once
#include "ondrel/components/component_error.h"
#include "ondrel/components/device_codes.h"
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
inline void requireSignalConnection(std::string& errorMessage, ondrel::Connection connection)
{
    if (connection != ondrel::Connection::SingleEnded && connection != ondrel::Connection::Differential)
        failWith(errorMessage, "SignalConnection: " + std::to_string(ondrel::Code(connection))
                                   + " is neither 0 (single-ended) nor 1 (differential)");
}

// Thermocouple types J .. E and the four temperature scales; anything else is refused.
inline void requireThermocouple(std::string& errorMessage, ondrel::Thermocouple type)
{
    if (type < ondrel::Thermocouple::J || type > ondrel::Thermocouple::E)
        failWith(errorMessage,
                 "TCType: " + std::to_string(ondrel::Code(type)) + " is not a thermocouple type (0 .. 6)");
}

inline void requireTemperatureScale(std::string& errorMessage, ondrel::TemperatureScale scale)
{
    if (scale < ondrel::TemperatureScale::Celsius || scale > ondrel::TemperatureScale::Kelvin)
        failWith(errorMessage,
                 "TempScale: " + std::to_string(ondrel::Code(scale)) + " is not a temperature scale (0 .. 3)");
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
