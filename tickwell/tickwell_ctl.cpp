#include "tickwell/tickwell_ctl.h"

#include "tickwell/server_module.h"
#include "tickwell/state_format.h"
#include "tickwell/tick_window.h"
#include "tickwell/typelib.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <cmath>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

namespace tickwell {

using namespace kom;

namespace {

// GetObject handles: small positive numbers that fit the 32-bit out value and
// resolve to the live control while it exists.
struct HandleTable {
    std::mutex mutex;
    std::unordered_map<int32_t, TickwellCtl*> controls;
    int32_t next = 1;

    int32_t add(TickwellCtl* c)
    {
        std::lock_guard lock(mutex);
        while (controls.contains(next) || next <= 0)
            next = next <= 0 || next == INT32_MAX ? 1 : next + 1;
        int32_t h = next;
        next = next == INT32_MAX ? 1 : next + 1;
        controls.emplace(h, c);
        return h;
    }
    void remove(int32_t h)
    {
        std::lock_guard lock(mutex);
        controls.erase(h);
    }
    TickwellCtl* find(int32_t h)
    {
        std::lock_guard lock(mutex);
        auto it = controls.find(h);
        return it == controls.end() ? nullptr : it->second;
    }
    long size()
    {
        std::lock_guard lock(mutex);
        return static_cast<long>(controls.size());
    }
};

HandleTable& handles()
{
    static HandleTable t;
    return t;
}

std::string keyOf(const std::u16string* key) { return key ? wideToNarrow(*key) : std::string(); }

} // namespace

HRESULT TickwellCtl::create(const IID& iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    auto* c = new TickwellCtl();
    if (!c->FinalConstruct()) {
        delete c;
        return S_FALSE;
    }
    c->AddRef();
    HRESULT h = c->QueryInterface(iid, out);
    c->Release();
    return h;
}

TickwellCtl* TickwellCtl::fromHandle(int32_t handle) { return handles().find(handle); }
long TickwellCtl::liveCount() { return handles().size(); }

TickwellCtl::TickwellCtl()
    : extent_(ExtentForScreen()), events_(static_cast<IConnectionPointContainer*>(this), DIID_ITickwellCtlEvents),
      propertyNotify_(static_cast<IConnectionPointContainer*>(this), IID_IPropertyNotifySink)
{
    serverModule().objectCreated();
}

bool TickwellCtl::FinalConstruct()
{
    window_ = TickWindow::create([this](uint32_t sent) { OnTick(sent); });
    if (!window_)
        return false;
    SetTickWindow(window_.get());
    for (int i = 0; i < 10; ++i)
        AddEntry("timer " + std::to_string(i), DefaultInterval, 0);
    SetEnabled("timer 0", 1, false);
    handle_ = handles().add(this);
    return true;
}

TickwellCtl::~TickwellCtl()
{
    if (handle_)
        handles().remove(handle_);
    StopTimer();
    SetTickWindow(nullptr);
    window_.reset(); // no tick can reach this control any more
    events_.clear();
    propertyNotify_.clear();
    site_ = nullptr;
    serverModule().objectDestroyed();
}

uint32_t TickwellCtl::Release()
{
    uint32_t n = refs_.release();
    if (n == 0)
        delete this;
    return n;
}

void TickwellCtl::OnTick(uint32_t sent)
{
    // A handler may drop the last reference; the control then goes after the pass.
    ComPtr<TickwellCtl> alive(this);
    HandleTickMessage(sent);
}

HRESULT TickwellCtl::QueryInterface(const IID& iid, void** out)
{
    if (!out)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_ITickwellCtl)
        return hand(static_cast<ITickwellCtl*>(this), out);
    if (iid == IID_IOleObject)
        return hand(static_cast<IOleObject*>(this), out);
    if (iid == IID_IOleControl)
        return hand(static_cast<IOleControl*>(this), out);
    if (iid == IID_IViewObject)
        return hand(static_cast<IViewObject*>(this), out);
    if (iid == IID_IPersist || iid == IID_IPersistStreamInit)
        return hand(static_cast<IPersistStreamInit*>(this), out);
    if (iid == IID_IConnectionPointContainer)
        return hand(static_cast<IConnectionPointContainer*>(this), out);
    if (iid == IID_ISpecifyPropertyPages)
        return hand(static_cast<ISpecifyPropertyPages*>(this), out);
    if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2)
        return hand(static_cast<IProvideClassInfo2*>(this), out);
    *out = nullptr;
    return E_NOINTERFACE;
}

