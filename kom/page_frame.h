#pragma once
// A frame that hosts property pages for a set of objects: one tab per page,
// OK, Cancel and Apply. Apply is enabled while a page reports itself dirty.
#include "kom/proppage.h"

#include <QDialog>
#include <vector>

class QTabWidget;
class QPushButton;

namespace kom {

class PropertyFrame : public QDialog {
public:
    PropertyFrame(QWidget* parent, const QString& caption, std::vector<ComPtr<IUnknown>> objects);
    ~PropertyFrame() override;

    // Creates the page objects (by class identifier) and activates them.
    // Fails when no page could be created.
    HRESULT addPages(const std::vector<CLSID>& pages);
    // The pages a control names through ISpecifyPropertyPages.
    HRESULT addPagesOf(IUnknown* object);

    // Applies every dirty page; S_OK, or the first failure.
    HRESULT apply();
    size_t pageCount() const { return pages_.size(); }
    IPropertyPage* page(size_t i) const { return pages_[i].page.get(); }
    QPushButton* applyButton() const { return apply_; }
    // Status flags a page last reported to its site.
    uint32_t lastStatus(size_t i) const;

private:
    class Site;
    struct Hosted {
        ComPtr<IPropertyPage> page;
        ComPtr<Site> site;
        QWidget* holder = nullptr;
    };
    HRESULT addPage(ComPtr<IPropertyPage> page);
    void onStatusChange(Site* site, uint32_t flags);
    void updateApply();

    std::vector<ComPtr<IUnknown>> objects_;
    std::vector<Hosted> pages_;
    QTabWidget* tabs_ = nullptr;
    QPushButton* apply_ = nullptr;
};

} // namespace kom
