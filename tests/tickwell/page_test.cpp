// The property page against a live control, driven through its widgets.
#include "kom/client.h"
#include "kom/page_frame.h"
#include "support.h"
#include "tickwell/prop_page.h"
#include "tickwell/tickwell_ctl.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace kom;
using namespace tickwell;

namespace {

std::vector<QString> messages;
void record(QWidget*, const QString& text) { messages.push_back(text); }

class Site final : public IPropertyPageSite {
public:
    HRESULT QueryInterface(const IID& iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_IPropertyPageSite)
            return hand(static_cast<IPropertyPageSite*>(this), out);
        *out = nullptr;
        return E_NOINTERFACE;
    }
    KOM_REFCOUNTED
    HRESULT OnStatusChange(uint32_t flags) override
    {
        statuses.push_back(flags);
        return S_OK;
    }
    HRESULT GetLocaleID(LCID*) override { return E_NOTIMPL; }
    HRESULT GetPageContainer(IUnknown**) override { return E_NOTIMPL; }
    HRESULT TranslateAccelerator(QEvent*) override { return S_FALSE; }
    std::vector<uint32_t> statuses;
};

class Notify final : public IPropertyNotifySink {
public:
    HRESULT QueryInterface(const IID& iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_IPropertyNotifySink)
            return hand(static_cast<IPropertyNotifySink*>(this), out);
        *out = nullptr;
        return E_NOINTERFACE;
    }
    KOM_REFCOUNTED
    HRESULT OnChanged(DISPID id) override
    {
        changed.push_back(id);
        return S_OK;
    }
    HRESULT OnRequestEdit(DISPID) override { return S_OK; }
    std::vector<DISPID> changed;
};

class PageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        messages.clear();
        KroTimerPropPage::SetMessageHook(&record);
        ASSERT_EQ(TickwellCtl::create(IID_ITickwellCtl, ctl.putVoid()), S_OK);
        int32_t h = 0;
        ctl->GetObject(&h);
        control = TickwellCtl::fromHandle(h);
        ASSERT_EQ(KroTimerPropPage::create(IID_IPropertyPage, page.putVoid()), S_OK);
        site = makeObject<Site>();
        ASSERT_EQ(page->SetPageSite(site.get()), S_OK);
        IUnknown* objects[] = {ctl.get()};
        ASSERT_EQ(page->SetObjects(objects), S_OK);
        parent = std::make_unique<QWidget>();
        Rect r{0, 0, 500, 300};
        ASSERT_EQ(page->Activate(parent.get(), &r, true), S_OK);
        auto* impl = static_cast<KroTimerPropPage*>(page.get());
        dialog = impl->dialog();
        list = dialog->findChild<QTreeWidget*>("lstTimers");
        key = dialog->findChild<QLineEdit*>("txtKey");
        interval = dialog->findChild<QLineEdit*>("txtInterval");
        enabled = dialog->findChild<QCheckBox*>("chkEnabled");
        ASSERT_TRUE(list && key && interval && enabled);
    }
    void TearDown() override
    {
        page->Deactivate();
        page->SetObjects({});
        page->SetPageSite(nullptr);
        KroTimerPropPage::SetMessageHook(nullptr);
    }
    QPushButton* button(const char* name) { return dialog->findChild<QPushButton*>(name); }
    // What a click on a row does to a single-selection list.
    void clickRow(int row) { list->setCurrentItem(list->topLevelItem(row)); }
    QString cell(int row, int col) { return list->topLevelItem(row)->text(col); }
    int selectedRow()
    {
        auto s = list->selectedItems();
        return s.isEmpty() ? -1 : list->indexOfTopLevelItem(s.front());
    }
    void fields(const QString& k, const QString& iv, bool on)
    {
        key->setText(k);
        interval->setText(iv);
        enabled->setChecked(on);
    }

    ComPtr<ITickwellCtl> ctl;
    TickwellCtl* control = nullptr;
    ComPtr<IPropertyPage> page;
    ComPtr<Site> site;
    std::unique_ptr<QWidget> parent;
    QWidget* dialog = nullptr;
    QTreeWidget* list = nullptr;
    QLineEdit* key = nullptr;
    QLineEdit* interval = nullptr;
    QCheckBox* enabled = nullptr;
};

} // namespace

TEST_F(PageTest, OpensOnAFreshControlWithItsTenRows)
{
    ASSERT_EQ(list->topLevelItemCount(), 10);
    EXPECT_EQ(list->headerItem()->text(0), "Key");
    EXPECT_EQ(list->headerItem()->text(1), "Enabled");
    EXPECT_EQ(list->headerItem()->text(2), "Interval");
    EXPECT_EQ(cell(0, 0), "timer 0");
    EXPECT_EQ(cell(0, 1), "Enabled");
    EXPECT_EQ(cell(0, 2), "1000");
    EXPECT_EQ(cell(9, 0), "timer 9");
    EXPECT_EQ(cell(9, 1), "Disabled");
    EXPECT_EQ(selectedRow(), 0);
    EXPECT_EQ(key->text(), "timer 0");
    EXPECT_EQ(interval->text(), "1000");
    EXPECT_TRUE(enabled->isChecked());
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    EXPECT_EQ(list->property("dialogId").toInt(), IDC_LIST);
    EXPECT_EQ(button("btnAdd")->text(), "Add");
    EXPECT_EQ(button("btnSet")->text(), "Set");
    EXPECT_EQ(button("btnDelete")->text(), "Delete");
}

