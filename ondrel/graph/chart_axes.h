#pragma once
#include "ondrel/components/graph.h"

namespace ondrel {

// The chart as a session starts: time axis 0..10 s titled "Second", an empty
// strip, and the AI, DI and temperature axes with their titles.
void ConfigureChartAxes(IKroGraph& graph);

} // namespace ondrel
