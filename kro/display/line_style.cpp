#include "kro/display/line_style.h"

namespace kro {

Qt::PenStyle penStyleFromCode(int32_t code)
{
    switch (code) {
    case 1:
        return Qt::DashLine;
    case 2:
        return Qt::DotLine;
    case 3:
        return Qt::DashDotLine;
    case 4:
        return Qt::DashDotDotLine;
    default:
        return Qt::SolidLine;
    }
}

} // namespace kro
