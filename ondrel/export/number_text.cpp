#include "ondrel/export/number_text.h"
#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>

namespace ondrel {

namespace {

// std::to_chars in general form follows printf's %g: an exponent below -4 or
// at or past the precision, at least two exponent digits. The files want the
// capital E and the separator of the user's locale.
template <typename Real>
char* AppendGeneral(char* out, Real value, int precision, char decimal)
{
    if (value == 0)
        value = 0; // no "-0"
    if (std::isnan(value)) {
        constexpr char nan[] = "NaN";
        return std::copy(nan, nan + 3, out);
    }
    if (std::isinf(value)) {
        constexpr char inf[] = "-Infinity";
        return value < 0 ? std::copy(inf, inf + 9, out) : std::copy(inf + 1, inf + 9, out);
    }
    char* end = std::to_chars(out, out + kMaxNumberText, value, std::chars_format::general, precision).ptr;
    for (char* c = out; c != end; ++c) {
        if (*c == 'e')
            *c = 'E';
        else if (*c == '.')
            *c = decimal;
    }
    return end;
}

} // namespace

char* AppendSingle(char* out, float value, char decimal) { return AppendGeneral(out, value, 7, decimal); }

char* AppendDouble(char* out, double value, char decimal) { return AppendGeneral(out, value, 15, decimal); }

char* AppendInt32(char* out, int32_t value) { return std::to_chars(out, out + kMaxNumberText, value).ptr; }

char NumericLocaleDecimal()
{
    const char* point = std::localeconv()->decimal_point;
    const bool plain =
        point != nullptr && point[0] != '\0' && point[1] == '\0' && static_cast<unsigned char>(point[0]) < 0x80;
    return plain ? point[0] : '.';
}

} // namespace ondrel
