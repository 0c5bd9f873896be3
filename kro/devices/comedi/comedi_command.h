#pragma once
#include "kro/devices/comedi/comedi_board.h"
#include <cstdint>
#include <vector>

namespace kro {

// What a buffered run asks of a board's analog input.
struct ComediScan {
    std::vector<unsigned> chanlist; // CR_PACK(channel, range, aref) in scan order
    double rate = 1000.0;           // aggregate Hz over the scan; the internal pacer's
    bool externalPacer = false;     // scans begin on external clock 0
    bool externalStart = false;     // the run begins on the digital trigger input
    bool fallingEdge = false;       // ... on its falling edge
    bool cyclic = true;             // runs until cancelled
    uint32_t scans = 0;             // not cyclic: the scans it takes, then ends
};

// A Comedi command for a scan, tested with comedi_command_test and taken as
// the board adjusts it: arguments out of its limits are clamped (stage 3) and
// timings rounded to its timer (stage 4), then tested again. Trigger sources
// it lacks (stages 1 and 2) and a channel list it cannot scan (stage 5) are
// refused with std::runtime_error naming them.
class ComediCommand {
public:
    ComediCommand(const ComediBoard& board, const ComediScan& scan);
    ComediCommand(const ComediCommand&) = delete; // the command points into its own channel list
    ComediCommand& operator=(const ComediCommand&) = delete;

    // The aggregate rate the board will pace at: as adjusted to its timer, or
    // the one asked for when an external clock paces it.
    double rate() const { return rate_; }
    // Starts the command; std::runtime_error when the board refuses.
    void start();

private:
    void test();

    const ComediBoard& board_;
    std::vector<unsigned> chanlist_;
    comedi_cmd cmd_{};
    double rate_ = 0.0;
};

} // namespace kro
