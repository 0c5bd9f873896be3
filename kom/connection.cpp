#include "kom/connection.h"

#include <algorithm>

namespace kom {

HRESULT ConnectionPoint::QueryInterface(const IID& iid, void** out)
{
    if (!out)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IConnectionPoint)
        return hand(static_cast<IConnectionPoint*>(this), out);
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid)
{
    if (!iid)
        return E_POINTER;
    *iid = iid_;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out)
{
    return hand(owner_, reinterpret_cast<void**>(out));
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, uint32_t* cookie)
{
    if (!sink || !cookie)
        return E_POINTER;
    *cookie = 0;
    void* p = nullptr;
    if (FAILED(sink->QueryInterface(iid_, &p)) || !p)
        return CONNECT_E_CANNOTCONNECT;
    // Every interface derives singly from IUnknown, so the pointer the sink
    // handed out is also its IUnknown base.
    auto held = ComPtr<IUnknown>::adopt(static_cast<IUnknown*>(p));
    sinks_.push_back(Slot{nextCookie_, std::move(held)});
    *cookie = nextCookie_++;
    if (nextCookie_ == 0)
        nextCookie_ = 1;
    return S_OK;
}

HRESULT ConnectionPoint::Unadvise(uint32_t cookie)
{
    for (Slot& s : sinks_) {
        if (s.cookie == cookie && s.sink) {
            ComPtr<IUnknown> dropped = std::move(s.sink); // released after the slot is cleared
            s.sink = nullptr;
            if (walking_ == 0)
                compact();
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

size_t ConnectionPoint::connectionCount() const
{
    return static_cast<size_t>(std::count_if(sinks_.begin(), sinks_.end(), [](const Slot& s) { return bool(s.sink); }));
}

void ConnectionPoint::compact()
{
    std::erase_if(sinks_, [](const Slot& s) { return !s.sink; });
}

void ConnectionPoint::fireDispatch(DISPID id, std::span<const Variant> args)
{
    DispParams params{args};
    forEachSink([&](IUnknown* sink) { static_cast<IDispatch*>(sink)->Invoke(id, DISPATCH_METHOD, params, nullptr); });
}

void ConnectionPoint::firePropertyChanged(DISPID id)
{
    forEachSink([&](IUnknown* sink) { static_cast<IPropertyNotifySink*>(sink)->OnChanged(id); });
}

void ConnectionPoint::clear()
{
    std::vector<Slot> dropped;
    dropped.swap(sinks_); // sinks are released after the list is empty
}

} // namespace kom
