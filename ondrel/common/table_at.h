#pragma once
#include <cstdint>
#include <vector>

namespace ondrel {

// An entry of a session table, or `fallback` when the index lies outside it: a
// table sized for another device never turns into an out-of-bounds read.
template <typename T>
T TableAt(const std::vector<T>& table, int32_t index, T fallback = T{})
{
    return index >= 0 && static_cast<size_t>(index) < table.size() ? table[static_cast<size_t>(index)] : fallback;
}

} // namespace ondrel
