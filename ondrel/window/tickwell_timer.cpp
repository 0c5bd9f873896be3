#include "ondrel/window/tickwell_timer.h"
#include "kom/client.h"
#include "ondrel/components/component_error.h"
#include "tickwell/tickwell_ids.h"
#include <cstdio>

namespace ondrel {

namespace {

std::string Describe(const char* what, kom::HRESULT result)
{
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(result));
    return std::string(what) + " failed (" + code + ")";
}

void Check(const char* what, kom::HRESULT result)
{
    if (kom::FAILED(result))
        throw ComponentError(Describe(what, result));
}

} // namespace

struct TickwellTimer::Impl {
    kom::Control control;
    kom::Connection events;
    Handler handler;
};

TickwellTimer::TickwellTimer() : impl_(std::make_unique<Impl>())
{
    Check("Creating the timer control", kom::Control::create(tickwell::CLSID_TickwellCtl, impl_->control));
    Check("Loading the timer's state", impl_->control.load(tickwell::EmptyState));
    kom::HRESULT connected = kom::S_OK;
    impl_->events = impl_->control.connect(
        tickwell::DIID_ITickwellCtlEvents,
        [impl = impl_.get()](kom::DISPID id, std::span<const kom::Variant> args) {
            if (id == tickwell::DISPID_TimerEvent && !args.empty() && impl->handler)
                impl->handler(args[0].utf8());
        },
        &connected);
    Check("Connecting to the timer's events", connected);
}

TickwellTimer::~TickwellTimer()
{
    impl_->events.reset();
    impl_->control.reset();
}

bool TickwellTimer::exist(const std::string& key)
{
    kom::Variant result;
    Check("exist", impl_->control.get(tickwell::DISPID_exist, {kom::Variant::fromUtf8(key)}, result));
    return result.int32Or(0) != 0;
}

void TickwellTimer::Add(const std::string& key, int32_t interval, bool enabled)
{
    Check("Add", impl_->control.call(tickwell::DISPID_Add, {kom::Variant::fromUtf8(key), interval, enabled ? -1 : 0}));
}

void TickwellTimer::setEnabled(const std::string& key, bool enabled)
{
    Check("Enabled", impl_->control.put(tickwell::DISPID_Enabled, {kom::Variant::fromUtf8(key), enabled ? -1 : 0}));
}

void TickwellTimer::setInterval(const std::string& key, int32_t interval)
{
    Check("Interval", impl_->control.put(tickwell::DISPID_Interval, {kom::Variant::fromUtf8(key), interval}));
}

void TickwellTimer::setHandler(Handler handler) { impl_->handler = std::move(handler); }

} // namespace ondrel
