#include "fake_comedilib.h"
#include "kro/devices/comedi/comedi_stream.h"
#include <array>
#include <map>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <limits>
#include <mutex>
#include <string>

struct comedi_t_struct {
    int board = 0;
};

namespace {

struct State {
    std::array<comedi_t_struct, 2> boards{comedi_t_struct{0}, comedi_t_struct{1}};
    std::array<unsigned, 16> readings{};
    unsigned lastAref = 0;
    unsigned lastRange = 0;
    std::vector<unsigned> settles;
    std::map<unsigned, std::vector<comedi_range>> channelRanges; // channels whose table is their own
    std::array<uint64_t, 2> digital{};
    std::array<std::vector<unsigned>, 2> inputs;
    std::array<bool, 2> unplugged{};
    std::array<bool, 2> denied{};
    comedi_oor_behavior oor = COMEDI_OOR_NAN; // the library's default
    int error = 0;
    std::string calibrationPath;
    bool softCalibrated = false;
    comedi_polynomial_t softPolynomial{};
    bool running = false;
    comedi_cmd command{};
    std::vector<unsigned> chanlist;
    int cancels = 0;
};

State& state()
{
    static State s;
    return s;
}

// The stream is read on the back end's reading thread while the test feeds it.
struct Stream {
    struct Item {
        std::vector<uint8_t> bytes; // a read's worth
        int error = 0;              // instead of bytes: -1 with this error
        bool end = false;           // instead of bytes: 0
    };
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Item> items;
};

Stream& stream()
{
    static Stream s;
    return s;
}

void clearStream()
{
    const std::lock_guard lock(stream().mutex);
    stream().items.clear();
}

std::vector<comedi_range> standardRanges = {
    {-10.0, 10.0, UNIT_volt}, {-5.0, 5.0, UNIT_volt}, {-1.0, 1.0, UNIT_volt}, {4.0, 20.0, UNIT_mA}};

// Board 0's analog input ranges of `chan`.
std::vector<comedi_range>& rangesOf(unsigned chan)
{
    const auto own = state().channelRanges.find(chan);
    return own != state().channelRanges.end() ? own->second : standardRanges;
}

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

// A channel, range and reference board 0's analog input can convert.
bool convertible(unsigned chan, unsigned range, unsigned aref)
{
    return chan < 16 && range < rangesOf(chan).size() && (aref == AREF_GROUND || (aref == AREF_DIFF && chan < 8));
}

// Keeps the source bits the board has; true when some were dropped or none is left.
bool keepSources(unsigned& src, unsigned offered)
{
    const unsigned before = src;
    src &= offered;
    return src == 0 || src != before;
}

bool single(unsigned src) { return src != 0 && (src & (src - 1)) == 0; }

// Sets `arg` to `value` when it differs; true when it did.
bool adjust(unsigned& arg, unsigned value)
{
    const bool changed = arg != value;
    arg = value;
    return changed;
}

} // namespace

