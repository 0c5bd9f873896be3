#include "kom/client.h"
#include "kom/connection.h"
#include "kom/stream.h"

#include <gtest/gtest.h>

namespace {
std::string call(char who, kom::DISPID id, std::span<const kom::Variant> a)
{
    std::string s(1, who);
    s += std::to_string(id);
    s += a[0].utf8();
    return s;
}
} // namespace

using namespace kom;

namespace {

constexpr IID DIID_Test = Guid::literal("{11111111-2222-3333-4444-555555555555}");

// A minimal event source: one connection point.
class Source final : public IConnectionPointContainer {
public:
    HRESULT QueryInterface(const IID& iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_IConnectionPointContainer)
            return hand(static_cast<IConnectionPointContainer*>(this), out);
        *out = nullptr;
        return E_NOINTERFACE;
    }
    KOM_REFCOUNTED
    HRESULT FindConnectionPoint(const IID& iid, IConnectionPoint** out) override
    {
        *out = nullptr;
        if (iid != DIID_Test)
            return CONNECT_E_NOCONNECTION;
        return hand(static_cast<IConnectionPoint*>(&point), reinterpret_cast<void**>(out));
    }
    ConnectionPoint point{this, DIID_Test};

private:
    friend ComPtr<Source> kom::makeObject<Source>();
    ~Source() { point.clear(); }
};

} // namespace

TEST(ConnectionPoint, CallsSinksInConnectionOrderWithTheArguments)
{
    auto source = makeObject<Source>();
    std::vector<std::string> calls;
    auto sinkA = makeObject<EventSink>(
        DIID_Test, [&](DISPID id, std::span<const Variant> a) { calls.push_back(call('A', id, a)); });
    auto sinkB = makeObject<EventSink>(
        DIID_Test, [&](DISPID id, std::span<const Variant> a) { calls.push_back(call('B', id, a)); });
    Connection a, b;
    ASSERT_EQ(advise(source.get(), DIID_Test, sinkA.get(), a), S_OK);
    ASSERT_EQ(advise(source.get(), DIID_Test, sinkB.get(), b), S_OK);
    Variant arg(u"k");
    source->point.fireDispatch(1, std::span<const Variant>(&arg, 1));
    EXPECT_EQ(calls, (std::vector<std::string>{"A1k", "B1k"}));
    a.reset();
    calls.clear();
    source->point.fireDispatch(2, std::span<const Variant>(&arg, 1));
    EXPECT_EQ(calls, (std::vector<std::string>{"B2k"}));
}

TEST(ConnectionPoint, ASinkMayDisconnectItselfAndOthersWhileEventsAreRaised)
{
    auto source = makeObject<Source>();
    Connection first, second, third;
    int secondCalls = 0, thirdCalls = 0;
    auto s1 = makeObject<EventSink>(DIID_Test, [&](DISPID, std::span<const Variant>) {
        first.reset();
        second.reset();
    });
    auto s2 = makeObject<EventSink>(DIID_Test, [&](DISPID, std::span<const Variant>) { ++secondCalls; });
    auto s3 = makeObject<EventSink>(DIID_Test, [&](DISPID, std::span<const Variant>) { ++thirdCalls; });
    advise(source.get(), DIID_Test, s1.get(), first);
    advise(source.get(), DIID_Test, s2.get(), second);
    advise(source.get(), DIID_Test, s3.get(), third);
    source->point.fireDispatch(1, {});
    EXPECT_EQ(secondCalls, 0);
    EXPECT_EQ(thirdCalls, 1);
    EXPECT_EQ(source->point.connectionCount(), 1u);
}

TEST(ConnectionPoint, RefusesSinksWithoutTheInterfaceAndUnknownCookies)
{
    auto source = makeObject<Source>();
    auto wrong = makeObject<EventSink>(Guid::literal("{00000000-0000-0000-0000-000000000001}"), nullptr);
    // EventSink answers IDispatch but not DIID_Test.
    uint32_t cookie = 99;
    EXPECT_EQ(source->point.Advise(wrong.get(), &cookie), CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(cookie, 0u);
    EXPECT_EQ(source->point.Unadvise(12345), CONNECT_E_NOCONNECTION);
    ComPtr<IConnectionPoint> none;
    EXPECT_EQ(source->FindConnectionPoint(IID_IDispatch, none.put()), CONNECT_E_NOCONNECTION);
}

TEST(Stream, ReadsAndWritesExactly)
{
    auto s = makeMemoryStream();
    ASSERT_EQ(writeI32(s.get(), -2), S_OK);
    ASSERT_EQ(writeU32(s.get(), 0x300), S_OK);
    EXPECT_EQ(s->bytes(), (std::vector<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF, 0x00, 0x03, 0x00, 0x00}));
    s->rewind();
    int32_t a = 0;
    uint32_t b = 0;
    EXPECT_EQ(readI32(s.get(), a), S_OK);
    EXPECT_EQ(readU32(s.get(), b), S_OK);
    EXPECT_EQ(a, -2);
    EXPECT_EQ(b, 0x300u);
    EXPECT_EQ(readI32(s.get(), a), E_FAIL); // ended
    uint8_t buf[4];
    uint32_t done = 7;
    EXPECT_EQ(s->Read(buf, 4, &done), S_FALSE);
    EXPECT_EQ(done, 0u);
}

TEST(Stream, AFullMediumFailsTheWrite)
{
    auto s = makeMemoryStream();
    s->setWriteLimit(6);
    EXPECT_EQ(writeI32(s.get(), 1), S_OK);
    EXPECT_EQ(writeI32(s.get(), 2), STG_E_WRITEFAULT);
}

TEST(ClientSite, AnswersUserMode)
{
    auto site = makeObject<ClientSite>(false);
    bool mode = true;
    EXPECT_EQ(ambientUserMode(site.get(), mode), S_OK);
    EXPECT_FALSE(mode);
    site->setUserMode(true);
    EXPECT_EQ(ambientUserMode(site.get(), mode), S_OK);
    EXPECT_TRUE(mode);
    EXPECT_TRUE(FAILED(ambientUserMode(nullptr, mode)));
}

TEST(Himetric, PixelsAtScreenResolution)
{
    EXPECT_EQ(pixelsToHimetric(33, 96), 873);
    EXPECT_EQ(pixelsToHimetric(33, 120), 699);
    EXPECT_EQ(pixelsToHimetric(33, 144), 582);
}
