#pragma once
#include <string>
#include <vector>

namespace ondrel {

// Thermocouple type and temperature scale names, as the dialogs list them.
inline const std::vector<std::string>& TCTypeNames()
{
    static const std::vector<std::string> names{"J", "K", "S", "T", "B", "R", "E", ""};
    return names;
}

inline const std::vector<std::string>& TempScaleNames()
{
    static const std::vector<std::string> names{"Celsius", "Fahrenheit", "Rankine", "Kelvin"};
    return names;
}

} // namespace ondrel
