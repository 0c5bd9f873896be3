#include "kro/display/line_style.h"

namespace kro {

Qt::PenStyle penStyleOf(ondrel::LineDash dash)
{
    switch (dash) {
    case ondrel::LineDash::Dash:
        return Qt::DashLine;
    case ondrel::LineDash::Dot:
        return Qt::DotLine;
    case ondrel::LineDash::DashDot:
        return Qt::DashDotLine;
    case ondrel::LineDash::DashDotDot:
        return Qt::DashDotDotLine;
    case ondrel::LineDash::Solid:
        break;
    }
    return Qt::SolidLine;
}

} // namespace kro
