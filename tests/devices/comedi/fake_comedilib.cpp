#include "fake_comedilib.h"
#include <array>
#include <cerrno>
#include <cmath>
#include <comedilib.h>
#include <cstring>
#include <limits>
#include <string>

struct comedi_t_struct {
    int board = 0;
};

namespace {

struct State {
    std::array<comedi_t_struct, 2> boards{comedi_t_struct{0}, comedi_t_struct{1}};
    std::array<unsigned, 16> readings{};
    unsigned lastAref = 0;
    std::array<uint64_t, 2> digital{};
    std::array<std::vector<unsigned>, 2> inputs;
    std::array<bool, 2> unplugged{};
    comedi_oor_behavior oor = COMEDI_OOR_NAN; // the library's default
    int error = 0;
};

State& state()
{
    static State s;
    return s;
}

comedi_range ranges[] = {
    {-10.0, 10.0, UNIT_volt}, {-5.0, 5.0, UNIT_volt}, {-1.0, 1.0, UNIT_volt}, {4.0, 20.0, UNIT_mA}};

int fail(int error)
{
    state().error = error;
    return -1;
}

// -1 with the error set when the board is gone or the subdevice is not one it has.
int check(comedi_t* it, unsigned subd)
{
    if (it == nullptr)
        return fail(EINVAL);
    if (state().unplugged[static_cast<size_t>(it->board)])
        return fail(ENODEV);
    if (subd > (it->board == 0 ? 1u : 0u))
        return fail(EINVAL);
    return 0;
}

bool isAI(comedi_t* it, unsigned subd) { return it->board == 0 && subd == 0; }

} // namespace

namespace fake_comedi {

void setReading(int channel, unsigned data) { state().readings[static_cast<size_t>(channel)] = data; }
unsigned lastAref() { return state().lastAref; }
void setDigital(int board, uint64_t lines) { state().digital[static_cast<size_t>(board)] = lines; }
std::vector<unsigned> inputLines(int board) { return state().inputs[static_cast<size_t>(board)]; }
void unplug(int board) { state().unplugged[static_cast<size_t>(board)] = true; }
void reset()
{
    const comedi_oor_behavior oor = state().oor;
    state() = State{};
    state().oor = oor; // a process-wide setting the back end made once
}

} // namespace fake_comedi

extern "C" {

comedi_t* comedi_open(const char* fn)
{
    const std::string name(fn);
    for (int b = 0; b < 2; ++b)
        if (name.size() >= 7 && name.ends_with("comedi" + std::to_string(b)))
            return &state().boards[static_cast<size_t>(b)];
    state().error = ENODEV;
    return nullptr;
}

int comedi_close(comedi_t*) { return 0; }

int comedi_errno(void) { return state().error; }

const char* comedi_strerror(int errnum) { return std::strerror(errnum); }

comedi_oor_behavior comedi_set_global_oor_behavior(comedi_oor_behavior behavior)
{
    const comedi_oor_behavior old = state().oor;
    state().oor = behavior;
    return old;
}

const char* comedi_get_board_name(comedi_t* it) { return it->board == 0 ? "fake-pcimio-16" : "fake-dio-64"; }

int comedi_find_subdevice_by_type(comedi_t* it, int type, unsigned int start)
{
    if (start > 0)
        return fail(ENODEV);
    if (it->board == 0)
        return type == COMEDI_SUBD_AI ? 0 : type == COMEDI_SUBD_DIO ? 1 : fail(ENODEV);
    return type == COMEDI_SUBD_DI ? 0 : fail(ENODEV);
}

int comedi_get_subdevice_flags(comedi_t* it, unsigned int subd)
{
    if (check(it, subd) < 0)
        return -1;
    return isAI(it, subd) ? SDF_READABLE | SDF_GROUND | SDF_DIFF : SDF_READABLE;
}

int comedi_get_n_channels(comedi_t* it, unsigned int subd)
{
    if (check(it, subd) < 0)
        return -1;
    return isAI(it, subd) ? 16 : it->board == 0 ? 8 : 64;
}

lsampl_t comedi_get_maxdata(comedi_t* it, unsigned int subd, unsigned int)
{
    if (check(it, subd) < 0)
        return 0;
    return isAI(it, subd) ? 65535u : 1u;
}

int comedi_get_n_ranges(comedi_t* it, unsigned int subd, unsigned int)
{
    if (check(it, subd) < 0)
        return -1;
    return isAI(it, subd) ? 4 : 1;
}

comedi_range* comedi_get_range(comedi_t* it, unsigned int subd, unsigned int, unsigned int range)
{
    if (check(it, subd) < 0 || !isAI(it, subd) || range >= 4) {
        state().error = EINVAL;
        return nullptr;
    }
    return &ranges[range];
}

// As the manual says: linear over the range, and at 0 or maxdata either the
// number or NaN as the out-of-range behaviour asks.
double comedi_to_phys(lsampl_t data, comedi_range* rng, lsampl_t maxdata)
{
    if (rng == nullptr || maxdata == 0)
        return std::numeric_limits<double>::quiet_NaN();
    if ((data == 0 || data == maxdata) && state().oor == COMEDI_OOR_NAN)
        return std::numeric_limits<double>::quiet_NaN();
    return rng->min + (rng->max - rng->min) * static_cast<double>(data) / static_cast<double>(maxdata);
}

int comedi_data_read(comedi_t* it, unsigned int subd, unsigned int chan, unsigned int range, unsigned int aref,
                     lsampl_t* data)
{
    if (check(it, subd) < 0)
        return -1;
    if (!isAI(it, subd) || chan >= 16 || range >= 4)
        return fail(EINVAL);
    state().lastAref = aref;
    *data = state().readings[chan];
    return 1;
}

int comedi_dio_config(comedi_t* it, unsigned int subd, unsigned int chan, unsigned int dir)
{
    if (check(it, subd) < 0)
        return -1;
    if (it->board != 0 || chan >= 8 || dir != COMEDI_INPUT)
        return fail(EINVAL);
    state().inputs[0].push_back(chan);
    return 1;
}

int comedi_dio_bitfield2(comedi_t* it, unsigned int subd, unsigned int write_mask, unsigned int* bits,
                         unsigned int base_channel)
{
    if (check(it, subd) < 0)
        return -1;
    if (write_mask != 0 || isAI(it, subd))
        return fail(EINVAL);
    *bits = static_cast<unsigned>((state().digital[static_cast<size_t>(it->board)] >> base_channel) & 0xFFFFFFFFu);
    return 0;
}

} // extern "C"
