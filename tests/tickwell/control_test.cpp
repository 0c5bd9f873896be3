// The control through its interfaces, created directly from the library's
// code (the host tests create it by class identifier instead).
#include "kom/client.h"
#include "support.h"
#include "tickwell/registration.h"
#include "tickwell/tickwell_ctl.h"
#include "tickwell/tickwell_ids.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <thread>

using namespace kom;
using namespace tickwell;

namespace {

struct Made {
    ComPtr<ITickwellCtl> ctl;
    Dispatch disp;
    ComPtr<ClientSite> site;
    TickwellCtl* impl = nullptr;
};

// A control with a site in run mode (or design mode, or none).
Made make(int userMode = 1)
{
    Made m;
    EXPECT_EQ(TickwellCtl::create(IID_ITickwellCtl, m.ctl.putVoid()), S_OK);
    m.disp = Dispatch(ComPtr<IDispatch>(m.ctl.get()));
    if (userMode >= 0) {
        m.site = makeObject<ClientSite>(userMode == 1);
        queryAs<IOleObject>(m.ctl.get(), IID_IOleObject)->SetClientSite(m.site.get());
    }
    int32_t handle = 0;
    m.ctl->GetObject(&handle);
    m.impl = TickwellCtl::fromHandle(handle);
    return m;
}

std::vector<uint8_t> save(IUnknown* c)
{
    auto s = makeMemoryStream();
    EXPECT_EQ(queryAs<IPersistStreamInit>(c, IID_IPersistStreamInit)->Save(s.get(), true), S_OK);
    return s->bytes();
}

HRESULT load(IUnknown* c, std::vector<uint8_t> bytes)
{
    auto s = makeMemoryStream(std::move(bytes));
    return queryAs<IPersistStreamInit>(c, IID_IPersistStreamInit)->Load(s.get());
}

void put32(std::vector<uint8_t>& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

std::vector<uint8_t> state(const std::vector<TimerEntry>& entries, int32_t enabledCount, uint32_t cx = 873,
                           uint32_t cy = 873)
{
    std::vector<uint8_t> b;
    put32(b, static_cast<uint32_t>(entries.size()));
    for (const auto& e : entries) {
        put32(b, static_cast<uint32_t>(e.Key.size()));
        b.insert(b.end(), e.Key.begin(), e.Key.end());
        put32(b, static_cast<uint32_t>(e.Enabled));
        put32(b, static_cast<uint32_t>(e.Interval));
    }
    put32(b, static_cast<uint32_t>(enabledCount));
    put32(b, 0x300);
    put32(b, cx);
    put32(b, cy);
    return b;
}

// Waits until a second control in run mode has seen `passes` passes: proof
// that ticks were flowing for that long, without a fixed sleep.
void waitForPasses(int passes)
{
    Made witness = make();
    int seen = 0;
    Connection c;
    auto sink = makeObject<EventSink>(DIID_ITickwellCtlEvents, [&](DISPID, std::span<const Variant>) { ++seen; });
    advise(witness.ctl.get(), DIID_ITickwellCtlEvents, sink.get(), c);
    witness.disp.call(DISPID_Add, {u"witness", 0, -1});
    EXPECT_TRUE(twtest::pumpUntil([&] { return seen >= passes; }, 5000));
}

} // namespace

TEST(TickwellCtl, AFreshControlHasTenDefaultEntriesAndNoTimer)
{
    Made m = make();
    ASSERT_TRUE(m.impl);
    const auto& e = m.impl->Entries();
    ASSERT_EQ(e.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(e[static_cast<size_t>(i)].Key, "timer " + std::to_string(i));
        EXPECT_EQ(e[static_cast<size_t>(i)].Interval, 1000);
        EXPECT_EQ(e[static_cast<size_t>(i)].Enabled, i == 0 ? 1 : 0);
    }
    EXPECT_EQ(m.impl->EnabledCount(), 1);
    EXPECT_FALSE(m.impl->Running());
    EXPECT_EQ(queryAs<IPersistStreamInit>(m.ctl.get(), IID_IPersistStreamInit)->InitNew(), S_OK);
    EXPECT_EQ(m.impl->EntryCount(), 10);
}

TEST(TickwellCtl, LateBoundMembersAndTheirResults)
{
    Made m = make();
    Variant v;
    EXPECT_EQ(m.disp.get(DISPID_exist, {u"timer 3"}, v), S_OK);
    EXPECT_EQ(v.int32Or(-9), 1);
    EXPECT_EQ(m.disp.get(DISPID_exist, {u"nope"}, v), S_OK);
    EXPECT_EQ(v.int32Or(-9), 0);

    Variant untouched(int32_t(1234));
    EXPECT_EQ(m.disp.get(DISPID_Interval, {u"nope"}, untouched), S_FALSE);
    EXPECT_EQ(untouched.int32Or(0), 1234);
    EXPECT_EQ(m.disp.put(DISPID_Interval, {u"nope", 5}), S_FALSE);
    EXPECT_EQ(m.disp.put(DISPID_Enabled, {u"nope", -1}), S_FALSE);
    EXPECT_EQ(m.disp.call(DISPID_Remove, {u"nope"}), S_FALSE);

    EXPECT_EQ(m.disp.call(DISPID_Add, {u"SoftPoolTimer", 250, 0}), S_OK);
    EXPECT_EQ(m.disp.call(DISPID_Add, {u"SoftPoolTimer", 100, -1}), S_FALSE);
    EXPECT_EQ(m.disp.get(DISPID_Interval, {u"SoftPoolTimer"}, v), S_OK);
    EXPECT_EQ(v.int32Or(0), 250);
    EXPECT_EQ(m.disp.get(DISPID_Enabled, {u"SoftPoolTimer"}, v), S_OK);
    EXPECT_EQ(v.int32Or(9), 0);
    EXPECT_EQ(m.disp.put(DISPID_Interval, {u"SoftPoolTimer", 20}), S_OK);
    EXPECT_EQ(m.disp.get(DISPID_Count, v), S_OK);
    EXPECT_EQ(v.int32Or(0), 11);
    EXPECT_EQ(m.disp.call(DISPID_Remove, {u"timer 9"}), S_OK);
    EXPECT_EQ(m.disp.call(DISPID_RemoveALL), S_OK);
    EXPECT_EQ(m.disp.get(DISPID_Count, v), S_OK);
    EXPECT_EQ(v.int32Or(-1), 0);

    EXPECT_EQ(m.disp.call(99), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(m.disp.call(DISPID_Add, {u"x"}), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(m.disp.call(DISPID_Add, {u"x", u"not a number", 0}), DISP_E_TYPEMISMATCH);
    DISPID id = 0;
    EXPECT_EQ(m.disp.idOfName(u"Interval", &id), S_OK);
    EXPECT_EQ(id, 1);
    EXPECT_EQ(m.disp.idOfName(u"Nothing", &id), DISP_E_UNKNOWNNAME);
}

TEST(TickwellCtl, TheTableIsFullAtSixtyFourThroughTheInterface)
{
    Made m = make();
    m.disp.call(DISPID_RemoveALL);
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(m.disp.call(DISPID_Add, {Variant::fromUtf8("k" + std::to_string(i)), 10, 0}), S_OK);
    EXPECT_EQ(m.disp.call(DISPID_Add, {u"k64", 10, 0}), S_FALSE);
}

TEST(TickwellCtl, GetObjectHandleFitsAndLeadsBackToTheLiveControl)
{
    Made a = make();
    Made b = make();
    int32_t ha = 0, hb = 0;
    EXPECT_EQ(a.disp.call(DISPID_GetObject, {Variant::byRef(&ha)}), S_OK);
    EXPECT_EQ(b.ctl->GetObject(&hb), S_OK);
    EXPECT_GT(ha, 0);
    EXPECT_NE(ha, hb);
    EXPECT_EQ(TickwellCtl::fromHandle(ha), a.impl);
    EXPECT_EQ(TickwellCtl::fromHandle(hb), b.impl);
    EXPECT_EQ(a.disp.call(DISPID_GetObject, {7}), DISP_E_TYPEMISMATCH);
    a = Made();
    EXPECT_EQ(TickwellCtl::fromHandle(ha), nullptr);
}

TEST(TickwellCtl, SaveWritesTheExactLayoutAndLoadReproducesIt)
{
    Made m = make();
    m.disp.call(DISPID_RemoveALL);
    m.disp.call(DISPID_Add, {u"SoftPoolTimer", 100, 0});
    m.disp.call(DISPID_Add, {u"HistoryTimer", 250, 0});
    m.disp.put(DISPID_Enabled, {u"HistoryTimer", 1});
    const auto bytes = save(m.ctl.get());
    const auto ext = m.impl->Extent();
    EXPECT_EQ(bytes, state({{100, 0, "SoftPoolTimer", 0}, {250, 1, "HistoryTimer", 0}}, 1,
                           static_cast<uint32_t>(ext.cx), static_cast<uint32_t>(ext.cy)));

    Made n = make(0); // design mode: loading starts nothing
    ASSERT_EQ(load(n.ctl.get(), bytes), S_OK);
    ASSERT_EQ(n.impl->EntryCount(), 2);
    EXPECT_EQ(n.impl->Entries()[0].Key, "SoftPoolTimer");
    EXPECT_EQ(n.impl->Entries()[1].Key, "HistoryTimer");
    EXPECT_EQ(n.impl->Entries()[1].Enabled, 1);
    EXPECT_EQ(n.impl->Entries()[1].Interval, 250);
    EXPECT_EQ(n.impl->EnabledCount(), 1);
    EXPECT_FALSE(n.impl->Running());
    EXPECT_EQ(save(n.ctl.get()), bytes);
}

TEST(TickwellCtl, TheTwentyByteEmptyStateLeavesNoEntriesAndNoTimer)
{
    Made m = make();
    std::vector<uint8_t> empty(EmptyState.begin(), EmptyState.end());
    EXPECT_EQ(empty, state({}, 0, 699, 699));
    ASSERT_EQ(load(m.ctl.get(), empty), S_OK);
    EXPECT_EQ(m.impl->EntryCount(), 0);
    EXPECT_EQ(m.impl->EnabledCount(), 0);
    EXPECT_FALSE(m.impl->Running());
    EXPECT_EQ(m.impl->Extent(), (SizeL{699, 699}));
    EXPECT_EQ(save(m.ctl.get()), empty);
}

TEST(TickwellCtl, LoadTakesMoreThanSixtyFourEntriesAndRecountsEnabled)
{
    Made m = make(0);
    std::vector<TimerEntry> many;
    for (int i = 0; i < 70; ++i)
        many.push_back(TimerEntry{5, i % 2, "e" + std::to_string(i), 0});
    ASSERT_EQ(load(m.ctl.get(), state(many, 999)), S_OK);
    EXPECT_EQ(m.impl->EntryCount(), 70);
    EXPECT_EQ(m.impl->EnabledCount(), 35);
    EXPECT_EQ(m.disp.call(DISPID_Add, {u"more", 1, 0}), S_FALSE);
}

TEST(TickwellCtl, LoadOfAStreamCutAtEveryByteFailsAndKeepsWhatWasRead)
{
    const auto full = state({{10, 1, "alpha", 0}, {20, 0, "beta", 0}, {30, -1, "gamma", 0}}, 2);
    // Complete entries end after these many bytes.
    const size_t ends[] = {4 + 4 + 5 + 8, 4 + 4 + 5 + 8 + 4 + 4 + 8, 4 + 4 + 5 + 8 + 4 + 4 + 8 + 4 + 5 + 8};
    Made m = make(0);
    for (size_t cut = 0; cut < full.size(); ++cut) {
        std::vector<uint8_t> part(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_TRUE(FAILED(load(m.ctl.get(), part))) << cut;
        int expected = 0;
        for (size_t e : ends)
            expected += cut >= e;
        EXPECT_EQ(m.impl->EntryCount(), expected) << cut;
        int enabled = 0;
        for (const auto& e : m.impl->Entries())
            enabled += e.Enabled != 0;
        EXPECT_EQ(m.impl->EnabledCount(), enabled) << cut;
    }
    EXPECT_EQ(load(m.ctl.get(), full), S_OK);
    EXPECT_EQ(m.impl->IsDirty(), S_FALSE);
}

// What these loads allocate is measured in alloc_test.cpp.
TEST(TickwellCtl, LoadRejectsGarbageCountsAndLengths)
{
    Made m = make(0);
    auto withCount = [](int32_t count, const std::vector<uint8_t>& rest) {
        std::vector<uint8_t> b;
        put32(b, static_cast<uint32_t>(count));
        b.insert(b.end(), rest.begin(), rest.end());
        return b;
    };
    const auto tail = state({}, 0); // 20 bytes: a count of 0 and a tail
    const std::vector<uint8_t> afterCount(tail.begin() + 4, tail.end());
    EXPECT_EQ(load(m.ctl.get(), withCount(0, afterCount)), S_OK);
    EXPECT_EQ(m.impl->EntryCount(), 0);
    EXPECT_TRUE(FAILED(load(m.ctl.get(), withCount(-1, afterCount))));
    EXPECT_EQ(m.impl->EntryCount(), 0);
    // The tail reads as one entry (empty key, enabled 0x300, interval 873),
    // then the stream ends inside the next: that one entry stays.
    EXPECT_TRUE(FAILED(load(m.ctl.get(), withCount(INT32_MAX, afterCount))));
    ASSERT_EQ(m.impl->EntryCount(), 1);
    EXPECT_EQ(m.impl->Entries()[0], (TimerEntry{873, 0x300, "", m.impl->Entries()[0].LastFire}));
    // One good entry, then a key length of 2^31 - 1 with three bytes behind it.
    auto b = state({{5, 1, "ok", 0}}, 1);
    b.resize(4 + 4 + 2 + 8);
    b[0] = 0xFF, b[1] = 0xFF, b[2] = 0xFF, b[3] = 0x7F;
    put32(b, 0x7FFFFFFF);
    b.insert(b.end(), {'a', 'b', 'c'});
    EXPECT_TRUE(FAILED(load(m.ctl.get(), b)));
    EXPECT_EQ(m.impl->EntryCount(), 1);
    b.resize(4 + 4 + 2 + 8);
    put32(b, 0x80000000u); // negative key length
    EXPECT_TRUE(FAILED(load(m.ctl.get(), b)));
    EXPECT_EQ(m.impl->EntryCount(), 1);
}

TEST(TickwellCtl, LoadKeepsTheFirstEntryOfAKeyAndDropsLaterDuplicates)
{
    Made m = make(0);
    const auto b = state({{5, 1, "a", 0}, {7, 0, "b", 0}, {9, 0, "a", 0}, {11, -1, "b", 0}, {13, 1, "c", 0}}, 3);
    ASSERT_EQ(load(m.ctl.get(), b), S_OK);
    ASSERT_EQ(m.impl->EntryCount(), 3);
    EXPECT_EQ(m.impl->Entries()[0].Key, "a");
    EXPECT_EQ(m.impl->Entries()[0].Interval, 5);
    EXPECT_EQ(m.impl->Entries()[1].Key, "b");
    EXPECT_EQ(m.impl->Entries()[1].Enabled, 0);
    EXPECT_EQ(m.impl->Entries()[2].Key, "c");
    EXPECT_EQ(m.impl->EnabledCount(), 2); // the dropped "b" (enabled -1) is not counted
    // Every entry is reachable by key: once "a" is removed, no "a" remains.
    EXPECT_EQ(m.disp.call(DISPID_Remove, {u"a"}), S_OK);
    Variant there;
    EXPECT_EQ(m.disp.get(DISPID_exist, {u"a"}, there), S_OK);
    EXPECT_EQ(there.int32Or(-1), 0);
    EXPECT_EQ(m.impl->EnabledCount(), 1);
    // Keys are compared byte for byte, as Add compares them.
    ASSERT_EQ(load(m.ctl.get(), state({{1, 0, "k", 0}, {2, 0, "K", 0}, {3, 0, "k ", 0}}, 0)), S_OK);
    EXPECT_EQ(m.impl->EntryCount(), 3);
    // A stream cut short keeps the first of each key read so far.
    auto cut = state({{5, 1, "a", 0}, {9, 1, "a", 0}, {7, 0, "b", 0}}, 2);
    cut.resize(cut.size() - 20 - 4);
    EXPECT_TRUE(FAILED(load(m.ctl.get(), cut)));
    ASSERT_EQ(m.impl->EntryCount(), 1);
    EXPECT_EQ(m.impl->Entries()[0].Interval, 5);
    EXPECT_EQ(m.impl->EnabledCount(), 1);
}

TEST(TickwellCtl, SaveReportsAFullMedium)
{
    Made m = make();
    auto s = makeMemoryStream();
    s->setWriteLimit(10);
    EXPECT_EQ(queryAs<IPersistStreamInit>(m.ctl.get(), IID_IPersistStreamInit)->Save(s.get(), true), STG_E_WRITEFAULT);
    uint64_t size = 0;
    EXPECT_EQ(queryAs<IPersistStreamInit>(m.ctl.get(), IID_IPersistStreamInit)->GetSizeMax(&size), E_NOTIMPL);
}

TEST(TickwellCtl, ExtentStaysThirtyThreePixels)
{
    Made m = make();
    auto ole = queryAs<IOleObject>(m.ctl.get(), IID_IOleObject);
    const SizeL fixed = TickwellCtl::ExtentForScreen();
    EXPECT_EQ(fixed, (SizeL{873, 873})); // the offscreen screen is 96 DPI
    SizeL asked{pixelsToHimetric(100, 96), pixelsToHimetric(50, 96)};
    EXPECT_EQ(ole->SetExtent(DVASPECT_CONTENT, &asked), S_OK);
    SizeL got;
    EXPECT_EQ(ole->GetExtent(DVASPECT_CONTENT, &got), S_OK);
    EXPECT_EQ(got, fixed);
    EXPECT_EQ(ole->GetExtent(4, &got), E_FAIL);
    CLSID clsid;
    EXPECT_EQ(ole->GetUserClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_TickwellCtl);
}

TEST(TickwellCtl, OneVerbAndOnePage)
{
    Made m = make();
    std::vector<OleVerb> verbs;
    ASSERT_EQ(queryAs<IOleObject>(m.ctl.get(), IID_IOleObject)->EnumVerbs(&verbs), S_OK);
    ASSERT_EQ(verbs.size(), 1u);
    EXPECT_EQ(verbs[0].verb, 0);
    EXPECT_EQ(verbs[0].name, u"Properties");
    EXPECT_EQ(verbs[0].flags, 0u);
    EXPECT_EQ(verbs[0].attribs, OLEVERBATTRIB_ONCONTAINERMENU);
    std::vector<CLSID> pages;
    ASSERT_EQ(queryAs<ISpecifyPropertyPages>(m.ctl.get(), IID_ISpecifyPropertyPages)->GetPages(&pages), S_OK);
    EXPECT_EQ(pages, std::vector<CLSID>{CLSID_KroTimerPropPage});
    Guid source;
    EXPECT_EQ(queryAs<IProvideClassInfo2>(m.ctl.get(), IID_IProvideClassInfo2)
                  ->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source),
              S_OK);
    EXPECT_EQ(source, DIID_ITickwellCtlEvents);
}

TEST(TickwellCtl, DrawsTheBitmapOnePixelInAndClipped)
{
    Made m = make();
    QImage canvas(50, 50, QImage::Format_RGB32);
    canvas.fill(Qt::magenta);
    {
        QPainter p(&canvas);
        queryAs<IViewObject>(m.ctl.get(), IID_IViewObject)->Draw(DVASPECT_CONTENT, &p, Rect{5, 5, 38, 38});
    }
    const QImage bitmap = TickwellCtl::ToolboxBitmap();
    EXPECT_EQ(bitmap.size(), QSize(80, 60));
    EXPECT_EQ(canvas.pixelColor(5, 5), QColor(Qt::magenta));     // the 1-pixel margin
    EXPECT_EQ(canvas.pixelColor(6, 6), bitmap.pixelColor(0, 0)); // the bitmap's corner
    EXPECT_EQ(canvas.pixelColor(40, 20), QColor(Qt::magenta));   // clipped at the control's edge
}

TEST(TickwellCtl, RaisesTimerEventToEverySinkInRunMode)
{
    Made m = make();
    std::vector<std::string> a, b;
    HRESULT h = S_OK;
    auto sinkA = makeObject<EventSink>(DIID_ITickwellCtlEvents, [&](DISPID id, std::span<const Variant> args) {
        if (id == DISPID_TimerEvent)
            a.push_back(args[0].utf8());
    });
    auto sinkB = makeObject<EventSink>(DIID_ITickwellCtlEvents,
                                       [&](DISPID, std::span<const Variant> args) { b.push_back(args[0].utf8()); });
    Connection ca, cb;
    ASSERT_EQ(h = advise(m.ctl.get(), DIID_ITickwellCtlEvents, sinkA.get(), ca), S_OK);
    ASSERT_EQ(advise(m.ctl.get(), DIID_ITickwellCtlEvents, sinkB.get(), cb), S_OK);
    m.disp.call(DISPID_RemoveALL);
    m.disp.call(DISPID_Add, {u"fast", 5, -1});
    m.disp.call(DISPID_Add, {u"\u20acuro", 20, -1});
    EXPECT_TRUE(m.impl->Running());
    twtest::pumpUntil(
        [&] { return std::count(a.begin(), a.end(), "?uro") >= 3 && std::count(a.begin(), a.end(), "fast") >= 10; },
        5000);
    EXPECT_GE(std::count(a.begin(), a.end(), "fast"), 10);
    EXPECT_GE(std::count(a.begin(), a.end(), "?uro"), 3); // the euro sign is not in the code page
    EXPECT_EQ(a.size(), b.size());
    m.disp.put(DISPID_Enabled, {u"fast", 0});
    m.disp.put(DISPID_Enabled, {u"\u20acuro", 0});
    EXPECT_FALSE(m.impl->Running());
}

TEST(TickwellCtl, InDesignModeNothingFires)
{
    Made m = make(0);
    int events = 0;
    Connection c;
    auto sink = makeObject<EventSink>(DIID_ITickwellCtlEvents, [&](DISPID, std::span<const Variant>) { ++events; });
    advise(m.ctl.get(), DIID_ITickwellCtlEvents, sink.get(), c);
    EXPECT_EQ(m.disp.call(DISPID_Add, {u"new", 10, -1}), S_OK);
    EXPECT_FALSE(m.impl->Running());
    waitForPasses(30);
    EXPECT_EQ(events, 0);
}

TEST(TickwellCtl, WithoutASiteEnablingOnlyCounts)
{
    Made m = make(-1);
    EXPECT_EQ(m.disp.call(DISPID_Add, {u"new", 10, -1}), S_OK);
    EXPECT_FALSE(m.impl->Running());
    EXPECT_EQ(m.impl->EnabledCount(), 2);
}

TEST(TickwellCtl, AHandlerMayDisableItsOwnKeyOrDestroyTheControl)
{
    Made m = make();
    m.disp.call(DISPID_RemoveALL);
    int events = 0;
    Connection c;
    auto sink = makeObject<EventSink>(DIID_ITickwellCtlEvents, [&](DISPID, std::span<const Variant> args) {
        ++events;
        m.disp.put(DISPID_Enabled, {args[0], 0}); // the last enabled entry: stops the timer from inside the pass
    });
    advise(m.ctl.get(), DIID_ITickwellCtlEvents, sink.get(), c);
    m.disp.call(DISPID_Add, {u"SoftPoolTimer", 1, -1});
    ASSERT_TRUE(twtest::pumpUntil([&] { return events > 0; }, 2000));
    EXPECT_FALSE(m.impl->Running());
    waitForPasses(20);
    EXPECT_EQ(events, 1);

    // Now the handler lets go of the control: it goes after the pass.
    m.disp.put(DISPID_Enabled, {u"SoftPoolTimer", -1});
    const long before = TickwellCtl::liveCount();
    c.reset();
    bool gone = false;
    Connection c2;
    auto killer = makeObject<EventSink>(DIID_ITickwellCtlEvents, [&](DISPID, std::span<const Variant>) {
        c2.reset();
        m = Made();
        gone = true;
    });
    advise(m.ctl.get(), DIID_ITickwellCtlEvents, killer.get(), c2);
    ASSERT_TRUE(twtest::pumpUntil([&] { return gone; }, 2000));
    // Released at the end of the pass that raised the event.
    EXPECT_EQ(TickwellCtl::liveCount(), before - 1);
}

TEST(TickwellCtl, CreationNeedsAThreadWithAnEventLoop)
{
    HRESULT h = E_FAIL;
    void* out = reinterpret_cast<void*>(1);
    std::thread([&] { h = TickwellCtl::create(IID_ITickwellCtl, &out); }).join();
    EXPECT_EQ(h, S_FALSE);
    EXPECT_EQ(out, nullptr);
}

TEST(TickwellCtl, PropertyNotifySinksAndDirtyState)
{
    Made m = make();
    EXPECT_EQ(m.impl->IsDirty(), S_FALSE);
    m.impl->SetRequiresSave(true);
    EXPECT_EQ(m.impl->IsDirty(), S_OK);
    save(m.ctl.get()); // saving leaves the flag
    EXPECT_EQ(m.impl->IsDirty(), S_OK);
    load(m.ctl.get(), std::vector<uint8_t>(EmptyState.begin(), EmptyState.end()));
    EXPECT_EQ(m.impl->IsDirty(), S_FALSE);
}

TEST(Registration, RefusesAModulePathThatIsNotAbsolute)
{
    for (const char* path : {"", "libtickwell.so", "./libtickwell.so", "build/bin/libtickwell.so"}) {
        Registry reg;
        EXPECT_TRUE(FAILED(RegisterServer(reg, path))) << path;
        EXPECT_TRUE(reg.empty()) << path;
    }
    Registry reg;
    ASSERT_EQ(RegisterServer(reg, "/opt/tickwell/libtickwell.so"), S_OK);
    EXPECT_EQ(reg.value("CLSID\\" + CLSID_TickwellCtl.toString() + "\\InprocServer32"), "/opt/tickwell/libtickwell.so");
}