namespace fake_comedi {

void setReading(int channel, unsigned data) { state().readings[static_cast<size_t>(channel)] = data; }
unsigned lastAref() { return state().lastAref; }
unsigned lastRange() { return state().lastRange; }
void setRanges(int channel, const std::vector<comedi_range>& ranges)
{
    state().channelRanges[static_cast<unsigned>(channel)] = ranges;
}
std::vector<unsigned> settlingTimes() { return state().settles; }
void setDigital(int board, uint64_t lines) { state().digital[static_cast<size_t>(board)] = lines; }
std::vector<unsigned> inputLines(int board) { return state().inputs[static_cast<size_t>(board)]; }
void unplug(int board) { state().unplugged[static_cast<size_t>(board)] = true; }
void denyAccess(int board) { state().denied[static_cast<size_t>(board)] = true; }

void setSoftCalibration(const char* path, const comedi_polynomial_t& polynomial)
{
    state().softCalibrated = true;
    state().calibrationPath = path;
    state().softPolynomial = polynomial;
}

void reset()
{
    const comedi_oor_behavior oor = state().oor;
    state() = State{};
    state().oor = oor; // a process-wide setting the back end made once
    clearStream();
}

bool commandRunning() { return state().running; }
comedi_cmd lastCommand() { return state().command; }
std::vector<unsigned> lastChanlist() { return state().chanlist; }
int cancels() { return state().cancels; }

void deliver(const std::vector<uint16_t>& samples, size_t readBytes)
{
    std::vector<uint8_t> bytes(samples.size() * sizeof(uint16_t));
    std::memcpy(bytes.data(), samples.data(), bytes.size());
    const std::lock_guard lock(stream().mutex);
    for (size_t at = 0; at < bytes.size(); at += readBytes) {
        const size_t n = std::min(readBytes, bytes.size() - at);
        stream().items.push_back(
            {{bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(at + n)},
             0,
             false});
    }
    stream().changed.notify_all();
}

void failStream(int error)
{
    if (error == ENODEV)
        unplug(0);
    const std::lock_guard lock(stream().mutex);
    stream().items.push_back({{}, error, false});
    stream().changed.notify_all();
}

void endStream()
{
    const std::lock_guard lock(stream().mutex);
    stream().items.push_back({{}, 0, true});
    stream().changed.notify_all();
}

size_t unreadBytes()
{
    const std::lock_guard lock(stream().mutex);
    size_t n = 0;
    for (const auto& item : stream().items)
        n += item.bytes.size();
    return n;
}

} // namespace fake_comedi

namespace kro {

long readComediStream(comedi_t* device, void* into, size_t bytes)
{
    if (device == nullptr || device->board != 0) {
        errno = EINVAL;
        return -1;
    }
    const std::lock_guard lock(stream().mutex);
    auto& items = stream().items;
    if (items.empty()) {
        errno = EAGAIN;
        return -1;
    }
    auto& item = items.front();
    if (item.error != 0) { // it stays: every later read fails the same
        errno = item.error;
        return -1;
    }
    if (item.end)
        return 0;
    const size_t n = std::min(bytes, item.bytes.size());
    std::memcpy(into, item.bytes.data(), n);
    item.bytes.erase(item.bytes.begin(), item.bytes.begin() + static_cast<std::ptrdiff_t>(n));
    if (item.bytes.empty())
        items.pop_front();
    return static_cast<long>(n);
}

void awaitComediStream(comedi_t*, int timeoutMs)
{
    std::unique_lock lock(stream().mutex);
    stream().changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [] { return !stream().items.empty(); });
}

} // namespace kro

