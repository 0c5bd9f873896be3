#include "kro/devices/comedi/comedi_board.h"
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sys/stat.h>

namespace kro {

std::string comediError() { return comedi_strerror(comedi_errno()); }

ComediDiscovery ComediBoard::discover(const std::string& nodePrefix)
{
    // Readings at the rails come back as the range's ends, never as NaN.
    comedi_set_global_oor_behavior(COMEDI_OOR_NUMBER);
    ComediDiscovery found;
    for (int n = 0; n < COMEDI_NDEVICES; ++n) {
        const std::string node = nodePrefix + std::to_string(n);
        struct stat st {};
        if (::stat(node.c_str(), &st) != 0)
            continue;
        if (comedi_t* device = comedi_open(node.c_str())) {
            found.boards.push_back(std::make_unique<ComediBoard>(device));
            continue;
        }
        const int error = comedi_errno();
        if (error == EACCES || error == EPERM)
            found.refused.push_back(node + ": " + comedi_strerror(error)
                                    + "; members of the group iocard may open it (see the README)");
    }
    return found;
}

ComediBoard::ComediBoard(comedi_t* device) : device_(device)
{
    const char* board = comedi_get_board_name(device_);
    name_ = std::string("comedi: ") + (board != nullptr ? board : "unknown board");

    readAnalogInput();
    if (aiSubdevice_ >= 0) {
        readCommandSources();
        readCalibration();
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

ComediBoard::~ComediBoard()
{
    if (aiCalibration_ != nullptr)
        comedi_cleanup_calibration(aiCalibration_);
    comedi_close(device_);
}

void ComediBoard::readAnalogInput()
{
    aiSubdevice_ = comedi_find_subdevice_by_type(device_, COMEDI_SUBD_AI, 0);
    if (aiSubdevice_ < 0)
        return;
    const auto subd = static_cast<unsigned>(aiSubdevice_);
    aiChannels_ = std::max(comedi_get_n_channels(device_, subd), 0);
    aiMaxData_ = comedi_get_maxdata(device_, subd, 0);
    const int flags = comedi_get_subdevice_flags(device_, subd);
    aiDifferential_ = flags >= 0 && (flags & SDF_DIFF) != 0;
    aiGround_ = flags >= 0 && (flags & SDF_GROUND) != 0;
    aiSampleBytes_ = flags >= 0 && (flags & SDF_LSAMPL) != 0 ? sizeof(lsampl_t) : sizeof(sampl_t);
    const int tables = comedi_range_is_chan_specific(device_, subd) > 0 ? aiChannels_ : 1;
    for (int channel = 0; channel < tables; ++channel) {
        std::vector<ComediRange>& offered = aiRanges_.emplace_back();
        const auto chan = static_cast<unsigned>(channel);
        const int ranges = comedi_get_n_ranges(device_, subd, chan);
        for (int r = 0; r < ranges; ++r)
            if (const comedi_range* range = comedi_get_range(device_, subd, chan, static_cast<unsigned>(r)))
                if (range->unit == UNIT_volt || range->unit == UNIT_mA)
                    offered.push_back({range->min, range->max, range->unit == UNIT_mA, static_cast<unsigned>(r)});
    }
    // Every channel must offer a range, or the input cannot be read.
    const bool everyChannelRanged =
        !aiRanges_.empty()
        && std::all_of(aiRanges_.begin(), aiRanges_.end(), [](const auto& offered) { return !offered.empty(); });
    if (aiChannels_ == 0 || aiMaxData_ == 0 || !everyChannelRanged)
        aiSubdevice_ = -1;
}

const std::vector<ComediRange>& ComediBoard::aiRanges(int32_t channel) const
{
    static const std::vector<ComediRange> none;
    if (aiRanges_.size() <= 1)
        return aiRanges_.empty() ? none : aiRanges_.front();
    return aiRanges_.at(static_cast<size_t>(channel));
}

// A subdevice without commands answers the mask query with an error.
void ComediBoard::readCommandSources()
{
    comedi_cmd mask{};
    if (comedi_get_cmd_src_mask(device_, static_cast<unsigned>(aiSubdevice_), &mask) < 0)
        return;
    aiStartSources_ = mask.start_src;
    aiScanSources_ = mask.scan_begin_src;
}

// Boards calibrated in software keep their polynomials in a file that
// comedi_soft_calibrate wrote; a board without one reads uncalibrated.
void ComediBoard::readCalibration()
{
    const int flags = comedi_get_subdevice_flags(device_, static_cast<unsigned>(aiSubdevice_));
    if (flags < 0 || (flags & SDF_SOFT_CALIBRATED) == 0)
        return;
    char* path = comedi_get_default_calibration_path(device_);
    if (path == nullptr)
        return;
    struct stat st {};
    if (::stat(path, &st) == 0 && S_ISREG(st.st_mode))
        aiCalibration_ = comedi_parse_calibration_file(path);
    std::free(path);
}

int32_t ComediBoard::aiResolution() const
{
    return static_cast<int32_t>(std::lround(std::log2(static_cast<double>(aiMaxData_) + 1.0)));
}

} // namespace kro
