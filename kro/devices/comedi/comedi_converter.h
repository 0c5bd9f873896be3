#pragma once
#include "kro/devices/comedi/comedi_board.h"
#include <optional>

namespace kro {

// Turns one channel's counts in one range into volts (or mA): by the board's
// software calibration where it has one, else by the converter of a board
// that calibrates itself in hardware, else linearly over the range table's
// entry. The last is what comedi_to_phys does, with the rails read as the
// range's ends (the back end sets that out-of-range behaviour once).
class ComediConverter {
public:
    ComediConverter(const ComediBoard& board, unsigned channel, unsigned range);

    double operator()(lsampl_t data) const;

private:
    std::optional<comedi_polynomial_t> polynomial_;
    comedi_range* range_ = nullptr;
    lsampl_t maxData_ = 0;
};

} // namespace kro