// ---- IDispatch ---------------------------------------------------------

HRESULT TickwellCtl::GetTypeInfo(const InterfaceInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = &ITickwellCtlInfo;
    return S_OK;
}

HRESULT TickwellCtl::GetIDsOfNames(std::u16string_view name, DISPID* id)
{
    return idOfName(ITickwellCtlInfo, name, id);
}

HRESULT TickwellCtl::Invoke(DISPID id, uint16_t kind, const DispParams& p, Variant* result)
{
    std::u16string key;
    int32_t value = 0;
    HRESULT h = S_OK;
    auto keyed = [&](size_t count) {
        if (FAILED(h = expectArgs(p, count)))
            return false;
        return SUCCEEDED(h = argString(p, 0, key));
    };
    // The out value goes to the result only when the member succeeded.
    auto give = [&](HRESULT r) {
        if (r == S_OK && result)
            *result = Variant(value);
        return r;
    };
    switch (id) {
    case DISPID_Interval:
    case DISPID_Enabled:
        if (kind & DISPATCH_PROPERTYPUT) {
            if (!keyed(2) || FAILED(h = argInt32(p, 1, value)))
                return h;
            return id == DISPID_Interval ? put_Interval(&key, value) : put_Enabled(&key, value);
        }
        if (kind & DISPATCH_PROPERTYGET) {
            if (!keyed(1))
                return h;
            h = id == DISPID_Interval ? get_Interval(&key, &value) : get_Enabled(&key, &value);
            return give(h);
        }
        break;
    case DISPID_Add:
        if (kind & DISPATCH_METHOD) {
            int32_t enabled = 0;
            if (!keyed(3) || FAILED(h = argInt32(p, 1, value)) || FAILED(h = argInt32(p, 2, enabled)))
                return h;
            return Add(&key, value, enabled);
        }
        break;
    case DISPID_Remove:
        if (kind & DISPATCH_METHOD)
            return keyed(1) ? Remove(&key) : h;
        break;
    case DISPID_RemoveALL:
        if (kind & DISPATCH_METHOD)
            return FAILED(h = expectArgs(p, 0)) ? h : RemoveALL();
        break;
    case DISPID_Count:
        if (kind & DISPATCH_PROPERTYGET) {
            if (FAILED(h = expectArgs(p, 0)))
                return h;
            return give(get_Count(&value));
        }
        break;
    case DISPID_exist:
        if (kind & DISPATCH_PROPERTYGET) {
            if (!keyed(1))
                return h;
            return give(get_exist(&key, &value));
        }
        break;
    case DISPID_GetObject:
        if (kind & DISPATCH_METHOD) {
            if (FAILED(h = expectArgs(p, 1)))
                return h;
            int32_t* out = p.args[0].byRefI4();
            return out ? GetObject(out) : DISP_E_TYPEMISMATCH;
        }
        break;
    default:
        break;
    }
    return DISP_E_MEMBERNOTFOUND;
}

// ---- ITickwellCtl ------------------------------------------------------

HRESULT TickwellCtl::get_Interval(const std::u16string* Key, int32_t* pVal)
{
    if (!pVal)
        return E_POINTER;
    return GetInterval(keyOf(Key), *pVal) ? S_OK : S_FALSE;
}

HRESULT TickwellCtl::put_Interval(const std::u16string* Key, int32_t newVal)
{
    return SetInterval(keyOf(Key), newVal) ? S_OK : S_FALSE;
}

HRESULT TickwellCtl::get_Enabled(const std::u16string* Key, int32_t* pVal)
{
    if (!pVal)
        return E_POINTER;
    return GetEnabled(keyOf(Key), *pVal) ? S_OK : S_FALSE;
}

HRESULT TickwellCtl::put_Enabled(const std::u16string* Key, int32_t newVal)
{
    return SetEnabled(keyOf(Key), newVal, true) ? S_OK : S_FALSE;
}

