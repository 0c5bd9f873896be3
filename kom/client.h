#pragma once
// The host's view of a control: create it by class identifier or ProgID, call
// it late-bound by dispatch identifier, persist it, and receive its events.
//
//     kom::Control timer;
//     if (FAILED(kom::Control::create("{7F7C9955-AEDA-499F-B4B3-F89A735BB414}", timer)))
//         return;                                   // not registered, not beside us
//     timer.load(emptyState);                       // std::span<const uint8_t>
//     auto events = timer.connect(DIID_events, [&](kom::DISPID id, std::span<const kom::Variant> a) {
//         if (id == 1) onTimer(a[0].utf8());
//     });
//     kom::Variant there;
//     timer.get(7, {u"SoftPoolTimer"}, there);      // exist
//     if (there.int32Or(0) == 0) timer.call(3, {u"SoftPoolTimer", 100, 0});  // Add
//     timer.put(2, {u"SoftPoolTimer", -1});         // Enabled = -1
#include "kom/connection.h"
#include "kom/control.h"
#include "kom/stream.h"

#include <functional>
#include <initializer_list>
#include <span>

namespace kom {

using EventHandler = std::function<void(DISPID id, std::span<const Variant> args)>;

// A late-bound reference to any object with IDispatch.
class Dispatch {
public:
    Dispatch() = default;
    explicit Dispatch(ComPtr<IDispatch> p) : p_(std::move(p)) {}
    static Dispatch from(IUnknown* object); // queried; empty if the object has no IDispatch

    explicit operator bool() const { return bool(p_); }
    IDispatch* get() const { return p_.get(); }

    HRESULT invoke(DISPID id, uint16_t kind, std::span<const Variant> args, Variant* result = nullptr) const;
    HRESULT call(DISPID id, std::initializer_list<Variant> args = {}, Variant* result = nullptr) const;
    HRESULT get(DISPID id, std::initializer_list<Variant> args, Variant& result) const;
    HRESULT get(DISPID id, Variant& result) const { return get(id, {}, result); }
    // The new value is the last argument.
    HRESULT put(DISPID id, std::initializer_list<Variant> args) const;
    HRESULT idOfName(std::u16string_view name, DISPID* id) const;

private:
    ComPtr<IDispatch> p_;
};

// An event sink calling a function; answers QueryInterface for IDispatch and
// for the one event interface it was made for.
class EventSink final : public IDispatch {
public:
    EventSink(const IID& events, EventHandler handler) : events_(events), handler_(std::move(handler)) {}
    HRESULT QueryInterface(const IID& iid, void** out) override;
    KOM_REFCOUNTED
    HRESULT GetTypeInfo(const InterfaceInfo** info) override;
    HRESULT GetIDsOfNames(std::u16string_view name, DISPID* id) override;
    HRESULT Invoke(DISPID id, uint16_t kind, const DispParams& params, Variant* result) override;

private:
    ~EventSink() = default;
    IID events_;
    EventHandler handler_;
};

// A live connection; disconnects when destroyed or reset.
class Connection {
public:
    Connection() = default;
    Connection(ComPtr<IConnectionPoint> point, uint32_t cookie) : point_(std::move(point)), cookie_(cookie) {}
    Connection(Connection&& o) noexcept;
    Connection& operator=(Connection&& o) noexcept;
    ~Connection() { reset(); }
    void reset();
    explicit operator bool() const { return bool(point_); }

private:
    ComPtr<IConnectionPoint> point_;
    uint32_t cookie_ = 0;
};

// Connects `sink` to the object's connection point for `events`.
HRESULT advise(IUnknown* object, const IID& events, IUnknown* sink, Connection& out);

struct ControlOptions {
    bool userMode = true; // ambient UserMode of the site given to the control
};

// A control held by its host: the object, the client site the host gives it
// (before anything is loaded) and late binding.
class Control {
public:
    Control() = default;
    Control(Control&&) noexcept = default;
    Control& operator=(Control&&) noexcept = default;
    ~Control() { reset(); }

    static HRESULT create(const CLSID& clsid, Control& out, const ControlOptions& options = {});
    static HRESULT create(std::string_view clsidOrProgId, Control& out, const ControlOptions& options = {});

    explicit operator bool() const { return bool(object_); }
    IUnknown* object() const { return object_.get(); }
    const Dispatch& dispatch() const { return dispatch_; }
    ClientSite* site() const { return site_.get(); }

    // Persistence through IPersistStreamInit.
    HRESULT initNew() const;
    HRESULT load(std::span<const uint8_t> state) const;
    HRESULT save(std::vector<uint8_t>& state, bool clearDirty = true) const;
    HRESULT isDirty() const;

    HRESULT call(DISPID id, std::initializer_list<Variant> args = {}, Variant* result = nullptr) const
    {
        return dispatch_.call(id, args, result);
    }
    HRESULT get(DISPID id, std::initializer_list<Variant> args, Variant& result) const
    {
        return dispatch_.get(id, args, result);
    }
    HRESULT put(DISPID id, std::initializer_list<Variant> args) const { return dispatch_.put(id, args); }

    // Connects a handler to the event interface `events`; the connection ends
    // when the returned object goes (or with the control).
    Connection connect(const IID& events, EventHandler handler, HRESULT* result = nullptr) const;

    template <class I>
    ComPtr<I> query(const IID& iid) const
    {
        return queryAs<I>(object_.get(), iid);
    }

    // Takes the site back and releases the control.
    void reset();

private:
    ComPtr<IUnknown> object_;
    Dispatch dispatch_;
    ComPtr<ClientSite> site_;
};

} // namespace kom
