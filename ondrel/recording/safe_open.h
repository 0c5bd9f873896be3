#pragma once
#include <string>

namespace ondrel {

// Opens `path` for reading (flags may add O_WRONLY/O_RDWR instead) only when
// it is a regular file: never blocking on a FIFO or a device, never following
// a link at the last component (O_NONBLOCK|O_NOFOLLOW, then fstat and
// S_ISREG). Returns the descriptor (close-on-exec); throws FileError naming
// the file when it is anything else or cannot be opened.
int OpenRegularFile(const std::string& path, int accessFlags);

} // namespace ondrel
