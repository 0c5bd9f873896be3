#pragma once
// The property-page protocol: a frame hosts pages that edit a set of objects.
#include "kom/control.h"

#include <span>

class QWidget;
class QEvent;

namespace kom {

inline constexpr IID IID_IPropertyPage = Guid::literal("{B196B28D-BAB4-101A-B69C-00AA00341D07}");
inline constexpr IID IID_IPropertyPageSite = Guid::literal("{B196B28C-BAB4-101A-B69C-00AA00341D07}");

enum PageStatus : uint32_t {
    PROPPAGESTATUS_DIRTY = 1,
    PROPPAGESTATUS_VALIDATE = 2,
    PROPPAGESTATUS_CLEAN = 4,
};

enum ShowCommand : uint32_t { SW_HIDE = 0, SW_SHOW = 5 };

struct PageInfo {
    std::u16string title;
    SizeL size; // pixels
    std::u16string docString;
    std::u16string helpFile;
    uint32_t helpContext = 0;
};

// The frame's side of one page.
class IPropertyPageSite : public IUnknown {
public:
    virtual HRESULT OnStatusChange(uint32_t flags) = 0;
    virtual HRESULT GetLocaleID(LCID* lcid) = 0;
    virtual HRESULT GetPageContainer(IUnknown** container) = 0;
    virtual HRESULT TranslateAccelerator(QEvent* event) = 0;

protected:
    ~IPropertyPageSite() = default;
};

class IPropertyPage : public IUnknown {
public:
    virtual HRESULT SetPageSite(IPropertyPageSite* site) = 0;
    // Creates the page's widget as a child of `parent`, placed at `rect`.
    virtual HRESULT Activate(QWidget* parent, const Rect* rect, bool modal) = 0;
    virtual HRESULT Deactivate() = 0;
    virtual HRESULT GetPageInfo(PageInfo* info) = 0;
    virtual HRESULT SetObjects(std::span<IUnknown* const> objects) = 0;
    virtual HRESULT Show(uint32_t command) = 0;
    virtual HRESULT Move(const Rect* rect) = 0;
    virtual HRESULT IsPageDirty() = 0; // S_OK dirty, S_FALSE clean
    virtual HRESULT Apply() = 0;
    virtual HRESULT Help(std::u16string_view helpDir) = 0;
    virtual HRESULT TranslateAccelerator(QEvent* event) = 0;

protected:
    ~IPropertyPage() = default;
};

} // namespace kom
