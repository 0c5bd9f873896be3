#pragma once
#include "kro/devices/comedi/comedi_board.h"
#include "ondrel/components/dio_device.h"

namespace kro {

// A Comedi board's digital input, eight lines to a port from line 0. On a
// digital I/O subdevice the lines a read covers are set to input first, and
// no others: lines the operator did not choose keep their direction.
class ComediDIO final : public ondrel::IKroDIO {
public:
    // `board` outlives the component; `number` is the device number it answers.
    ComediDIO(ComediBoard& board, int32_t number) : board_(board), number_(number) {}

    int32_t DeviceNumber() const override { return number_; }
    std::string DeviceName() const override { return board_.name(); }
    int32_t PortCount() const override { return (board_.diLines() + 7) / 8; }
    void SelectDevice() override {}
    bool ReadPorts(std::vector<uint8_t>& bytes, int32_t& firstPort, int32_t& portCount) override;
    std::string ErrorMessage() const override { return errorMessage_; }

private:
    bool fail(std::string text);
    bool readPort(int32_t port, uint8_t& byte);

    ComediBoard& board_;
    int32_t number_;
    std::vector<bool> input_; // per line: set to input by us
    std::string errorMessage_;
};

} // namespace kro
