#pragma once
// Warnings the component layer gives on standard error ("kom: ..."), each
// distinct message once per process: a host that creates many objects from
// a bad registry is told once, not at every creation.
#include <string>

namespace kom {

void warnOnce(const std::string& message);

} // namespace kom
