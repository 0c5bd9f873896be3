#pragma once
// KroTimerPropPage: the design-time page that edits a TickwellCtl's table on
// a working copy and hands it over on Apply.
#include "kom/proppage.h"
#include "tickwell/timer_table.h"

#include <QString>
#include <vector>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QWidget;

namespace tickwell {

class TickwellCtl;

// Control identifiers of dialog 107 (each widget also carries the number in
// its "dialogId" property).
enum PageControlId {
    IDC_LIST = 201,
    IDC_ADD = 202,
    IDC_SET = 203,
    IDC_DELETE = 204,
    IDC_KEY = 205,
    IDC_INTERVAL = 207,
    IDC_ENABLED = 209,
};

class KroTimerPropPage final : public kom::IPropertyPage {
public:
    static kom::HRESULT create(const kom::IID& iid, void** out);

    // Shows the page's message boxes ("Key duplicate!"); replaceable so that
    // tests can answer them. nullptr restores the real message box.
    using MessageHook = void (*)(QWidget* parent, const QString& text);
    static void SetMessageHook(MessageHook hook);

    // Dialog 107 in pixels for the current default font.
    static kom::SizeL DialogSize();

    kom::HRESULT QueryInterface(const kom::IID& iid, void** out) override;
    KOM_REFCOUNTED
    kom::HRESULT SetPageSite(kom::IPropertyPageSite* site) override;
    kom::HRESULT Activate(QWidget* parent, const kom::Rect* rect, bool modal) override;
    kom::HRESULT Deactivate() override;
    kom::HRESULT GetPageInfo(kom::PageInfo* info) override;
    kom::HRESULT SetObjects(std::span<kom::IUnknown* const> objects) override;
    kom::HRESULT Show(uint32_t command) override;
    kom::HRESULT Move(const kom::Rect* rect) override;
    kom::HRESULT IsPageDirty() override { return dirty_ ? kom::S_OK : kom::S_FALSE; }
    kom::HRESULT Apply() override;
    kom::HRESULT Help(std::u16string_view helpDir) override;
    kom::HRESULT TranslateAccelerator(QEvent* event) override;

    // For tests and the frame.
    QWidget* dialog() const { return dialog_; }
    const std::vector<TimerEntry>& WorkingList() const { return working_; }

private:
    KroTimerPropPage();
    ~KroTimerPropPage();
    void CreateDialog(QWidget* parent);
    void TakeTable();
    void FillList();
    int SelectedRow() const;
    void SelectRow(int row);
    void ShowEntry(int row);
    TimerEntry ReadFields() const;
    void OnAdd();
    void OnSet();
    void OnDelete();
    void SetDirty(bool dirty);
    void Message(const QString& text);

    kom::ComPtr<kom::IPropertyPageSite> site_;
    std::vector<kom::ComPtr<kom::IUnknown>> objects_;
    std::vector<TimerEntry> working_;
    bool dirty_ = false;
    kom::SizeL size_;
    QWidget* dialog_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QLineEdit* key_ = nullptr;
    QLineEdit* interval_ = nullptr;
    QCheckBox* enabled_ = nullptr;
    bool filling_ = false;
};

// Reads an interval as typed: leading blanks, an optional sign, then digits;
// no digits gives 0, a value beyond 32 bits saturates.
int32_t ParseInterval(const QString& text);

} // namespace tickwell
