#include "kro/devices/comedi/comedi_stream.h"
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace kro {

long readComediStream(comedi_t* device, void* into, size_t bytes)
{
    const int fd = comedi_fileno(device);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0 && (flags & O_NONBLOCK) == 0)
        ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    return ::read(fd, into, bytes);
}

void awaitComediStream(comedi_t* device, int timeoutMs)
{
    pollfd p{comedi_fileno(device), POLLIN, 0};
    ::poll(&p, 1, timeoutMs);
}

} // namespace kro
