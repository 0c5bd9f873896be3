#pragma once
#include <comedilib.h>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kro {

// One input range of a board's analog input, as its range table gives it,
// with its place in that table (ranges of other units are not offered, so a
// range's place in the list offered may differ).
struct ComediRange {
    double low = 0.0;
    double high = 0.0;
    bool milliamps = false;
    unsigned index = 0;
};

class ComediBoard;

// What a look at the device nodes found: the boards that opened, and the
// nodes that exist but may not be opened, each with the reason.
struct ComediDiscovery {
    std::vector<std::unique_ptr<ComediBoard>> boards;
    std::vector<std::string> refused;
};

// An opened Comedi device node (/dev/comediN): the board's name and the
// subdevices the program reads, the analog input and the first digital input
// (or digital I/O) subdevice. Closed when it goes.
class ComediBoard {
public:
    // Every /dev/comediN, N from 0, that exists and opens; nothing is opened
    // on a machine without such nodes. A node the user may not open is named
    // in `refused`; one with no board behind it is passed over.
    static ComediDiscovery discover(const std::string& nodePrefix = "/dev/comedi");

    explicit ComediBoard(comedi_t* device);
    ~ComediBoard();
    ComediBoard(const ComediBoard&) = delete;
    ComediBoard& operator=(const ComediBoard&) = delete;

    comedi_t* device() const { return device_; }
    const std::string& name() const { return name_; }

    int32_t aiSubdevice() const { return aiSubdevice_; } // negative: none
    int32_t aiChannels() const { return aiChannels_; }
    uint32_t aiMaxData() const { return aiMaxData_; }
    int32_t aiResolution() const;
    bool aiDifferential() const { return aiDifferential_; }
    bool aiGround() const { return aiGround_; }
    // The ranges `channel` offers: the same for every channel, except on
    // boards whose channels have range tables of their own.
    const std::vector<ComediRange>& aiRanges(int32_t channel = 0) const;
    bool aiRangesPerChannel() const { return aiRanges_.size() > 1; }

    // Buffered input: whether the analog input runs commands, and the trigger
    // sources (TRIG_* bits) its commands may start and pace scans with.
    bool aiCommands() const { return aiStartSources_ != 0; }
    uint32_t aiStartSources() const { return aiStartSources_; }
    uint32_t aiScanSources() const { return aiScanSources_; }
    // Bytes of one sample in the command's stream.
    size_t aiSampleBytes() const { return aiSampleBytes_; }
    // The board's software calibration, read from its default calibration
    // file; nullptr when it has none.
    const comedi_calibration_t* aiCalibration() const { return aiCalibration_; }

    int32_t diSubdevice() const { return diSubdevice_; }    // negative: none
    bool diConfigurable() const { return diConfigurable_; } // a DIO subdevice, set to input before reading
    int32_t diLines() const { return diLines_; }

private:
    void readAnalogInput();
    void readCommandSources();
    void readCalibration();

    comedi_t* device_;
    std::string name_;
    int32_t aiSubdevice_ = -1;
    int32_t aiChannels_ = 0;
    uint32_t aiMaxData_ = 0;
    bool aiDifferential_ = false;
    bool aiGround_ = false;
    std::vector<std::vector<ComediRange>> aiRanges_; // one table, or one per channel
    uint32_t aiStartSources_ = 0;
    uint32_t aiScanSources_ = 0;
    size_t aiSampleBytes_ = 2;
    comedi_calibration_t* aiCalibration_ = nullptr;
    int32_t diSubdevice_ = -1;
    bool diConfigurable_ = false;
    int32_t diLines_ = 0;
};

// The text of the library's last error.
std::string comediError();

} // namespace kro
