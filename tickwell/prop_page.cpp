#include "tickwell/prop_page.h"

#include "tickwell/itickwell.h"
#include "tickwell/server_module.h"
#include "tickwell/tickwell_ctl.h"
#include "tickwell/typelib.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>

namespace tickwell {

using namespace kom;

namespace {

KroTimerPropPage::MessageHook messageHook = nullptr;

constexpr int DialogWidthDu = 271;
constexpr int DialogHeightDu = 148;

struct BaseUnits {
    int x;
    int y;
};

BaseUnits baseUnits(const QFont& font)
{
    QFontMetrics fm(font);
    int width = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return BaseUnits{std::max(1, (width / 26 + 1) / 2), std::max(1, fm.height())};
}

int duX(int du, const BaseUnits& b) { return (du * b.x + 2) / 4; }
int duY(int du, const BaseUnits& b) { return (du * b.y + 4) / 8; }

void place(QWidget* w, int x, int y, int cx, int cy, const BaseUnits& b, int id = 0)
{
    w->setGeometry(duX(x, b), duY(y, b), duX(cx, b), duY(cy, b));
    if (id)
        w->setProperty("dialogId", id);
}

// Group boxes frame controls without owning them (siblings, as in a dialog).
QGroupBox* frame(QWidget* parent, const char* caption, int x, int y, int cx, int cy, const BaseUnits& b)
{
    auto* g = new QGroupBox(QString::fromLatin1(caption), parent);
    place(g, x, y, cx, cy, b);
    g->lower();
    return g;
}

QLabel* label(QWidget* parent, const char* caption, int x, int y, int cx, int cy, const BaseUnits& b)
{
    auto* l = new QLabel(QString::fromLatin1(caption), parent);
    place(l, x, y, cx, cy, b);
    return l;
}

} // namespace

int32_t ParseInterval(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    int64_t v = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        v = std::min<int64_t>(v * 10 + (text[i].unicode() - u'0'), int64_t(INT32_MAX) + 1);
    if (negative)
        return static_cast<int32_t>(-v);
    return static_cast<int32_t>(std::min<int64_t>(v, INT32_MAX));
}

HRESULT KroTimerPropPage::create(const IID& iid, void** out)
{
    if (!out)
        return E_POINTER;
    auto* p = new KroTimerPropPage();
    p->AddRef();
    HRESULT h = p->QueryInterface(iid, out);
    p->Release();
    return h;
}

void KroTimerPropPage::SetMessageHook(MessageHook hook) { messageHook = hook; }

KroTimerPropPage::KroTimerPropPage()
{
    working_.reserve(TimerTable::MaxEntries);
    serverModule().objectCreated();
}

KroTimerPropPage::~KroTimerPropPage()
{
    delete dialog_;
    serverModule().objectDestroyed();
}

HRESULT KroTimerPropPage::QueryInterface(const IID& iid, void** out)
{
    if (!out)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IPropertyPage)
        return hand(static_cast<IPropertyPage*>(this), out);
    *out = nullptr;
    return E_NOINTERFACE;
}

SizeL KroTimerPropPage::DialogSize()
{
    BaseUnits b = baseUnits(QGuiApplication::font());
    return SizeL{duX(DialogWidthDu, b), duY(DialogHeightDu, b)};
}

HRESULT KroTimerPropPage::SetPageSite(IPropertyPageSite* site)
{
    if (!site) {
        site_ = nullptr;
        return S_OK;
    }
    if (site_)
        return E_UNEXPECTED;
    site_ = ComPtr<IPropertyPageSite>(site);
    return S_OK;
}

HRESULT KroTimerPropPage::Activate(QWidget* parent, const Rect* rect, bool)
{
    if (!rect)
        return E_POINTER;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return E_UNEXPECTED;
    delete dialog_;
    CreateDialog(parent);
    dialog_->setGeometry(rect->left, rect->top, rect->width(), rect->height());
    size_ = SizeL{rect->width(), rect->height()};
    // The dialog opens: take the table, fill the list, show row 0.
    TakeTable();
    FillList();
    SelectRow(0);
    ShowEntry(0);
    return S_OK;
}

HRESULT KroTimerPropPage::Deactivate()
{
    delete dialog_;
    dialog_ = nullptr;
    list_ = nullptr;
    key_ = interval_ = nullptr;
    enabled_ = nullptr;
    return S_OK;
}

HRESULT KroTimerPropPage::GetPageInfo(PageInfo* info)
{
    if (!info)
        return E_POINTER;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return E_UNEXPECTED; // the dialog cannot be laid out without fonts
    info->title = PageTitle;
    info->size = DialogSize();
    info->helpFile = PageHelpFile;
    info->docString = PageDocString;
    info->helpContext = 0;
    return S_OK;
}