HRESULT TickwellCtl::Add(const std::u16string* Key, int32_t Interval, int32_t Enabled)
{
    return AddEntry(keyOf(Key), Interval, Enabled) ? S_OK : S_FALSE;
}

HRESULT TickwellCtl::Remove(const std::u16string* Key) { return RemoveEntry(keyOf(Key)) ? S_OK : S_FALSE; }

HRESULT TickwellCtl::RemoveALL()
{
    RemoveAllEntries();
    return S_OK;
}

HRESULT TickwellCtl::get_Count(int32_t* pVal)
{
    if (!pVal)
        return E_POINTER;
    *pVal = EntryCount();
    return S_OK;
}

HRESULT TickwellCtl::get_exist(const std::u16string* Key, int32_t* pVal)
{
    if (!pVal)
        return E_POINTER;
    *pVal = Contains(keyOf(Key)) ? 1 : 0;
    return S_OK;
}

HRESULT TickwellCtl::GetObject(int32_t* val)
{
    if (!val)
        return E_POINTER;
    *val = handle_;
    return S_OK;
}

// ---- Engine overrides --------------------------------------------------

void TickwellCtl::FireTimer(const std::string& key)
{
    const Variant arg(narrowToWide(key));
    events_.fireDispatch(DISPID_TimerEvent, std::span<const Variant>(&arg, 1));
}

bool TickwellCtl::StartTimer()
{
    bool userMode = false;
    if (FAILED(ambientUserMode(site_.get(), userMode)))
        return false;
    if (!userMode)
        return true; // a form designer: nothing runs
    return TimerTable::StartTimer();
}

// ---- IOleObject --------------------------------------------------------

HRESULT TickwellCtl::SetClientSite(IOleClientSite* site)
{
    site_ = ComPtr<IOleClientSite>(site);
    return S_OK;
}

HRESULT TickwellCtl::GetClientSite(IOleClientSite** site)
{
    if (!site)
        return E_POINTER;
    *site = site_.get();
    if (*site)
        (*site)->AddRef();
    return S_OK;
}

SizeL TickwellCtl::ExtentForScreen()
{
    double dpiX = 96, dpiY = 96;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (QScreen* s = QGuiApplication::primaryScreen()) {
            dpiX = s->logicalDotsPerInchX();
            dpiY = s->logicalDotsPerInchY();
        }
    }
    return SizeL{pixelsToHimetric(SizePixels, static_cast<int32_t>(std::lround(dpiX))),
                 pixelsToHimetric(SizePixels, static_cast<int32_t>(std::lround(dpiY)))};
}

HRESULT TickwellCtl::SetExtent(uint32_t, const SizeL* size)
{
    if (!size)
        return E_POINTER;
    extent_ = ExtentForScreen(); // the control keeps its fixed size
    return S_OK;
}

HRESULT TickwellCtl::GetExtent(uint32_t aspect, SizeL* size)
{
    if (!size)
        return E_POINTER;
    if (aspect != DVASPECT_CONTENT)
        return E_FAIL;
    *size = extent_;
    return S_OK;
}

HRESULT TickwellCtl::GetUserClassID(CLSID* clsid) { return GetClassID(clsid); }

HRESULT TickwellCtl::EnumVerbs(std::vector<OleVerb>* verbs)
{
    if (!verbs)
        return E_POINTER;
    *verbs = {OleVerb{0, u"Properties", 0, OLEVERBATTRIB_ONCONTAINERMENU}};
    return S_OK;
}

// ---- IViewObject -------------------------------------------------------

QImage TickwellCtl::ToolboxBitmap()
{
    QImage img(80, 60, QImage::Format_RGB32); // 24-bit colour in the native layout: drawn without conversion
    img.fill(QColor(192, 192, 192));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 16), 13, 13);
    p.drawLine(QPointF(16, 16), QPointF(16, 7));
    p.drawLine(QPointF(16, 16), QPointF(23, 16));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 128));
    p.drawRect(34, 4, 42, 8);
    p.drawRect(34, 20, 30, 8);
    return img;
}

