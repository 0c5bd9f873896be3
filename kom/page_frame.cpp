#include "kom/page_frame.h"

#include "kom/module.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kom {

// The frame's site for one page.
class PropertyFrame::Site final : public IPropertyPageSite {
public:
    explicit Site(PropertyFrame* frame) : frame_(frame) {}
    HRESULT QueryInterface(const IID& iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IPropertyPageSite)
            return hand(static_cast<IPropertyPageSite*>(this), out);
        *out = nullptr;
        return E_NOINTERFACE;
    }
    KOM_REFCOUNTED
    HRESULT OnStatusChange(uint32_t flags) override
    {
        status = flags;
        if (frame_)
            frame_->onStatusChange(this, flags);
        return S_OK;
    }
    HRESULT GetLocaleID(LCID* lcid) override
    {
        if (!lcid)
            return E_POINTER;
        *lcid = 0x409;
        return S_OK;
    }
    HRESULT GetPageContainer(IUnknown** container) override
    {
        if (container)
            *container = nullptr;
        return E_NOTIMPL;
    }
    HRESULT TranslateAccelerator(QEvent*) override { return S_FALSE; }

    void detach() { frame_ = nullptr; }
    uint32_t status = 0;

private:
    ~Site() = default;
    PropertyFrame* frame_;
};

PropertyFrame::PropertyFrame(QWidget* parent, const QString& caption, std::vector<ComPtr<IUnknown>> objects)
    : QDialog(parent), objects_(std::move(objects))
{
    setWindowTitle(caption);
    setObjectName("PropertyFrame");
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    layout->addWidget(tabs_);
    auto* buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    layout->addWidget(buttons);
    apply_ = buttons->button(QDialogButtonBox::Apply);
    apply_->setEnabled(false);
    connect(apply_, &QPushButton::clicked, this, [this] { apply(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (SUCCEEDED(apply()))
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

PropertyFrame::~PropertyFrame()
{
    for (Hosted& h : pages_) {
        h.page->Deactivate();
        h.page->SetObjects({});
        h.page->SetPageSite(nullptr);
        h.site->detach();
    }
    pages_.clear();
}

HRESULT PropertyFrame::addPage(ComPtr<IPropertyPage> page)
{
    Hosted h;
    h.page = std::move(page);
    h.site = makeObject<Site>(this);
    HRESULT r = h.page->SetPageSite(h.site.get());
    if (FAILED(r))
        return r;
    std::vector<IUnknown*> raw;
    for (const auto& o : objects_)
        raw.push_back(o.get());
    r = h.page->SetObjects(raw);
    if (FAILED(r))
        return r;
    PageInfo info;
    r = h.page->GetPageInfo(&info);
    if (FAILED(r))
        return r;
    h.holder = new QWidget(tabs_);
    h.holder->setMinimumSize(info.size.cx, info.size.cy);
    Rect rect{0, 0, info.size.cx, info.size.cy};
    r = h.page->Activate(h.holder, &rect, true);
    if (FAILED(r)) {
        delete h.holder;
        return r;
    }
    h.page->Show(SW_SHOW);
    tabs_->addTab(h.holder, QString::fromStdU16String(info.title));
    pages_.push_back(std::move(h));
    return S_OK;
}

HRESULT PropertyFrame::addPages(const std::vector<CLSID>& pages)
{
    HRESULT first = S_OK;
    size_t added = 0;
    for (const CLSID& clsid : pages) {
        ComPtr<IPropertyPage> page;
        HRESULT r = createInstance(clsid, nullptr, IID_IPropertyPage, page.putVoid());
        if (SUCCEEDED(r) && page)
            r = addPage(std::move(page));
        if (SUCCEEDED(r))
            ++added;
        else if (SUCCEEDED(first))
            first = FAILED(r) ? r : E_FAIL;
    }
    return added > 0 ? S_OK : (FAILED(first) ? first : E_FAIL);
}

HRESULT PropertyFrame::addPagesOf(IUnknown* object)
{
    auto specify = queryAs<ISpecifyPropertyPages>(object, IID_ISpecifyPropertyPages);
    if (!specify)
        return E_NOINTERFACE;
    std::vector<CLSID> pages;
    HRESULT r = specify->GetPages(&pages);
    if (FAILED(r))
        return r;
    return addPages(pages);
}

HRESULT PropertyFrame::apply()
{
    for (Hosted& h : pages_) {
        if (h.page->IsPageDirty() != S_OK)
            continue;
        HRESULT r = h.page->Apply();
        if (FAILED(r))
            return r;
    }
    updateApply();
    return S_OK;
}

uint32_t PropertyFrame::lastStatus(size_t i) const { return pages_[i].site->status; }

void PropertyFrame::onStatusChange(Site*, uint32_t) { updateApply(); }

void PropertyFrame::updateApply()
{
    bool dirty = false;
    for (Hosted& h : pages_)
        dirty = dirty || h.page->IsPageDirty() == S_OK;
    apply_->setEnabled(dirty);
}

} // namespace kom
