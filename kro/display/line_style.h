#pragma once
#include <Qt>
#include "ondrel/components/graph.h"

namespace kro {

// A number outside the list is kept by the plot but drawn solid.
Qt::PenStyle penStyleOf(ondrel::LineDash dash);

} // namespace kro
