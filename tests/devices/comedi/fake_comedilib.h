#pragma once
// A fake of the part of comedilib the back end uses, linked in its place in
// the tests, behaving as comedilib's manual documents. Two boards answer at
// nodes whose names end in "comedi0" and "comedi1":
//   0  "fake-pcimio-16": AI subdevice 0, 16 channels, 16 bits, ground and
//      differential references, ranges -10..10 V, -5..5 V, -1..1 V, 4..20 mA;
//      DIO subdevice 1, 8 lines.
//   1  "fake-dio-64": DI subdevice 0, 64 lines.
#include <cstdint>
#include <vector>

namespace fake_comedi {

// What channel `channel` of board 0's analog input converts to.
void setReading(int channel, unsigned data);
// The reference of board 0's last analog read.
unsigned lastAref();
// The levels of a board's digital lines, line 0 in bit 0.
void setDigital(int board, uint64_t lines);
// The lines of a board's digital subdevice configured as inputs, in order.
std::vector<unsigned> inputLines(int board);
// From now on every call on a board fails with ENODEV, as when unplugged.
void unplug(int board);
// Back to the state above, every board plugged in.
void reset();

} // namespace fake_comedi