HRESULT TickwellCtl::Draw(uint32_t aspect, QPainter* painter, const Rect& bounds)
{
    if (!painter)
        return E_POINTER;
    if (aspect != DVASPECT_CONTENT)
        return E_FAIL;
    static const QImage bitmap = ToolboxBitmap();
    painter->save();
    painter->setClipRect(QRect(bounds.left, bounds.top, bounds.width(), bounds.height()));
    painter->drawImage(QPoint(bounds.left + 1, bounds.top + 1), bitmap);
    painter->restore();
    return S_OK;
}

// ---- IPersistStreamInit ------------------------------------------------

HRESULT TickwellCtl::GetClassID(CLSID* clsid)
{
    if (!clsid)
        return E_POINTER;
    *clsid = CLSID_TickwellCtl;
    return S_OK;
}

HRESULT TickwellCtl::Load(IStream* stream)
{
    if (!stream)
        return E_POINTER;
    ClearEntries();
    HRESULT last = S_OK;
    auto read = [&](void* buffer, size_t size) { return SUCCEEDED(last = readExact(stream, buffer, size)); };
    StateTail tail;
    // The first entry of a key is kept and later ones are dropped, as Add
    // would refuse them: every entry stays reachable by its key.
    std::unordered_set<std::string> keys;
    StateReadResult r = readState(
        read,
        [&](std::string key, int32_t enabled, int32_t interval) {
            if (keys.insert(key).second)
                AppendLoadedEntry(std::move(key), enabled, interval);
        },
        tail);
    RecountEnabled();
    if (r.error != StateError::None) {
        if (EnabledCount() == 0 && Running())
            StopTimer();
        return FAILED(last) ? last : E_FAIL;
    }
    if (EnabledCount() > 0 && !Running())
        StartTimer();
    else if (EnabledCount() == 0 && Running())
        StopTimer();
    extent_ = SizeL{static_cast<int32_t>(tail.cx), static_cast<int32_t>(tail.cy)};
    requiresSave_ = false;
    return S_OK;
}

HRESULT TickwellCtl::Save(IStream* stream, bool)
{
    if (!stream)
        return E_POINTER;
    HRESULT h = writeI32(stream, EntryCount());
    for (const TimerEntry& e : Entries()) {
        if (FAILED(h))
            return h;
        h = writeI32(stream, static_cast<int32_t>(e.Key.size()));
        if (SUCCEEDED(h))
            h = writeExact(stream, e.Key.data(), e.Key.size());
        if (SUCCEEDED(h))
            h = writeI32(stream, e.Enabled);
        if (SUCCEEDED(h))
            h = writeI32(stream, e.Interval);
    }
    if (SUCCEEDED(h))
        h = writeI32(stream, EnabledCount());
    if (SUCCEEDED(h))
        h = writeU32(stream, StateVersion);
    if (SUCCEEDED(h))
        h = writeU32(stream, static_cast<uint32_t>(extent_.cx));
    if (SUCCEEDED(h))
        h = writeU32(stream, static_cast<uint32_t>(extent_.cy));
    return h;
}

// ---- Connection points, pages, class info ------------------------------

HRESULT TickwellCtl::FindConnectionPoint(const IID& iid, IConnectionPoint** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (iid == DIID_ITickwellCtlEvents)
        return hand(static_cast<IConnectionPoint*>(&events_), reinterpret_cast<void**>(out));
    if (iid == IID_IPropertyNotifySink)
        return hand(static_cast<IConnectionPoint*>(&propertyNotify_), reinterpret_cast<void**>(out));
    return CONNECT_E_NOCONNECTION;
}

HRESULT TickwellCtl::GetPages(std::vector<CLSID>* pages)
{
    if (!pages)
        return E_POINTER;
    *pages = {CLSID_KroTimerPropPage};
    return S_OK;
}

HRESULT TickwellCtl::GetClassInfo(const CoClassInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = &TickwellCtlClass;
    return S_OK;
}

HRESULT TickwellCtl::GetGUID(uint32_t kind, Guid* guid)
{
    if (!guid)
        return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID)
        return E_INVALIDARG;
    *guid = DIID_ITickwellCtlEvents;
    return S_OK;
}

} // namespace tickwell
