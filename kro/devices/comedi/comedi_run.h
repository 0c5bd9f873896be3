#pragma once
#include "kro/devices/comedi/comedi_board.h"
#include "kro/devices/comedi/comedi_converter.h"
#include "kro/devices/stream_halves.h"
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace kro {

struct ComediRunConfig {
    // Per scan position: how its counts become volts. Unused by raw runs,
    // which hand the counts on as they come.
    std::vector<ComediConverter> converters;
    // Scans dropped at the start (those within a delayed trigger's delay).
    int64_t skipScans = 0;
    // The cut into halves; chanCount is the scan's length.
    StreamHalvesConfig halves;
};

// One buffered run of a board's analog input, its command already started:
// a reading thread takes the command's stream as it comes, in reads of any
// size, converts each sample and hands it to the half-buffer cutter, which
// posts the full halves to the owner's thread. A buffer overrun, an unplugged
// board or a stream that ends early ends the run with a failure; what was
// delivered before stays delivered. Made and ended on the owner's thread.
class ComediRun {
public:
    using Handler = StreamHalves::Handler;

    ComediRun(EventPump& pump, ComediBoard& board, ComediRunConfig config, Handler handler);
    // Stops reading, cancels the command and discards what is still queued.
    ~ComediRun();
    ComediRun(const ComediRun&) = delete;
    ComediRun& operator=(const ComediRun&) = delete;

    // Stops reading, takes what the board has buffered so far, cancels the
    // command and, before returning, hands over the halves still queued and
    // the whole scans since the last one as a last, shorter half. Nothing
    // follows. May be called from a handler.
    void finish();
    // Whole scans taken from the stream so far. Any thread.
    int64_t scansReceived() const { return halves_->scansReceived(); }

private:
    void read();
    void take(long bytes);
    void drain();
    void endReader();
    void cancel();
    std::string failureText(int error) const;

    ComediBoard& board_;
    ComediRunConfig config_;
    std::unique_ptr<StreamHalves> halves_;
    std::shared_ptr<std::atomic<bool>> resume_ = std::make_shared<std::atomic<bool>>(false);
    std::atomic<bool> stop_{false};
    std::vector<std::byte> buffer_; // the reads, a sample split across two carried over
    size_t carried_ = 0;
    int64_t samplesSeen_ = 0;
    std::vector<std::vector<float>> perChannel_;
    std::thread reader_;
};

} // namespace kro