HRESULT KroTimerPropPage::SetObjects(std::span<IUnknown* const> objects)
{
    objects_.clear();
    for (IUnknown* o : objects)
        objects_.emplace_back(o);
    return S_OK;
}

HRESULT KroTimerPropPage::Show(uint32_t command)
{
    if (!dialog_)
        return E_UNEXPECTED;
    dialog_->setVisible(command != SW_HIDE);
    return S_OK;
}

HRESULT KroTimerPropPage::Move(const Rect* rect)
{
    if (!dialog_)
        return E_UNEXPECTED;
    if (!rect)
        return E_POINTER;
    dialog_->setGeometry(rect->left, rect->top, rect->width(), rect->height());
    return S_OK;
}

HRESULT KroTimerPropPage::Apply()
{
    for (const auto& object : objects_) {
        auto ctl = queryAs<ITickwellCtl>(object.get(), IID_ITickwellCtl);
        if (!ctl)
            continue;
        int32_t handle = 0;
        ctl->GetObject(&handle);
        TickwellCtl* control = TickwellCtl::fromHandle(handle);
        if (!control)
            continue;
        control->ReplaceEntries(working_);
        control->RecountEnabled();
        control->SetRequiresSave(true);
        control->NotifyPropertyChanged(DISPID_Interval);
        control->NotifyPropertyChanged(DISPID_Enabled);
    }
    dirty_ = false;
    return S_OK;
}

HRESULT KroTimerPropPage::Help(std::u16string_view helpDir)
{
    QString path = QString::fromStdU16String(std::u16string(helpDir));
    if (!path.isEmpty() && !path.endsWith(u'/'))
        path += u'/';
    path += QString::fromStdU16String(PageHelpFile);
    if (QFileInfo::exists(path))
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    return S_OK;
}

HRESULT KroTimerPropPage::TranslateAccelerator(QEvent* event)
{
    if (!dialog_ || !event)
        return S_FALSE;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        QWidget* target = dialog_->focusWidget() ? dialog_->focusWidget() : dialog_;
        event->setAccepted(false);
        QCoreApplication::sendEvent(target, event);
        return event->isAccepted() ? S_OK : S_FALSE;
    }
    default:
        return S_FALSE;
    }
}

void KroTimerPropPage::CreateDialog(QWidget* parent)
{
    dialog_ = new QWidget(parent);
    dialog_->setObjectName("KroTimerPropPage");
    dialog_->setProperty("dialogId", 107);
    const BaseUnits b = baseUnits(dialog_->font());

    list_ = new QTreeWidget(dialog_);
    list_->setObjectName("lstTimers");
    place(list_, 3, 2, 162, 139, b, IDC_LIST);
    list_->setColumnCount(3);
    list_->setHeaderLabels({"Key", "Enabled", "Interval"});
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->header()->setDefaultAlignment(Qt::AlignCenter);
    list_->header()->setStretchLastSection(false);
    // Selection stays visible when the list loses focus.
    QPalette pal = list_->palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Active, QPalette::HighlightedText));
    list_->setPalette(pal);
    const int column = std::max(1, duX(DialogWidthDu, b) / 5);
    for (int c = 0; c < 3; ++c)
        list_->setColumnWidth(c, column);

    frame(dialog_, "Static", 178, 7, 86, 49, b);
    auto* add = new QPushButton("Add", dialog_);
    add->setObjectName("btnAdd");
    place(add, 191, 18, 27, 14, b, IDC_ADD);
    auto* set = new QPushButton("Set", dialog_);
    set->setObjectName("btnSet");
    place(set, 227, 18, 23, 15, b, IDC_SET);
    auto* del = new QPushButton("Delete", dialog_);
    del->setObjectName("btnDelete");
    place(del, 189, 37, 60, 13, b, IDC_DELETE);

    frame(dialog_, "Event", 177, 69, 88, 62, b);
    label(dialog_, "Key", 181, 83, 26, 9, b);
    key_ = new QLineEdit(dialog_);
    key_->setObjectName("txtKey");
    place(key_, 216, 80, 45, 13, b, IDC_KEY);
    label(dialog_, "Enabled", 179, 97, 29, 8, b);
    enabled_ = new QCheckBox(dialog_);
    enabled_->setObjectName("chkEnabled");
    place(enabled_, 218, 98, 27, 12, b, IDC_ENABLED);
    label(dialog_, "Interval", 179, 113, 30, 10, b);
    interval_ = new QLineEdit(dialog_);
    interval_->setObjectName("txtInterval");
    place(interval_, 217, 115, 43, 12, b, IDC_INTERVAL);

    QObject::connect(add, &QPushButton::clicked, dialog_, [this] { OnAdd(); });
    QObject::connect(set, &QPushButton::clicked, dialog_, [this] { OnSet(); });
    QObject::connect(del, &QPushButton::clicked, dialog_, [this] { OnDelete(); });
    // A click or keyboard move in the list shows the entry; programmatic
    // re-selection after a refill leaves the fields alone.
    QObject::connect(list_, &QTreeWidget::itemSelectionChanged, dialog_, [this] {
        if (!filling_)
            ShowEntry(SelectedRow());
    });
}

