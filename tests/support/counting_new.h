#pragma once
// Replaces the global operator new of the test program whose one source file
// includes this, counting every allocation and its bytes.
#include <atomic>
#include <cstdlib>
#include <new>

namespace counted {
inline std::atomic<long> allocations{0};
inline std::atomic<long long> allocatedBytes{0};
} // namespace counted

void* operator new(std::size_t n)
{
    counted::allocations.fetch_add(1, std::memory_order_relaxed);
    counted::allocatedBytes.fetch_add(static_cast<long long>(n), std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
