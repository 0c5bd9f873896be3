#include "kom/warn.h"

#include <cstdio>
#include <mutex>
#include <set>

namespace kom {

void warnOnce(const std::string& message)
{
    static std::mutex mutex;
    static std::set<std::string> given;
    std::lock_guard lock(mutex);
    if (given.insert(message).second)
        std::fprintf(stderr, "kom: %s\n", message.c_str());
}

} // namespace kom
