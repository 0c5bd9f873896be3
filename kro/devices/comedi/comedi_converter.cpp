#include "kro/devices/comedi/comedi_converter.h"
#include <limits>

namespace kro {

ComediConverter::ComediConverter(const ComediBoard& board, unsigned channel, unsigned range)
    : maxData_(board.aiMaxData())
{
    const auto subd = static_cast<unsigned>(board.aiSubdevice());
    comedi_polynomial_t polynomial{};
    const bool soft =
        board.aiCalibration() != nullptr
        && comedi_get_softcal_converter(subd, channel, range, COMEDI_TO_PHYSICAL, board.aiCalibration(), &polynomial)
               == 0;
    if (soft
        || comedi_get_hardcal_converter(board.device(), subd, channel, range, COMEDI_TO_PHYSICAL, &polynomial) == 0)
        polynomial_ = polynomial;
    else
        range_ = comedi_get_range(board.device(), subd, channel, range);
}

double ComediConverter::operator()(lsampl_t data) const
{
    if (polynomial_)
        return comedi_to_physical(data, &*polynomial_);
    if (range_ == nullptr) // a range the board no longer describes: no value, rather than a wrong one
        return std::numeric_limits<double>::quiet_NaN();
    return comedi_to_phys(data, range_, maxData_);
}

} // namespace kro