TEST_F(PageTest, ClickingARowShowsItsEntry)
{
    clickRow(4);
    EXPECT_EQ(key->text(), "timer 4");
    EXPECT_FALSE(enabled->isChecked());
}

TEST_F(PageTest, AddRefusesADuplicateKey)
{
    fields("timer 3", "5", true);
    button("btnAdd")->click();
    EXPECT_EQ(messages, std::vector<QString>{"Key duplicate!"});
    EXPECT_EQ(list->topLevelItemCount(), 10);
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    EXPECT_TRUE(site->statuses.empty());
}

TEST_F(PageTest, AddAppendsKeepsTheSelectionAndMarksDirtyOnce)
{
    clickRow(2);
    fields("SoftPoolTimer", "100", true);
    button("btnAdd")->click();
    ASSERT_EQ(list->topLevelItemCount(), 11);
    EXPECT_EQ(cell(10, 0), "SoftPoolTimer");
    EXPECT_EQ(cell(10, 1), "Enabled");
    EXPECT_EQ(cell(10, 2), "100");
    EXPECT_EQ(selectedRow(), 2);
    EXPECT_EQ(page->IsPageDirty(), S_OK);
    fields("HistoryTimer", "7", false);
    button("btnAdd")->click();
    EXPECT_EQ(site->statuses, std::vector<uint32_t>{PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE});
    EXPECT_EQ(static_cast<KroTimerPropPage*>(page.get())->WorkingList().back().Enabled, 0);
}

TEST_F(PageTest, SetChangesTheSelectedRowButRefusesAnotherRowsKey)
{
    clickRow(1);
    fields("timer 1", "250", true);
    button("btnSet")->click();
    EXPECT_EQ(cell(1, 2), "250");
    EXPECT_EQ(cell(1, 1), "Enabled");
    EXPECT_EQ(selectedRow(), 1);
    EXPECT_TRUE(messages.empty());
    fields("timer 2", "1", false);
    button("btnSet")->click();
    EXPECT_EQ(messages, std::vector<QString>{"Key duplicate!"});
    EXPECT_EQ(cell(1, 0), "timer 1");
    EXPECT_EQ(cell(1, 2), "250");
}

TEST_F(PageTest, SetAndDeleteWithoutASelectionDoNothing)
{
    list->clearSelection();
    fields("zzz", "1", true);
    button("btnSet")->click();
    button("btnDelete")->click();
    EXPECT_EQ(list->topLevelItemCount(), 10);
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
}

TEST_F(PageTest, DeleteRemovesTheRowAndSelectsTheFirst)
{
    clickRow(3);
    button("btnDelete")->click();
    ASSERT_EQ(list->topLevelItemCount(), 9);
    EXPECT_EQ(cell(3, 0), "timer 4");
    EXPECT_EQ(selectedRow(), 0);
    EXPECT_EQ(page->IsPageDirty(), S_OK);
}

TEST_F(PageTest, IntervalFieldTakesLeadingDigits)
{
    EXPECT_EQ(ParseInterval("abc"), 0);
    EXPECT_EQ(ParseInterval("42ms"), 42);
    EXPECT_EQ(ParseInterval("  -7"), -7);
    EXPECT_EQ(ParseInterval(""), 0);
    EXPECT_EQ(ParseInterval("99999999999"), INT32_MAX);
    fields("letters", "abc", false);
    button("btnAdd")->click();
    EXPECT_EQ(cell(10, 2), "0");
}

TEST_F(PageTest, ApplyHandsTheListToTheControl)
{
    auto notify = makeObject<Notify>();
    Connection c;
    ASSERT_EQ(advise(ctl.get(), IID_IPropertyNotifySink, notify.get(), c), S_OK);
    clickRow(0);
    button("btnDelete")->click();
    fields("SoftPoolTimer", "100", true);
    button("btnAdd")->click();
    ASSERT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    EXPECT_EQ(site->statuses.size(), 1u); // becoming clean on Apply is not reported
    Dispatch d(ComPtr<IDispatch>(ctl.get()));
    Variant v;
    d.get(tickwell::DISPID_Count, v);
    EXPECT_EQ(v.int32Or(-1), list->topLevelItemCount());
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        d.get(tickwell::DISPID_exist, {Variant(cell(i, 0).toStdU16String())}, v);
        EXPECT_EQ(v.int32Or(0), 1) << i;
    }
    EXPECT_EQ(control->EnabledCount(), 1); // only the new entry
    EXPECT_EQ(control->IsDirty(), S_OK);
    EXPECT_EQ(notify->changed, (std::vector<DISPID>{1, 2}));
    EXPECT_FALSE(control->Running()); // Apply starts nothing
}

TEST_F(PageTest, PageProtocolEdges)
{
    auto other = makeObject<Site>();
    EXPECT_EQ(page->SetPageSite(other.get()), E_UNEXPECTED);
    PageInfo info;
    ASSERT_EQ(page->GetPageInfo(&info), S_OK);
    EXPECT_EQ(info.title, u"KroTimer Property Page");
    EXPECT_EQ(info.helpFile, u"Help File Name");
    EXPECT_EQ(info.docString, u"Your Help String");
    EXPECT_EQ(info.helpContext, 0u);
    EXPECT_GT(info.size.cx, info.size.cy);
    EXPECT_EQ(page->Move(nullptr), E_POINTER);
    page->Deactivate();
    Rect r{0, 0, 10, 10};
    EXPECT_EQ(page->Move(&r), E_UNEXPECTED);
    EXPECT_EQ(page->Show(SW_SHOW), E_UNEXPECTED);
    EXPECT_EQ(page->Activate(parent.get(), nullptr, true), E_POINTER);
}
