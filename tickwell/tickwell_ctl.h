#pragma once
// TickwellCtl: the keyed millisecond timer control. The engine, wrapped in
// the dual interface ITickwellCtl, with TimerEvent raised to every connected
// sink, stream persistence, a fixed 33 x 33 pixel look and one property page.
#include "kom/connection.h"
#include "kom/control.h"
#include "kom/stream.h"
#include "tickwell/itickwell.h"
#include "tickwell/timer_table.h"

#include <QImage>
#include <memory>

namespace tickwell {

class TickWindow;

class TickwellCtl final : public TimerTable,
                          public ITickwellCtl,
                          public kom::IOleObject,
                          public kom::IOleControl,
                          public kom::IViewObject,
                          public kom::IPersistStreamInit,
                          public kom::IConnectionPointContainer,
                          public kom::ISpecifyPropertyPages,
                          public kom::IProvideClassInfo2 {
public:
    static constexpr int32_t SizePixels = 33;

    // Class-factory creation. Fails with S_FALSE and no object when the
    // calling thread has no event loop to receive ticks.
    static kom::HRESULT create(const kom::IID& iid, void** out);
    // The control behind a GetObject handle (same process), or nullptr.
    static TickwellCtl* fromHandle(int32_t handle);
    // Controls alive in this module.
    static long liveCount();

    // IUnknown
    kom::HRESULT QueryInterface(const kom::IID& iid, void** out) override;
    uint32_t AddRef() override { return refs_.add(); }
    uint32_t Release() override;

    // IDispatch
    kom::HRESULT GetTypeInfo(const kom::InterfaceInfo** info) override;
    kom::HRESULT GetIDsOfNames(std::u16string_view name, kom::DISPID* id) override;
    kom::HRESULT Invoke(kom::DISPID id, uint16_t kind, const kom::DispParams& params, kom::Variant* result) override;

    // ITickwellCtl
    kom::HRESULT get_Interval(const std::u16string* Key, int32_t* pVal) override;
    kom::HRESULT put_Interval(const std::u16string* Key, int32_t newVal) override;
    kom::HRESULT get_Enabled(const std::u16string* Key, int32_t* pVal) override;
    kom::HRESULT put_Enabled(const std::u16string* Key, int32_t newVal) override;
    kom::HRESULT Add(const std::u16string* Key, int32_t Interval, int32_t Enabled) override;
    kom::HRESULT Remove(const std::u16string* Key) override;
    kom::HRESULT RemoveALL() override;
    kom::HRESULT get_Count(int32_t* pVal) override;
    kom::HRESULT get_exist(const std::u16string* Key, int32_t* pVal) override;
    kom::HRESULT GetObject(int32_t* val) override;

    // IOleObject
    kom::HRESULT SetClientSite(kom::IOleClientSite* site) override;
    kom::HRESULT GetClientSite(kom::IOleClientSite** site) override;
    kom::HRESULT SetExtent(uint32_t aspect, const kom::SizeL* size) override;
    kom::HRESULT GetExtent(uint32_t aspect, kom::SizeL* size) override;
    kom::HRESULT GetUserClassID(kom::CLSID* clsid) override;
    kom::HRESULT EnumVerbs(std::vector<kom::OleVerb>* verbs) override;
    kom::HRESULT Close() override { return kom::S_OK; }

    // IOleControl
    kom::HRESULT OnAmbientPropertyChange(kom::DISPID) override { return kom::S_OK; }

    // IViewObject
    kom::HRESULT Draw(uint32_t aspect, QPainter* painter, const kom::Rect& bounds) override;

    // IPersistStreamInit
    kom::HRESULT GetClassID(kom::CLSID* clsid) override;
    kom::HRESULT IsDirty() override { return requiresSave_ ? kom::S_OK : kom::S_FALSE; }
    kom::HRESULT Load(kom::IStream* stream) override;
    kom::HRESULT Save(kom::IStream* stream, bool clearDirty) override;
    kom::HRESULT GetSizeMax(uint64_t*) override { return kom::E_NOTIMPL; }
    kom::HRESULT InitNew() override { return kom::S_OK; }

    // IConnectionPointContainer
    kom::HRESULT FindConnectionPoint(const kom::IID& iid, kom::IConnectionPoint** out) override;

    // ISpecifyPropertyPages
    kom::HRESULT GetPages(std::vector<kom::CLSID>* pages) override;

    // IProvideClassInfo2
    kom::HRESULT GetClassInfo(const kom::CoClassInfo** info) override;
    kom::HRESULT GetGUID(uint32_t kind, kom::Guid* guid) override;

    // For the property page.
    void SetRequiresSave(bool on) { requiresSave_ = on; }
    void NotifyPropertyChanged(kom::DISPID id) { propertyNotify_.firePropertyChanged(id); }
    kom::SizeL Extent() const { return extent_; }
    static kom::SizeL ExtentForScreen();
    static QImage ToolboxBitmap(); // bitmap 101, 80 x 60

protected:
    void FireTimer(const std::string& key) override;
    bool StartTimer() override;

private:
    TickwellCtl();
    ~TickwellCtl() override;
    bool FinalConstruct();
    void OnTick(uint32_t sent);

    kom::RefCount refs_;
    std::unique_ptr<TickWindow> window_;
    bool requiresSave_ = false;
    kom::SizeL extent_;
    kom::ComPtr<kom::IOleClientSite> site_;
    kom::ConnectionPoint events_;
    kom::ConnectionPoint propertyNotify_;
    int32_t handle_ = 0;
};

} // namespace tickwell
