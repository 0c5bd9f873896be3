#include "kom/client.h"

#include "kom/module.h"

namespace kom {

Dispatch Dispatch::from(IUnknown* object) { return Dispatch(queryAs<IDispatch>(object, IID_IDispatch)); }

HRESULT Dispatch::invoke(DISPID id, uint16_t kind, std::span<const Variant> args, Variant* result) const
{
    if (!p_)
        return E_POINTER;
    return p_->Invoke(id, kind, DispParams{args}, result);
}

HRESULT Dispatch::call(DISPID id, std::initializer_list<Variant> args, Variant* result) const
{
    return invoke(id, DISPATCH_METHOD, std::span<const Variant>(args.begin(), args.size()), result);
}

HRESULT Dispatch::get(DISPID id, std::initializer_list<Variant> args, Variant& result) const
{
    return invoke(id, DISPATCH_PROPERTYGET, std::span<const Variant>(args.begin(), args.size()), &result);
}

HRESULT Dispatch::put(DISPID id, std::initializer_list<Variant> args) const
{
    return invoke(id, DISPATCH_PROPERTYPUT, std::span<const Variant>(args.begin(), args.size()), nullptr);
}

HRESULT Dispatch::idOfName(std::u16string_view name, DISPID* id) const
{
    if (!p_)
        return E_POINTER;
    return p_->GetIDsOfNames(name, id);
}

namespace {
const InterfaceInfo sinkInfo{IID_IDispatch, "EventSink", "event sink", IFACE_DISPATCH_ONLY, {}};
} // namespace

HRESULT EventSink::QueryInterface(const IID& iid, void** out)
{
    if (!out)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == events_)
        return hand(static_cast<IDispatch*>(this), out);
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT EventSink::GetTypeInfo(const InterfaceInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = &sinkInfo;
    return S_OK;
}

HRESULT EventSink::GetIDsOfNames(std::u16string_view, DISPID*) { return DISP_E_UNKNOWNNAME; }

HRESULT EventSink::Invoke(DISPID id, uint16_t, const DispParams& params, Variant*)
{
    if (handler_)
        handler_(id, params.args);
    return S_OK;
}

Connection::Connection(Connection&& o) noexcept : point_(std::move(o.point_)), cookie_(std::exchange(o.cookie_, 0)) {}

Connection& Connection::operator=(Connection&& o) noexcept
{
    if (this != &o) {
        reset();
        point_ = std::move(o.point_);
        cookie_ = std::exchange(o.cookie_, 0);
    }
    return *this;
}

void Connection::reset()
{
    if (point_)
        point_->Unadvise(cookie_);
    point_ = nullptr;
    cookie_ = 0;
}

HRESULT advise(IUnknown* object, const IID& events, IUnknown* sink, Connection& out)
{
    out.reset();
    auto container = queryAs<IConnectionPointContainer>(object, IID_IConnectionPointContainer);
    if (!container)
        return E_NOINTERFACE;
    ComPtr<IConnectionPoint> point;
    HRESULT h = container->FindConnectionPoint(events, point.put());
    if (FAILED(h))
        return h;
    uint32_t cookie = 0;
    h = point->Advise(sink, &cookie);
    if (FAILED(h))
        return h;
    out = Connection(std::move(point), cookie);
    return S_OK;
}

HRESULT Control::create(const CLSID& clsid, Control& out, const ControlOptions& options)
{
    out.reset();
    ComPtr<IUnknown> object;
    HRESULT h = createInstance(clsid, nullptr, IID_IUnknown, object.putVoid());
    if (FAILED(h))
        return h;
    if (!object)
        return E_FAIL; // the class declined (S_FALSE and no object)
    out.object_ = object;
    out.dispatch_ = Dispatch::from(object.get());
    out.site_ = makeObject<ClientSite>(options.userMode);
    if (auto ole = out.query<IOleObject>(IID_IOleObject))
        ole->SetClientSite(out.site_.get());
    return S_OK;
}

HRESULT Control::create(std::string_view clsidOrProgId, Control& out, const ControlOptions& options)
{
    CLSID clsid;
    HRESULT h = clsidFromString(clsidOrProgId, &clsid);
    if (FAILED(h))
        return h;
    return create(clsid, out, options);
}

HRESULT Control::initNew() const
{
    auto p = query<IPersistStreamInit>(IID_IPersistStreamInit);
    return p ? p->InitNew() : E_NOINTERFACE;
}

HRESULT Control::load(std::span<const uint8_t> state) const
{
    auto p = query<IPersistStreamInit>(IID_IPersistStreamInit);
    if (!p)
        return E_NOINTERFACE;
    auto stream = makeMemoryStream(std::vector<uint8_t>(state.begin(), state.end()));
    return p->Load(stream.get());
}

HRESULT Control::save(std::vector<uint8_t>& state, bool clearDirty) const
{
    auto p = query<IPersistStreamInit>(IID_IPersistStreamInit);
    if (!p)
        return E_NOINTERFACE;
    auto stream = makeMemoryStream();
    HRESULT h = p->Save(stream.get(), clearDirty);
    if (SUCCEEDED(h))
        state = stream->bytes();
    return h;
}

HRESULT Control::isDirty() const
{
    auto p = query<IPersistStreamInit>(IID_IPersistStreamInit);
    return p ? p->IsDirty() : E_NOINTERFACE;
}

Connection Control::connect(const IID& events, EventHandler handler, HRESULT* result) const
{
    auto sink = makeObject<EventSink>(events, std::move(handler));
    Connection c;
    HRESULT h = advise(object_.get(), events, sink.get(), c);
    if (result)
        *result = h;
    return c;
}

void Control::reset()
{
    if (object_) {
        if (auto ole = query<IOleObject>(IID_IOleObject)) {
            ole->Close();
            ole->SetClientSite(nullptr);
        }
    }
    dispatch_ = Dispatch();
    object_ = nullptr;
    site_ = nullptr;
}

} // namespace kom
