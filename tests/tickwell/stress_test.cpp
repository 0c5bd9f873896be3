// Many short-lived controls whose handlers disable, remove or clear entries,
// or let go of the control itself, from inside TimerEvent. Under a sanitizer
// the count is smaller (the teardown paths are the same).
#include "kom/client.h"
#include "support.h"
#include "tickwell/tickwell_ctl.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <random>

using namespace kom;
using namespace tickwell;

namespace {

struct Live {
    ComPtr<ITickwellCtl> ctl;
    Dispatch disp;
    ComPtr<ClientSite> site;
    Connection events;
    int fired = 0;
    int action = 0;
    bool done = false;
};

} // namespace

TEST(Stress, TenThousandControlsWithHandlersThatChangeTheTable)
{
    const int total = twtest::Sanitized ? 3000 : 10000;
    constexpr int parallel = 8;
    std::mt19937 rng(12345);
    std::vector<std::unique_ptr<Live>> live;
    int created = 0, finished = 0;
    qint64 slowestTeardownMs = 0;
    QElapsedTimer clock;
    clock.start();
    const long before = TickwellCtl::liveCount();

    auto spawn = [&] {
        auto l = std::make_unique<Live>();
        EXPECT_EQ(TickwellCtl::create(IID_ITickwellCtl, l->ctl.putVoid()), S_OK);
        l->disp = Dispatch(ComPtr<IDispatch>(l->ctl.get()));
        l->site = makeObject<ClientSite>(true);
        queryAs<IOleObject>(l->ctl.get(), IID_IOleObject)->SetClientSite(l->site.get());
        l->action = static_cast<int>(rng() % 5);
        Live* self = l.get();
        auto sink = makeObject<EventSink>(DIID_ITickwellCtlEvents, [self](DISPID, std::span<const Variant> a) {
            ++self->fired;
            switch (self->action) {
            case 0:
                self->disp.put(DISPID_Enabled, {a[0], 0});
                break; // disable own key
            case 1:
                self->disp.call(DISPID_Remove, {a[0]});
                break; // remove own key
            case 2:
                self->disp.call(DISPID_RemoveALL);
                break; // clear the table
            case 3:
                self->disp.call(DISPID_Remove, {u"b"});
                break; // remove another key
            default:
                break; // release below
            }
            if (self->fired >= 2 || self->action < 3)
                self->done = true;
        });
        advise(l->ctl.get(), DIID_ITickwellCtlEvents, sink.get(), l->events);
        l->disp.call(DISPID_RemoveALL);
        l->disp.call(DISPID_Add, {u"a", 0, -1});
        l->disp.call(DISPID_Add, {u"b", 1, -1});
        ++created;
        live.push_back(std::move(l));
    };

    while (finished < total) {
        while (created < total && static_cast<int>(live.size()) < parallel)
            spawn();
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
        for (auto it = live.begin(); it != live.end();) {
            if (!(*it)->done) {
                ++it;
                continue;
            }
            QElapsedTimer t;
            t.start();
            it->reset(); // drops the connection and the last references
            slowestTeardownMs = std::max(slowestTeardownMs, t.elapsed());
            it = live.erase(it);
            ++finished;
        }
        ASSERT_LT(clock.elapsed(), 240000) << "stalled after " << finished << " controls";
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(TickwellCtl::liveCount(), before);
    EXPECT_LT(slowestTeardownMs, 200);
}

TEST(Stress, DestroyingTheControlFromInsideItsHandler)
{
    const int total = twtest::Sanitized ? 500 : 2000;
    const long before = TickwellCtl::liveCount();
    for (int i = 0; i < total; ++i) {
        auto l = std::make_unique<Live>();
        ASSERT_EQ(TickwellCtl::create(IID_ITickwellCtl, l->ctl.putVoid()), S_OK);
        l->disp = Dispatch(ComPtr<IDispatch>(l->ctl.get()));
        l->site = makeObject<ClientSite>(true);
        queryAs<IOleObject>(l->ctl.get(), IID_IOleObject)->SetClientSite(l->site.get());
        Live* self = l.get();
        auto sink = makeObject<EventSink>(DIID_ITickwellCtlEvents, [self](DISPID, std::span<const Variant>) {
            self->events.reset();
            self->disp = Dispatch();
            self->ctl = nullptr; // the last reference
            self->done = true;
        });
        advise(l->ctl.get(), DIID_ITickwellCtlEvents, sink.get(), l->events);
        l->disp.call(DISPID_Add, {u"x", 0, -1});
        ASSERT_TRUE(twtest::pumpUntil([&] { return self->done; }, 5000)) << i;
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(TickwellCtl::liveCount(), before);
}
