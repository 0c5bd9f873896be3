#pragma once
#include <comedilib.h>
#include <cstddef>

namespace kro {

// The stream of samples a command running on `device` delivers, as its
// device node gives it. Defined apart from the rest of the back end, beside
// the library, so that tests link a fake of both.

// Reads up to `bytes` without blocking: the bytes read; 0 once the command
// has ended and everything is read; -1 with errno set otherwise (EAGAIN:
// nothing yet; EPIPE: the board's buffer overran; ENODEV: the board is gone).
long readComediStream(comedi_t* device, void* into, size_t bytes);
// Returns once the stream may be read again, or after `timeoutMs`.
void awaitComediStream(comedi_t* device, int timeoutMs);

} // namespace kro
