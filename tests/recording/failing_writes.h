#pragma once
#include "ondrel/recording/file_calls.h"

#include <cerrno>
#include <unistd.h>

namespace ondrel::testing {

// Acts out a disk that fails once: while alive, the k-th write of any
// BinaryFile (counting from 1) writes only half its bytes, leaving a torn
// record, and the call after it fails with `error` (a single byte fails at
// once); later writes succeed again. k = 0 fails nothing and only counts.
class FailingWrites {
public:
    FailingWrites(long failAt, int error)
    {
        calls_ = 0;
        tornAt_ = -2;
        failAt_ = failAt;
        error_ = error;
        previous_ = ondrel::Calls();
        FileCalls failing = previous_;
        failing.write = &Call;
        SetCalls(failing);
    }
    ~FailingWrites() { SetCalls(previous_); }
    FailingWrites(const FailingWrites&) = delete;
    FailingWrites& operator=(const FailingWrites&) = delete;

    // Writes seen so far, the failing ones included.
    static long Calls() { return calls_; }
    static bool Failed() { return failAt_ > 0 && calls_ >= failAt_; }

private:
    static ssize_t Call(int fd, const void* data, size_t size)
    {
        ++calls_;
        if (failAt_ > 0 && calls_ == failAt_ && size > 1) {
            tornAt_ = calls_;
            return previous_.write(fd, data, size / 2);
        }
        if (failAt_ > 0 && (calls_ == failAt_ || calls_ == tornAt_ + 1)) {
            errno = error_;
            return -1;
        }
        return previous_.write(fd, data, size);
    }

    static inline long calls_ = 0;
    static inline long failAt_ = 0;
    static inline long tornAt_ = -2;
    static inline int error_ = 0;
    static inline FileCalls previous_{};
};

} // namespace ondrel::testing
