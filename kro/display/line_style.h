#pragma once
#include <Qt>
#include <cstdint>

namespace kro {

// Line-style codes 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot. Other
// codes are kept by the plot but drawn solid.
Qt::PenStyle penStyleFromCode(int32_t code);

} // namespace kro
