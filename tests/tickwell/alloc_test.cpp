// Allocations counted by replacing the global operator new: a pass allocates
// nothing except the key copy of an entry that fires, and loading a saved
// state allocates in proportion to the bytes it reads, never to the counts
// and lengths those bytes declare.
#include "support/counting_new.h"
#include "kom/stream.h"
#include "tickwell/tickwell_ctl.h"
#include "tickwell/timer_table.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <new>
#include <string>
#include <vector>

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
    const long before = counted::allocations.load();
    for (int i = 0; i < 1000; ++i)
        t.DispatchTick();
    EXPECT_EQ(counted::allocations.load() - before, 0);
}

TEST(Pass, AllocatesOnlyTheKeyCopyOfAFiringEntry)
{
    Table t;
    t.AddEntry("short", 0, 1);                                     // fits the string inline
    t.AddEntry("a key long enough to need its own storage", 0, 1); // one allocation per copy
    for (int i = 0; i < 62; ++i)
        t.AddEntry("idle " + std::to_string(i), 1000, 1);
    const long before = counted::allocations.load();
    for (int i = 0; i < 100; ++i)
        t.DispatchTick();
    EXPECT_EQ(counted::allocations.load() - before, 100);
}

namespace {

void put32(std::vector<uint8_t>& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void putEntry(std::vector<uint8_t>& b, const std::string& key, int32_t enabled, int32_t interval)
{
    put32(b, static_cast<uint32_t>(key.size()));
    b.insert(b.end(), key.begin(), key.end());
    put32(b, static_cast<uint32_t>(enabled));
    put32(b, static_cast<uint32_t>(interval));
}

void putTail(std::vector<uint8_t>& b)
{
    for (uint32_t v : {0u, 0x300u, 873u, 873u})
        put32(b, v);
}

// Bytes allocated while a control loads `bytes` (the stream is made first).
long long bytesAllocatedByLoad(const std::vector<uint8_t>& bytes, kom::HRESULT* result)
{
    using namespace kom;
    ComPtr<IPersistStreamInit> persist;
    EXPECT_EQ(tickwell::TickwellCtl::create(IID_IPersistStreamInit, persist.putVoid()), S_OK);
    auto stream = makeMemoryStream(bytes);
    const long long before = counted::allocatedBytes.load();
    *result = persist->Load(stream.get());
    return counted::allocatedBytes.load() - before;
}

// The bound: a loaded entry costs a few times the bytes it was read from (the
// table's storage, the key, the index of keys seen), plus a fixed allowance.
constexpr long long BytesPerInputByte = 64;
constexpr long long Allowance = 64 * 1024;

} // namespace

TEST(Load, AllocatesInProportionToTheBytesReadNotToTheDeclaredCounts)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        bool loads;
    };
    std::vector<Case> cases;
    {
        std::vector<uint8_t> b; // a count of 2^31 - 1, then only a tail
        put32(b, 0x7FFFFFFF);
        putTail(b);
        cases.push_back({"huge count, no entries", b, false});
    }
    {
        std::vector<uint8_t> b; // one entry, then a key length of 2^31 - 1 and three bytes
        put32(b, 2);
        putEntry(b, "ok", 1, 5);
        put32(b, 0x7FFFFFFF);
        b.insert(b.end(), {'a', 'b', 'c'});
        cases.push_back({"huge key length", b, false});
    }
    {
        std::vector<uint8_t> b; // a huge count, then many real entries with distinct keys
        put32(b, 0x7FFFFFFF);
        for (int i = 0; i < 5000; ++i)
            putEntry(b, std::to_string(10000 + i), 0, 10);
        cases.push_back({"huge count, 5000 entries", b, false});
    }
    {
        std::vector<uint8_t> b; // a sound state with long keys
        put32(b, 200);
        for (int i = 0; i < 200; ++i)
            putEntry(b, std::string(1000, 'k') + std::to_string(i), 0, 10);
        putTail(b);
        cases.push_back({"200 entries with 1000-byte keys", b, true});
    }
    for (const Case& c : cases) {
        kom::HRESULT h = kom::S_OK;
        const long long used = bytesAllocatedByLoad(c.bytes, &h);
        EXPECT_EQ(kom::SUCCEEDED(h), c.loads) << c.what;
        EXPECT_LE(used, BytesPerInputByte * static_cast<long long>(c.bytes.size()) + Allowance)
            << c.what << ": " << c.bytes.size() << " bytes in";
    }
}
