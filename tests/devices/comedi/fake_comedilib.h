#pragma once
// A fake of the part of comedilib the back end uses, and of the stream its
// device node gives a running command, linked in their place in the tests,
// behaving as comedilib's manual documents. Two boards answer at nodes whose
// names end in "comedi0" and "comedi1":
//   0  "fake-pcimio-16": AI subdevice 0, 16 channels, 16 bits, ground and
//      differential references (differential on channels 0-7, each paired
//      with the channel 8 above it), ranges -10..10 V, -5..5 V, -1..1 V,
//      4..20 mA; commands start now or on external trigger 0 and pace scans
//      with a timer of 1000 ns steps or external clock 0; a conversion takes
//      at least 5000 ns, so a scan of n channels at least n x 5000 ns.
//      DIO subdevice 1, 8 lines.
//   1  "fake-dio-64": DI subdevice 0, 64 lines.
#include <comedilib.h>
#include <cstdint>
#include <vector>

namespace fake_comedi {

constexpr unsigned kTimerStepNs = 1000;
constexpr unsigned kConvertNs = 5000;

// What channel `channel` of board 0's analog input converts to.
void setReading(int channel, unsigned data);
// The reference and range (its index in the channel's table) of board 0's
// last analog read.
unsigned lastAref();
unsigned lastRange();
// Channel `channel` of board 0's analog input gets a range table of its own
// (the others keep -10..10, -5..5, -1..1 V and 4..20 mA), and the subdevice
// says its ranges are channel-specific.
void setRanges(int channel, const std::vector<comedi_range>& ranges);
// The settling time of each analog read of board 0 since reset, in order, in
// nanoseconds (0 for a read without one).
std::vector<unsigned> settlingTimes();
// The levels of a board's digital lines, line 0 in bit 0.
void setDigital(int board, uint64_t lines);
// The lines of a board's digital subdevice configured as inputs, in order.
std::vector<unsigned> inputLines(int board);
// From now on every call on a board fails with ENODEV, as when unplugged.
void unplug(int board);
// Opening the board's node fails with EACCES, as for a user outside its group.
void denyAccess(int board);
// Board 0's analog input is calibrated in software by `polynomial`, from the
// file `path` (which the test makes, or not).
void setSoftCalibration(const char* path, const comedi_polynomial_t& polynomial);
// Back to the state above, every board plugged in, no command running.
void reset();

// The command board 0 runs (its channel list copied), and whether it runs.
bool commandRunning();
comedi_cmd lastCommand();
std::vector<unsigned> lastChanlist();
int cancels();
// The running command's stream: `samples` in reads of at most `readBytes`
// bytes each (so a sample may be split across two reads).
void deliver(const std::vector<uint16_t>& samples, size_t readBytes);
// After what was delivered, reads fail with `error` (EPIPE: the buffer
// overran; ENODEV: the board was unplugged, which it then stays).
void failStream(int error);
// After what was delivered, reads return 0: the command ended.
void endStream();
// Bytes delivered that no read has taken yet.
size_t unreadBytes();

} // namespace fake_comedi