extern "C" {

comedi_t* comedi_open(const char* fn)
{
    const std::string name(fn);
    for (int b = 0; b < 2; ++b)
        if (name.size() >= 7 && name.ends_with("comedi" + std::to_string(b))) {
            if (state().denied[static_cast<size_t>(b)]) {
                state().error = EACCES;
                return nullptr;
            }
            return &state().boards[static_cast<size_t>(b)];
        }
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
    if (!isAI(it, subd))
        return SDF_READABLE;
    return SDF_READABLE | SDF_GROUND | SDF_DIFF | SDF_CMD | SDF_CMD_READ
           | (state().softCalibrated ? SDF_SOFT_CALIBRATED : 0);
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

int comedi_range_is_chan_specific(comedi_t* it, unsigned int subd)
{
    if (check(it, subd) < 0)
        return -1;
    return isAI(it, subd) && !state().channelRanges.empty() ? 1 : 0;
}

int comedi_get_n_ranges(comedi_t* it, unsigned int subd, unsigned int chan)
{
    if (check(it, subd) < 0)
        return -1;
    return isAI(it, subd) ? static_cast<int>(rangesOf(chan).size()) : 1;
}

comedi_range* comedi_get_range(comedi_t* it, unsigned int subd, unsigned int chan, unsigned int range)
{
    if (check(it, subd) < 0 || !isAI(it, subd) || range >= rangesOf(chan).size()) {
        state().error = EINVAL;
        return nullptr;
    }
    return &rangesOf(chan)[range];
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

// As the manual says: the delayed read switches the multiplexer, waits the
// settling time (here only recorded), then converts.
int comedi_data_read_delayed(comedi_t* it, unsigned int subd, unsigned int chan, unsigned int range, unsigned int aref,
                             lsampl_t* data, unsigned int nanosec)
{
    if (check(it, subd) < 0)
        return -1;
    if (!isAI(it, subd) || !convertible(chan, range, aref))
        return fail(EINVAL);
    if (state().running)
        return fail(EBUSY);
    state().lastAref = aref;
    state().lastRange = range;
    state().settles.push_back(nanosec);
    *data = state().readings[chan];
    return 1;
}

int comedi_data_read(comedi_t* it, unsigned int subd, unsigned int chan, unsigned int range, unsigned int aref,
                     lsampl_t* data)
{
    return comedi_data_read_delayed(it, subd, chan, range, aref, data, 0);
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

int comedi_get_cmd_src_mask(comedi_t* it, unsigned int subd, comedi_cmd* cmd)
{
    if (check(it, subd) < 0)
        return -1;
    if (!isAI(it, subd))
        return fail(EIO);
    *cmd = comedi_cmd{};
    cmd->subdev = subd;
    cmd->start_src = TRIG_NOW | TRIG_EXT;
    cmd->scan_begin_src = TRIG_TIMER | TRIG_EXT;
    cmd->convert_src = TRIG_TIMER;
    cmd->scan_end_src = TRIG_COUNT;
    cmd->stop_src = TRIG_COUNT | TRIG_NONE;
    return 0;
}

// The five stages the manual describes, each returning as soon as it found
// something: unsupported sources (their bits cleared), an impossible
// combination, arguments out of the board's limits (clamped), arguments
// rounded to its timer, a channel list it cannot scan.
int comedi_command_test(comedi_t* it, comedi_cmd* cmd)
{
    if (check(it, cmd->subdev) < 0)
        return -1;
    if (!isAI(it, cmd->subdev))
        return fail(EIO);

    bool bad = keepSources(cmd->start_src, TRIG_NOW | TRIG_EXT);
    bad = keepSources(cmd->scan_begin_src, TRIG_TIMER | TRIG_EXT) || bad;
    bad = keepSources(cmd->convert_src, TRIG_TIMER) || bad;
    bad = keepSources(cmd->scan_end_src, TRIG_COUNT) || bad;
    bad = keepSources(cmd->stop_src, TRIG_COUNT | TRIG_NONE) || bad;
    if (bad)
        return 1;

    if (!single(cmd->start_src) || !single(cmd->scan_begin_src) || !single(cmd->stop_src))
        return 2;

    const unsigned len = std::max(cmd->chanlist_len, 1u);
    bool clamped = false;
    if (cmd->start_src == TRIG_NOW)
        clamped = adjust(cmd->start_arg, 0) || clamped;
    else // external trigger 0, either edge
        clamped = adjust(cmd->start_arg, cmd->start_arg & CR_INVERT) || clamped;
    if (cmd->convert_arg < fake_comedi::kConvertNs)
        clamped = adjust(cmd->convert_arg, fake_comedi::kConvertNs) || clamped;
    if (cmd->scan_begin_src == TRIG_EXT)
        clamped = adjust(cmd->scan_begin_arg, 0) || clamped;
    else if (cmd->scan_begin_arg < cmd->convert_arg * len)
        clamped = adjust(cmd->scan_begin_arg, cmd->convert_arg * len) || clamped;
    clamped = adjust(cmd->scan_end_arg, cmd->chanlist_len) || clamped;
    if (cmd->stop_src == TRIG_NONE)
        clamped = adjust(cmd->stop_arg, 0) || clamped;
    else if (cmd->stop_arg < 1)
        clamped = adjust(cmd->stop_arg, 1) || clamped;
    if (clamped)
        return 3;

    const auto round = [](unsigned ns) {
        const unsigned step = fake_comedi::kTimerStepNs;
        return static_cast<unsigned>(std::min<uint64_t>((static_cast<uint64_t>(ns) + step / 2) / step * step,
                                                        std::numeric_limits<unsigned>::max() / step * step));
    };
    bool rounded = adjust(cmd->convert_arg, round(cmd->convert_arg));
    if (cmd->scan_begin_src == TRIG_TIMER)
        rounded = adjust(cmd->scan_begin_arg, round(cmd->scan_begin_arg)) || rounded;
    if (rounded)
        return 4;

    if (cmd->chanlist == nullptr || cmd->chanlist_len == 0 || cmd->chanlist_len > 16)
        return 5;
    for (unsigned i = 0; i < cmd->chanlist_len; ++i) {
        const unsigned spec = cmd->chanlist[i];
        if (!convertible(CR_CHAN(spec), CR_RANGE(spec), CR_AREF(spec)))
            return 5;
    }
    return 0;
}

int comedi_command(comedi_t* it, comedi_cmd* cmd)
{
    if (check(it, cmd->subdev) < 0)
        return -1;
    if (state().running)
        return fail(EBUSY);
    comedi_cmd tested = *cmd;
    if (comedi_command_test(it, &tested) != 0)
        return fail(EINVAL);
    state().command = *cmd;
    state().chanlist.assign(cmd->chanlist, cmd->chanlist + cmd->chanlist_len);
    state().command.chanlist = nullptr;
    state().running = true;
    clearStream();
    return 0;
}

int comedi_cancel(comedi_t* it, unsigned int subd)
{
    if (check(it, subd) < 0)
        return -1;
    ++state().cancels;
    state().running = false;
    clearStream();
    return 0;
}

char* comedi_get_default_calibration_path(comedi_t* it)
{
    if (it == nullptr || it->board != 0 || state().calibrationPath.empty())
        return nullptr;
    return strdup(state().calibrationPath.c_str());
}

comedi_calibration_t* comedi_parse_calibration_file(const char* cal_file_path)
{
    std::FILE* file = std::fopen(cal_file_path, "r");
    if (file == nullptr)
        return nullptr;
    std::fclose(file);
    return new comedi_calibration_t{};
}

void comedi_cleanup_calibration(comedi_calibration_t* calibration) { delete calibration; }

int comedi_get_softcal_converter(unsigned, unsigned, unsigned, enum comedi_conversion_direction direction,
                                 const comedi_calibration_t* calibration, comedi_polynomial_t* polynomial)
{
    if (calibration == nullptr || direction != COMEDI_TO_PHYSICAL)
        return fail(EINVAL);
    *polynomial = state().softPolynomial;
    return 0;
}

// Boards calibrated in software have no hardware converter; the others get
// the range's straight line.
int comedi_get_hardcal_converter(comedi_t* it, unsigned subd, unsigned chan, unsigned range,
                                 enum comedi_conversion_direction direction, comedi_polynomial_t* polynomial)
{
    if (check(it, subd) < 0)
        return -1;
    if (!isAI(it, subd) || range >= rangesOf(chan).size() || state().softCalibrated || direction != COMEDI_TO_PHYSICAL)
        return fail(EINVAL);
    const comedi_range& r = rangesOf(chan)[range];
    *polynomial = comedi_polynomial_t{};
    polynomial->coefficients[0] = r.min;
    polynomial->coefficients[1] = (r.max - r.min) / 65535.0;
    polynomial->order = 1;
    return 0;
}

double comedi_to_physical(lsampl_t data, const comedi_polynomial_t* polynomial)
{
    double value = 0.0;
    double term = 1.0;
    for (unsigned i = 0; i <= polynomial->order; ++i) {
        value += polynomial->coefficients[i] * term;
        term *= static_cast<double>(data) - polynomial->expansion_origin;
    }
    return value;
}

} // extern "C"
