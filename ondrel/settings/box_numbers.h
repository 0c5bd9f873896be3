#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ondrel {

// What the settings boxes hold, read as numbers. Blanks around the number are
// allowed; anything else that is not part of a decimal number makes the text
// not a number. Infinities and NaN are not numbers either.
std::optional<double> ParseReal(std::string_view text);

// A real rounded to the nearest whole number, ties to the even neighbour;
// nothing when the text is not a number or the result does not fit 32 bits.
std::optional<int32_t> ParseWholeNumber(std::string_view text);

// A real in the shortest general form with up to 15 significant digits (1000,
// 1234.5, 100000, 0.0001); an exponent only below 0.0001 or from 1e+15 on.
std::string ShortestReal(double value);

} // namespace ondrel
