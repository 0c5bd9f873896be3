#pragma once
// Outgoing interfaces: connection points, and the sink list a source keeps.
#include "kom/dispatch.h"

#include <vector>

namespace kom {

inline constexpr IID IID_IConnectionPointContainer = Guid::literal("{B196B284-BAB4-101A-B69C-00AA00341D07}");
inline constexpr IID IID_IConnectionPoint = Guid::literal("{B196B286-BAB4-101A-B69C-00AA00341D07}");
inline constexpr IID IID_IPropertyNotifySink = Guid::literal("{9BFBBC02-EFF1-101A-84ED-00AA00341D07}");

class IConnectionPointContainer;

class IConnectionPoint : public IUnknown {
public:
    virtual HRESULT GetConnectionInterface(IID* iid) = 0;
    virtual HRESULT GetConnectionPointContainer(IConnectionPointContainer** out) = 0;
    // The sink is queried for the connection interface; a sink that lacks it
    // gets CONNECT_E_CANNOTCONNECT. Cookies start at 1.
    virtual HRESULT Advise(IUnknown* sink, uint32_t* cookie) = 0;
    virtual HRESULT Unadvise(uint32_t cookie) = 0;

protected:
    ~IConnectionPoint() = default;
};

class IConnectionPointContainer : public IUnknown {
public:
    virtual HRESULT FindConnectionPoint(const IID& iid, IConnectionPoint** out) = 0;

protected:
    ~IConnectionPointContainer() = default;
};

class IPropertyNotifySink : public IUnknown {
public:
    virtual HRESULT OnChanged(DISPID id) = 0;
    virtual HRESULT OnRequestEdit(DISPID id) = 0;

protected:
    ~IPropertyNotifySink() = default;
};

// A connection point that lives inside its container object: its reference
// count is the container's. Sinks are kept in connection order; a sink that
// disconnects while events are being raised is skipped, never invalidated.
class ConnectionPoint final : public IConnectionPoint {
public:
    ConnectionPoint(IConnectionPointContainer* owner, const IID& iid) : owner_(owner), iid_(iid) {}
    ~ConnectionPoint() = default;
    ConnectionPoint(const ConnectionPoint&) = delete;
    ConnectionPoint& operator=(const ConnectionPoint&) = delete;

    HRESULT QueryInterface(const IID& iid, void** out) override;
    uint32_t AddRef() override { return owner_->AddRef(); }
    uint32_t Release() override { return owner_->Release(); }
    HRESULT GetConnectionInterface(IID* iid) override;
    HRESULT GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT Advise(IUnknown* sink, uint32_t* cookie) override;
    HRESULT Unadvise(uint32_t cookie) override;

    const IID& iid() const { return iid_; }
    size_t connectionCount() const;

    // Calls f(sink) for each sink in connection order; each sink is held for
    // the length of its call. Sinks connected during the walk are not called.
    // No allocation.
    template <class F>
    void forEachSink(F&& f)
    {
        ++walking_;
        const size_t n = sinks_.size();
        for (size_t i = 0; i < n && i < sinks_.size(); ++i) {
            ComPtr<IUnknown> held = sinks_[i].sink;
            if (held)
                f(held.get());
        }
        if (--walking_ == 0)
            compact();
    }

    // Raises a dispatch event on every sink (sinks of a dispinterface are
    // IDispatch); results are ignored.
    void fireDispatch(DISPID id, std::span<const Variant> args);
    // Tells every IPropertyNotifySink sink that `id` changed.
    void firePropertyChanged(DISPID id);
    // Drops every sink (final release of the source).
    void clear();

private:
    struct Slot {
        uint32_t cookie;
        ComPtr<IUnknown> sink; // empty once disconnected
    };
    void compact();

    IConnectionPointContainer* owner_;
    IID iid_;
    std::vector<Slot> sinks_;
    uint32_t nextCookie_ = 1;
    int walking_ = 0;
};

} // namespace kom
