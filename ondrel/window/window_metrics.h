#pragma once
#include <cstdint>

namespace ondrel {

// The window's layout figures, in twips.
struct WindowMetrics {
    int32_t nLayoutMargin = 50;
    int32_t nFormDim1 = 0; // minimum window height
    int32_t nFormDim2 = 0; // minimum window width
};

} // namespace ondrel
