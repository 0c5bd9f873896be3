#pragma once
#include <cstdint>

namespace ondrel {

// Numbers as the export files write them: the general form, shortest digits,
// no trailing zeros, an exponent ("1E-05", "1E+08") only for very small or
// very large values, and `decimal` as the decimal separator.
// Each writes at most kMaxNumberText characters at `out` and returns the end.
inline constexpr int kMaxNumberText = 32;

// A Single with up to 7 significant digits.
char* AppendSingle(char* out, float value, char decimal);
// A Double with up to 15 significant digits.
char* AppendDouble(char* out, double value, char decimal);
// A 32-bit integer in plain decimal digits.
char* AppendInt32(char* out, int32_t value);

// The decimal separator of the C library's LC_NUMERIC as the program has set
// it (the window's toolkit sets it from the environment at start-up,
// ondrel-convert itself), a point where it is not one plain character. The
// window's Convert and ondrel-convert both take it from here, so the two
// write the same text even when the environment names a locale that is not
// installed.
char NumericLocaleDecimal();

} // namespace ondrel
