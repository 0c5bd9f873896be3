// A pass allocates nothing except the key copy of an entry that fires.
#include "tickwell/timer_table.h"

#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <new>

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t n)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

class Table : public tickwell::TimerTable {
public:
    uint32_t clock = 100;

protected:
    uint32_t Now() const override { return clock; }
};

} // namespace

TEST(Pass, AllocatesNothingWhenNothingIsDue)
{
    Table t;
    for (int i = 0; i < 64; ++i)
        t.AddEntry("a long key that does not fit inline " + std::to_string(i), 1000, 1);
    t.clock += 10;
    const long before = allocations.load();
    for (int i = 0; i < 1000; ++i)
        t.DispatchTick();
    EXPECT_EQ(allocations.load() - before, 0);
}

TEST(Pass, AllocatesOnlyTheKeyCopyOfAFiringEntry)
{
    Table t;
    t.AddEntry("short", 0, 1);                                   // fits the string inline
    t.AddEntry("a key long enough to need its own storage", 0, 1); // one allocation per copy
    for (int i = 0; i < 62; ++i)
        t.AddEntry("idle " + std::to_string(i), 1000, 1);
    const long before = allocations.load();
    for (int i = 0; i < 100; ++i)
        t.DispatchTick();
    EXPECT_EQ(allocations.load() - before, 100);
}
