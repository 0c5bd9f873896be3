#pragma once
// What a host and a control say to each other beyond late binding: the client
// site with its ambient properties, size, verbs, drawing, property pages and
// class information.
#include "kom/dispatch.h"

#include <vector>

class QPainter;

namespace kom {

inline constexpr IID IID_IOleClientSite = Guid::literal("{00000118-0000-0000-C000-000000000046}");
inline constexpr IID IID_IOleObject = Guid::literal("{00000112-0000-0000-C000-000000000046}");
inline constexpr IID IID_IOleControl = Guid::literal("{B196B288-BAB4-101A-B69C-00AA00341D07}");
inline constexpr IID IID_IViewObject = Guid::literal("{0000010D-0000-0000-C000-000000000046}");
inline constexpr IID IID_ISpecifyPropertyPages = Guid::literal("{B196B28B-BAB4-101A-B69C-00AA00341D07}");
inline constexpr IID IID_IProvideClassInfo = Guid::literal("{B196B283-BAB4-101A-B69C-00AA00341D07}");
inline constexpr IID IID_IProvideClassInfo2 = Guid::literal("{A6BC3AC0-DBAA-11CE-9DE3-00AA004BB851}");

// Ambient properties, read through the site's IDispatch.
inline constexpr DISPID DISPID_AMBIENT_USERMODE = -709;

inline constexpr uint32_t DVASPECT_CONTENT = 1;
inline constexpr uint32_t OLEVERBATTRIB_ONCONTAINERMENU = 2;
inline constexpr uint32_t GUIDKIND_DEFAULT_SOURCE_DISP_IID = 1;

struct SizeL {
    int32_t cx = 0;
    int32_t cy = 0;
    friend bool operator==(const SizeL&, const SizeL&) = default;
};

struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
};

struct OleVerb {
    int32_t verb = 0;
    std::u16string name;
    uint32_t flags = 0;
    uint32_t attribs = 0;
};

// The container's side of an embedded control. Ambient properties come from
// QueryInterface(IID_IDispatch) on the site.
class IOleClientSite : public IUnknown {
public:
    virtual HRESULT SaveObject() = 0;

protected:
    ~IOleClientSite() = default;
};

class IOleObject : public IUnknown {
public:
    virtual HRESULT SetClientSite(IOleClientSite* site) = 0;
    virtual HRESULT GetClientSite(IOleClientSite** site) = 0;
    virtual HRESULT SetExtent(uint32_t aspect, const SizeL* size) = 0; // HIMETRIC
    virtual HRESULT GetExtent(uint32_t aspect, SizeL* size) = 0;
    virtual HRESULT GetUserClassID(CLSID* clsid) = 0;
    virtual HRESULT EnumVerbs(std::vector<OleVerb>* verbs) = 0;
    virtual HRESULT Close() = 0;

protected:
    ~IOleObject() = default;
};

class IOleControl : public IUnknown {
public:
    virtual HRESULT OnAmbientPropertyChange(DISPID id) = 0;

protected:
    ~IOleControl() = default;
};

class IViewObject : public IUnknown {
public:
    virtual HRESULT Draw(uint32_t aspect, QPainter* painter, const Rect& bounds) = 0;

protected:
    ~IViewObject() = default;
};

class ISpecifyPropertyPages : public IUnknown {
public:
    virtual HRESULT GetPages(std::vector<CLSID>* pages) = 0;

protected:
    ~ISpecifyPropertyPages() = default;
};

class IProvideClassInfo : public IUnknown {
public:
    virtual HRESULT GetClassInfo(const CoClassInfo** info) = 0; // static, not counted

protected:
    ~IProvideClassInfo() = default;
};

class IProvideClassInfo2 : public IProvideClassInfo {
public:
    virtual HRESULT GetGUID(uint32_t kind, Guid* guid) = 0;

protected:
    ~IProvideClassInfo2() = default;
};

// A ready-made client site: answers the ambient UserMode (true = run mode,
// false = a form designer) and nothing else.
class ClientSite final : public IOleClientSite, public IDispatch {
public:
    explicit ClientSite(bool userMode) : userMode_(userMode) {}

    HRESULT QueryInterface(const IID& iid, void** out) override;
    KOM_REFCOUNTED
    HRESULT SaveObject() override { return S_OK; }
    HRESULT GetTypeInfo(const InterfaceInfo** info) override;
    HRESULT GetIDsOfNames(std::u16string_view name, DISPID* id) override;
    HRESULT Invoke(DISPID id, uint16_t kind, const DispParams& params, Variant* result) override;

    bool userMode() const { return userMode_; }
    void setUserMode(bool on) { userMode_ = on; }

private:
    ~ClientSite() = default;
    bool userMode_;
};

// Reads the ambient UserMode from a site: S_OK with the value, or a failure
// when the site is missing or does not answer.
HRESULT ambientUserMode(IOleClientSite* site, bool& userMode);

// HIMETRIC (0.01 mm) for a pixel count at a given pixels-per-inch, rounded to
// nearest (halves away from zero) after the multiplication.
int32_t pixelsToHimetric(int32_t pixels, int32_t dpi);

} // namespace kom
