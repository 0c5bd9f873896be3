// The timer control's Load of a saved state, as a host calls it. Whatever the
// bytes: no crash, no allocation beyond what was read (the sanitizer's
// allocation limit reports one), a table consistent with Add (every key once,
// the enabled count right), nothing started; and a state that loads saves to
// bytes that load back to the same state.
#include "kom/stream.h"
#include "require.h"
#include "tickwell/tickwell_ctl.h"

#include <QCoreApplication>
#include <cstdint>
#include <set>
#include <vector>

using namespace kom;
using fuzz::require;
using tickwell::TickwellCtl;

namespace {

struct Loaded {
    ComPtr<IPersistStreamInit> persist;
    TickwellCtl* ctl = nullptr;
    HRESULT result = E_FAIL;
};

// A fresh control, without a client site (so the start override never
// starts a timer), that has loaded `bytes`.
Loaded load(std::vector<uint8_t> bytes)
{
    Loaded l;
    require(SUCCEEDED(TickwellCtl::create(IID_IPersistStreamInit, l.persist.putVoid())) && l.persist,
            "the control is created");
    auto stream = makeMemoryStream(std::move(bytes));
    l.result = l.persist->Load(stream.get());
    auto timer = queryAs<tickwell::ITickwellCtl>(l.persist.get(), tickwell::IID_ITickwellCtl);
    int32_t handle = 0;
    timer->GetObject(&handle);
    l.ctl = TickwellCtl::fromHandle(handle);
    require(l.ctl != nullptr, "the control resolves by handle");
    return l;
}

std::vector<uint8_t> save(IPersistStreamInit* persist)
{
    auto stream = makeMemoryStream();
    require(SUCCEEDED(persist->Save(stream.get(), false)), "a loaded control saves");
    return stream->bytes();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // The control needs an event loop on its thread to exist at all.
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Loaded l = load(std::vector<uint8_t>(data, data + size));
    const TickwellCtl& ctl = *l.ctl;

    std::set<std::string> keys;
    int32_t enabled = 0;
    for (const tickwell::TimerEntry& e : ctl.Entries()) {
        require(keys.insert(e.Key).second, "every key is in the table once");
        int32_t interval = 0;
        require(ctl.GetInterval(e.Key, interval) && interval == e.Interval, "every entry is reachable by its key");
        enabled += e.Enabled != 0;
    }
    require(ctl.EnabledCount() == enabled, "the enabled count is the number of enabled entries");
    require(!ctl.Running(), "a control without a site starts nothing");
    if (FAILED(l.result))
        return 0;

    const std::vector<uint8_t> saved = save(l.persist.get());
    Loaded again = load(saved);
    require(SUCCEEDED(again.result), "a saved state loads");
    require(again.ctl->Entries().size() == ctl.Entries().size(), "a saved state keeps every entry");
    require(save(again.persist.get()) == saved, "a saved state loads back to the same state");
    return 0;
}
