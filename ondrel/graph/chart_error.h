#pragma once
#include "ondrel/common/prompts.h"
#include <string>

namespace ondrel {

// The chart's error event: its message in a box titled "Graph Error Message",
// except "Out of memory!", which the chart raises while streaming and which is
// dropped so a long run is not buried under boxes.
void KroGraph1_Error(IPrompts& prompts, const std::string& message);

} // namespace ondrel
