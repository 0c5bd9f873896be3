#pragma once

namespace ondrel {

// The chart's time base as the read-out shows it.
struct TimeBaseState {
    double dDIVValue = 1.0; // seconds per division
    // Set while the program itself puts the read-out's value, so the spin
    // events that put raises are not taken for the operator's.
    bool isNumEditEventFired = false;
};

} // namespace ondrel
