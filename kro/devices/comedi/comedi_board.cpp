#include "kro/devices/comedi/comedi_board.h"
#include <cmath>
#include <comedilib.h>
#include <sys/stat.h>

namespace kro {

std::string comediError() { return comedi_strerror(comedi_errno()); }

std::vector<std::unique_ptr<ComediBoard>> ComediBoard::discover(const std::string& nodePrefix)
{
    // Readings at the rails come back as the range's ends, never as NaN.
    comedi_set_global_oor_behavior(COMEDI_OOR_NUMBER);
    std::vector<std::unique_ptr<ComediBoard>> boards;
    for (int n = 0; n < COMEDI_NDEVICES; ++n) {
        const std::string node = nodePrefix + std::to_string(n);
        struct stat st {};
        if (::stat(node.c_str(), &st) != 0)
            continue;
        if (comedi_t* device = comedi_open(node.c_str()))
            boards.push_back(std::make_unique<ComediBoard>(device));
    }
    return boards;
}

ComediBoard::ComediBoard(comedi_t* device) : device_(device)
{
    const char* board = comedi_get_board_name(device_);
    name_ = std::string("comedi: ") + (board != nullptr ? board : "unknown board");

    aiSubdevice_ = comedi_find_subdevice_by_type(device_, COMEDI_SUBD_AI, 0);
    if (aiSubdevice_ >= 0) {
        const auto subd = static_cast<unsigned>(aiSubdevice_);
        aiChannels_ = std::max(comedi_get_n_channels(device_, subd), 0);
        aiMaxData_ = comedi_get_maxdata(device_, subd, 0);
        const int flags = comedi_get_subdevice_flags(device_, subd);
        aiDifferential_ = flags >= 0 && (flags & SDF_DIFF) != 0;
        aiGround_ = flags >= 0 && (flags & SDF_GROUND) != 0;
        const int ranges = comedi_get_n_ranges(device_, subd, 0);
        for (int r = 0; r < ranges; ++r)
            if (const comedi_range* range = comedi_get_range(device_, subd, 0, static_cast<unsigned>(r)))
                if (range->unit == UNIT_volt || range->unit == UNIT_mA)
                    aiRanges_.push_back({range->min, range->max, range->unit == UNIT_mA});
        if (aiChannels_ == 0 || aiMaxData_ == 0 || aiRanges_.empty())
            aiSubdevice_ = -1;
    }

    diSubdevice_ = comedi_find_subdevice_by_type(device_, COMEDI_SUBD_DI, 0);
    if (diSubdevice_ < 0) {
        diSubdevice_ = comedi_find_subdevice_by_type(device_, COMEDI_SUBD_DIO, 0);
        diConfigurable_ = diSubdevice_ >= 0;
    }
    if (diSubdevice_ >= 0)
        diLines_ = std::max(comedi_get_n_channels(device_, static_cast<unsigned>(diSubdevice_)), 0);
    if (diLines_ == 0)
        diSubdevice_ = -1;
}

ComediBoard::~ComediBoard() { comedi_close(device_); }

int32_t ComediBoard::aiResolution() const
{
    return static_cast<int32_t>(std::lround(std::log2(static_cast<double>(aiMaxData_) + 1.0)));
}

} // namespace kro
