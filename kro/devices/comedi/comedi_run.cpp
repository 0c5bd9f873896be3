#include "kro/devices/comedi/comedi_run.h"
#include "kro/devices/comedi/comedi_stream.h"
#include <cerrno>
#include <cstring>

namespace kro {
namespace {

constexpr size_t kReadBytes = 64 * 1024;
// How long the reader sleeps when the board has nothing yet; it also notices
// a stop or a half handed back by then.
constexpr int kWaitMs = 10;
// Stop takes at most this many reads of what the board still holds, so a
// board pacing faster than it is read cannot keep Stop waiting.
constexpr int kMaxDrainReads = 256;

} // namespace

ComediRun::ComediRun(EventPump& pump, ComediBoard& board, ComediRunConfig config, Handler handler)
    : board_(board), config_(std::move(config)), buffer_(kReadBytes),
      perChannel_(static_cast<size_t>(std::max(config_.halves.chanCount, 1)))
{
    config_.halves.halfReleased = [resume = resume_] { resume->store(true); };
    halves_ = std::make_unique<StreamHalves>(pump, config_.halves, std::move(handler));
    reader_ = std::thread([this] { read(); });
}

ComediRun::~ComediRun()
{
    endReader();
    halves_->stop();
    cancel();
}

void ComediRun::finish()
{
    endReader();
    drain();
    cancel();
    halves_->handOverRest();
}

void ComediRun::endReader()
{
    stop_ = true;
    if (reader_.joinable())
        reader_.join();
}

void ComediRun::cancel() { comedi_cancel(board_.device(), static_cast<unsigned>(board_.aiSubdevice())); }

void ComediRun::read()
{
    while (!stop_ && !halves_->over()) {
        if (resume_->exchange(false))
            halves_->resume();
        const long n = readComediStream(board_.device(), buffer_.data() + carried_, buffer_.size() - carried_);
        if (n > 0) {
            take(n);
            continue;
        }
        if (n == 0) {
            halves_->endOfStream(); // a single run that took all its scans is over already
            return;
        }
        if (errno == EAGAIN || errno == EINTR) {
            awaitComediStream(board_.device(), kWaitMs);
            continue;
        }
        halves_->fail(failureText(errno));
        return;
    }
}

// What the board buffered until Stop, read on the owner's thread once the
// reader has ended.
void ComediRun::drain()
{
    for (int i = 0; i < kMaxDrainReads && !halves_->over(); ++i) {
        if (resume_->exchange(false))
            halves_->resume();
        const long n = readComediStream(board_.device(), buffer_.data() + carried_, buffer_.size() - carried_);
        if (n <= 0)
            return;
        take(n);
    }
}

// Converts the whole samples of `bytes` more read and hands them to the
// cutter, channel by channel.
void ComediRun::take(long bytes)
{
    const size_t size = board_.aiSampleBytes();
    const size_t available = carried_ + static_cast<size_t>(bytes);
    const size_t whole = available / size;
    const auto chans = static_cast<int64_t>(perChannel_.size());
    const int64_t skipSamples = config_.skipScans * chans;
    const bool raw = config_.halves.raw;
    for (auto& values : perChannel_)
        values.clear();
    for (size_t i = 0; i < whole; ++i) {
        lsampl_t data = 0;
        if (size == sizeof(sampl_t)) {
            sampl_t s = 0;
            std::memcpy(&s, buffer_.data() + i * size, size);
            data = s;
        } else {
            std::memcpy(&data, buffer_.data() + i * size, size);
        }
        const int64_t k = samplesSeen_++;
        if (k < skipSamples)
            continue;
        const auto position = static_cast<size_t>(k % chans);
        perChannel_[position].push_back(raw ? static_cast<float>(data)
                                            : static_cast<float>(config_.converters[position](data)));
    }
    carried_ = available - whole * size;
    std::memmove(buffer_.data(), buffer_.data() + whole * size, carried_);
    for (size_t c = 0; c < perChannel_.size(); ++c)
        if (!perChannel_[c].empty() && !halves_->push(static_cast<int32_t>(c), perChannel_[c]))
            return;
}

std::string ComediRun::failureText(int error) const
{
    if (error == EPIPE)
        return "FAI buffer overrun: " + board_.name()
               + " filled its buffer before the program read it; the run stopped and the data before it are kept";
    if (error == ENODEV)
        return board_.name()
               + " was unplugged or switched off during buffered acquisition; the data before it are kept";
    return board_.name() + ": reading the buffered data failed: " + std::strerror(error);
}

} // namespace kro
