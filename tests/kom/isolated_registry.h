#pragma once
// Every test executable that links this gets its own empty class registry
// (KOM_REGISTRY points into a fresh temporary folder before main), so no test
// reads or writes the user's real registry.
#include <string>

namespace komtest {

std::string registryPath();
// Empties the registry file.
void clearRegistry();

} // namespace komtest