void KroTimerPropPage::TakeTable()
{
    working_.clear();
    if (objects_.empty())
        return;
    auto ctl = queryAs<ITickwellCtl>(objects_.front().get(), IID_ITickwellCtl);
    if (!ctl)
        return;
    int32_t handle = 0;
    ctl->GetObject(&handle);
    if (TickwellCtl* control = TickwellCtl::fromHandle(handle))
        working_ = control->Entries();
    if (working_.capacity() < TimerTable::MaxEntries)
        working_.reserve(TimerTable::MaxEntries);
}

void KroTimerPropPage::FillList()
{
    if (!list_)
        return;
    filling_ = true;
    list_->clear();
    for (const TimerEntry& e : working_) {
        auto* item = new QTreeWidgetItem(list_);
        item->setText(0, QString::fromStdU16String(narrowToWide(e.Key)));
        item->setText(1, e.Enabled != 0 ? QStringLiteral("Enabled") : QStringLiteral("Disabled"));
        item->setText(2, QString::number(e.Interval));
        for (int c = 0; c < 3; ++c)
            item->setTextAlignment(c, Qt::AlignCenter);
    }
    filling_ = false;
}

int KroTimerPropPage::SelectedRow() const
{
    if (!list_)
        return -1;
    const auto selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->indexOfTopLevelItem(selected.front());
}

void KroTimerPropPage::SelectRow(int row)
{
    if (!list_ || row < 0 || row >= list_->topLevelItemCount())
        return;
    filling_ = true;
    QTreeWidgetItem* item = list_->topLevelItem(row);
    list_->setCurrentItem(item); // selects it alone (single selection)
    list_->scrollToItem(item);
    filling_ = false;
}

void KroTimerPropPage::ShowEntry(int row)
{
    if (row < 0 || row >= static_cast<int>(working_.size()) || !key_)
        return;
    const TimerEntry& e = working_[static_cast<size_t>(row)];
    key_->setText(QString::fromStdU16String(narrowToWide(e.Key)));
    interval_->setText(QString::number(e.Interval));
    enabled_->setChecked(e.Enabled != 0);
}

TimerEntry KroTimerPropPage::ReadFields() const
{
    TimerEntry e;
    QString key = key_->text();
    key = key.left(key.indexOf(u'\n') < 0 ? key.size() : key.indexOf(u'\n'));
    e.Key = wideToNarrow(key.toStdU16String());
    e.Interval = ParseInterval(interval_->text());
    e.Enabled = enabled_->isChecked() ? 1 : 0;
    return e;
}

void KroTimerPropPage::OnAdd()
{
    const int selected = SelectedRow();
    TimerEntry e = ReadFields();
    for (const TimerEntry& x : working_) {
        if (x.Key == e.Key) {
            Message(QStringLiteral("Key duplicate!"));
            return;
        }
    }
    working_.push_back(std::move(e));
    FillList();
    SelectRow(selected);
    SetDirty(true);
}

void KroTimerPropPage::OnSet()
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    TimerEntry e = ReadFields();
    TimerEntry& target = working_[static_cast<size_t>(row)];
    if (e.Key != target.Key) {
        for (const TimerEntry& x : working_) {
            if (x.Key == e.Key) {
                Message(QStringLiteral("Key duplicate!"));
                return;
            }
        }
    }
    target.Key = std::move(e.Key);
    target.Interval = e.Interval;
    target.Enabled = e.Enabled;
    FillList();
    SelectRow(row);
    SetDirty(true);
}

void KroTimerPropPage::OnDelete()
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    working_.erase(working_.begin() + row);
    FillList();
    SelectRow(0);
    SetDirty(true);
}

void KroTimerPropPage::SetDirty(bool dirty)
{
    if (dirty_ == dirty)
        return;
    dirty_ = dirty;
    if (site_)
        site_->OnStatusChange(dirty ? PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE : 0);
}

void KroTimerPropPage::Message(const QString& text)
{
    if (messageHook) {
        messageHook(dialog_, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, dialog_);
    box.exec();
}

} // namespace tickwell
