#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

typedef struct comedi_t_struct comedi_t;

namespace kro {

// One input range of a board's analog input, as its range table gives it.
struct ComediRange {
    double low = 0.0;
    double high = 0.0;
    bool milliamps = false;
};

// An opened Comedi device node (/dev/comediN): the board's name and the
// subdevices the program reads, the analog input and the first digital input
// (or digital I/O) subdevice. Closed when it goes.
class ComediBoard {
public:
    // Every /dev/comediN, N from 0, that exists and opens; nothing is opened
    // on a machine without such nodes.
    static std::vector<std::unique_ptr<ComediBoard>> discover(const std::string& nodePrefix = "/dev/comedi");

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
    // The ranges every channel offers (those of channel 0 on boards whose
    // channels differ).
    const std::vector<ComediRange>& aiRanges() const { return aiRanges_; }

    int32_t diSubdevice() const { return diSubdevice_; }    // negative: none
    bool diConfigurable() const { return diConfigurable_; } // a DIO subdevice, set to input before reading
    int32_t diLines() const { return diLines_; }

private:
    comedi_t* device_;
    std::string name_;
    int32_t aiSubdevice_ = -1;
    int32_t aiChannels_ = 0;
    uint32_t aiMaxData_ = 0;
    bool aiDifferential_ = false;
    bool aiGround_ = false;
    std::vector<ComediRange> aiRanges_;
    int32_t diSubdevice_ = -1;
    bool diConfigurable_ = false;
    int32_t diLines_ = 0;
};

// The text of the library's last error.
std::string comediError();

} // namespace kro
