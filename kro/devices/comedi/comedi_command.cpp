#include "kro/devices/comedi/comedi_command.h"
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

namespace kro {
namespace {

// Tests of a command that still adjusts it after this many passes are given up.
constexpr int kMaxTests = 5;

// The nanoseconds between scans that `rate` (aggregate Hz over `channels`)
// asks for, within what the command's argument holds.
unsigned scanPeriodNs(double rate, size_t channels)
{
    const double ns = std::nearbyint(1e9 * static_cast<double>(channels) / rate);
    if (!(ns >= 1.0))
        return 1;
    return ns >= static_cast<double>(std::numeric_limits<unsigned>::max()) ? std::numeric_limits<unsigned>::max()
                                                                           : static_cast<unsigned>(ns);
}

} // namespace

ComediCommand::ComediCommand(const ComediBoard& board, const ComediScan& scan)
    : board_(board), chanlist_(scan.chanlist), rate_(scan.rate)
{
    if (!board.aiCommands())
        throw std::runtime_error(board.name() + " has no buffered analog input; use software polling");
    const auto channels = static_cast<unsigned>(chanlist_.size());
    cmd_.subdev = static_cast<unsigned>(board.aiSubdevice());
    cmd_.flags = 0;
    cmd_.start_src = scan.externalStart ? TRIG_EXT : TRIG_NOW;
    cmd_.start_arg = scan.externalStart && scan.fallingEdge ? CR_INVERT : 0;
    cmd_.scan_begin_src = scan.externalPacer ? TRIG_EXT : TRIG_TIMER;
    cmd_.scan_begin_arg = scan.externalPacer ? 0 : scanPeriodNs(scan.rate, chanlist_.size());
    // The conversions within a scan as fast as the board goes: the test
    // raises the argument to its shortest time.
    cmd_.convert_src = TRIG_TIMER;
    cmd_.convert_arg = 0;
    cmd_.scan_end_src = TRIG_COUNT;
    cmd_.scan_end_arg = channels;
    cmd_.stop_src = scan.cyclic ? TRIG_NONE : TRIG_COUNT;
    cmd_.stop_arg = scan.cyclic ? 0 : scan.scans;
    cmd_.chanlist = chanlist_.data();
    cmd_.chanlist_len = channels;
    test();
    if (!scan.externalPacer)
        rate_ = 1e9 * channels / static_cast<double>(cmd_.scan_begin_arg);
}

void ComediCommand::test()
{
    for (int pass = 0; pass < kMaxTests; ++pass) {
        const int stage = comedi_command_test(board_.device(), &cmd_);
        switch (stage) {
        case 0:
            return;
        case 1:
        case 2:
            throw std::runtime_error(board_.name() + " cannot start or pace a run this way"
                                     + (cmd_.start_src == 0        ? std::string(" (no external start trigger)")
                                        : cmd_.scan_begin_src == 0 ? std::string(" (no external pacer)")
                                                                   : std::string()));
        case 3:
        case 4:
            continue; // adjusted to what the board can do: test what it became
        case 5:
            throw std::runtime_error(board_.name()
                                     + " cannot scan these channels in one run with these ranges and references");
        default:
            throw std::runtime_error(board_.name() + " refuses the run: " + comediError());
        }
    }
    throw std::runtime_error(board_.name() + " keeps adjusting the run's timing and never accepts it");
}

void ComediCommand::start()
{
    if (comedi_command(board_.device(), &cmd_) < 0)
        throw std::runtime_error(board_.name() + " did not start the run: " + comediError());
}

} // namespace kro
