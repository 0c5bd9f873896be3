#pragma once
// A property a fuzz target checks on every input: a failure aborts, which
// libFuzzer reports as a crash and keeps the input.
#include <cstdio>
#include <cstdlib>

namespace fuzz {

inline void require(bool holds, const char* property)
{
    if (!holds) {
        std::fprintf(stderr, "fuzz: property broken: %s\n", property);
        std::abort();
    }
}

} // namespace fuzz
