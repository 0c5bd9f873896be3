#include "ondrel/window/dialogs/dlg_gain_range.h"
#include "ondrel/window/keyboard_order.h"
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace ondrel {

namespace {

template <typename T>
T* Make(QWidget* parent, const char* name, const QString& text = {})
{
    T* widget = new T(parent);
    widget->setObjectName(name);
    if constexpr (std::is_base_of_v<QLabel, T> || std::is_base_of_v<QAbstractButton, T>)
        widget->setText(text);
    else if constexpr (std::is_base_of_v<QGroupBox, T>)
        widget->setTitle(text);
    return widget;
}

QComboBox* Combo(QWidget* parent, const char* name, const QString& accessibleName)
{
    auto* combo = Make<QComboBox>(parent, name);
    combo->setAccessibleName(accessibleName);
    return combo;
}

void FitToColumns(QTreeView& list)
{
    const QAbstractItemView& view = list; // where the column's hint is public
    int width = 2 * list.frameWidth() + list.verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < list.header()->count(); ++c)
        width += std::max(view.sizeHintForColumn(c), list.header()->sectionSizeHint(c));
    list.setMinimumWidth(width);
}

} // namespace

DlgGainRange::DlgGainRange(const GainRangeParts& parts, QWidget* owner)
    : FormDialog<IFormView>(owner), prompts_(parts.prompts), form_(*this, parts)
{
    setObjectName("dlgGainRange");
    setWindowTitle("Input Range");
    BuildControls();
    ConnectHandlers();
    form_.Form_Load();
}

void DlgGainRange::BuildControls()
{
    auto* list = Make<QTreeWidget>(this, "lstViewGain");
    list->setAccessibleName("Channels");
    list->setRootIsDecorated(false);
    list->setHeaderLabels({"Channel", "Logical Chan", "SE|Diff", "AI | Thermo", "Range|TCType", "ExpChan"});
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The list is as wide as its columns, whatever the font: every column shows
    // whole and no scroll bar runs across it. Texts change with the choices. A
    // stretched last column would keep a width of its own and reach past.
    list->header()->setStretchLastSection(false);
    const auto fit = [list] { FitToColumns(*list); };
    connect(list->model(), &QAbstractItemModel::dataChanged, list, fit);
    connect(list->model(), &QAbstractItemModel::rowsInserted, list, fit);

    auto* kind = Make<QGroupBox>(this, "FrameAIorThermo", "AI | Thermo");
    auto* kindRow = new QHBoxLayout(kind);
    kindRow->addWidget(Make<QRadioButton>(kind, "OptAI", "&AI"));
    kindRow->addWidget(Make<QRadioButton>(kind, "OptThermo", "&Thermo"));

    auto* range = Make<QGroupBox>(this, "FrameAIRange", "Input Range");
    (new QVBoxLayout(range))->addWidget(Combo(range, "ComboRange", "Input Range"));

    auto* connection = Make<QGroupBox>(this, "FrameSignalConnection", "SignalConnection");
    auto* connectionRow = new QHBoxLayout(connection);
    connectionRow->addWidget(Make<QRadioButton>(connection, "optSingle", "&Single-Ended"));
    connectionRow->addWidget(Make<QRadioButton>(connection, "optDifferent", "&Differential"));

    auto* thermo = Make<QGroupBox>(this, "FrameThermo", "Thermo Setting");
    auto* thermoGrid = new QGridLayout(thermo);
    const struct {
        const char* label;
        const char* caption;
        const char* combo;
    } rows[] = {{"Label1", "TC T&ype", "ComboTCType"},
                {"Label3", "ExpCha&n", "ComboExpChan"},
                {"Label2", "Sca&le", "ComboScale"}};
    for (int r = 0; r < 3; ++r) {
        auto* combo = Combo(thermo, rows[r].combo, QString(rows[r].caption).remove('&'));
        auto* label = Make<QLabel>(thermo, rows[r].label, rows[r].caption);
        label->setBuddy(combo);
        thermoGrid->addWidget(label, r, 0);
        thermoGrid->addWidget(combo, r, 1);
    }

    auto* exit = Make<QPushButton>(this, "OKButton", "E&xit");
    exit->setDefault(true);

    auto* side = new QVBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(kind), static_cast<QWidget*>(range), static_cast<QWidget*>(connection),
                       static_cast<QWidget*>(thermo)})
        side->addWidget(w);
    side->addStretch();
    side->addWidget(exit, 0, Qt::AlignRight);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list, 1);
    layout->addLayout(side);
    resize(760, 420);
    // The channel list, then the side column top to bottom.
    SetTabOrder(*this, {"lstViewGain", "OptAI", "OptThermo", "ComboRange", "optSingle", "optDifferent", "ComboTCType",
                        "ComboExpChan", "ComboScale", "OKButton"});
    list->setFocus();
}

void DlgGainRange::ConnectHandlers()
{
    auto guarded = [this](void (GainRangeForm::*handler)()) {
        return [this, handler] { form_controls::Guarded(prompts_, [this, handler] { (form_.*handler)(); }); };
    };
    const struct {
        const char* name;
        void (GainRangeForm::*handler)();
    } buttons[] = {{"OptAI", &GainRangeForm::OptAI_Click},
                   {"OptThermo", &GainRangeForm::OptThermo_Click},
                   {"optSingle", &GainRangeForm::optSingle_Click},
                   {"optDifferent", &GainRangeForm::optDifferent_Click},
                   {"OKButton", &GainRangeForm::OKButton_Click}};
    for (const auto& b : buttons)
        connect(findChild<QAbstractButton*>(b.name), &QAbstractButton::clicked, this, guarded(b.handler));
    const struct {
        const char* name;
        void (GainRangeForm::*handler)();
    } lists[] = {{"ComboRange", &GainRangeForm::ComboRange_Click},
                 {"ComboTCType", &GainRangeForm::ComboTCType_Click},
                 {"ComboScale", &GainRangeForm::ComboScale_Click},
                 {"ComboExpChan", &GainRangeForm::ComboExpChan_Click}};
    for (const auto& l : lists)
        connect(findChild<QComboBox*>(l.name), &QComboBox::activated, this, guarded(l.handler));

    // A row is chosen by a click, or by moving to it from the keyboard.
    auto* list = findChild<QTreeWidget*>("lstViewGain");
    auto rowClick = [this, list](QTreeWidgetItem* item) {
        if (item != nullptr)
            form_controls::Guarded(
                prompts_, [this, list, item] { form_.lstViewGain_ItemClick(list->indexOfTopLevelItem(item)); });
    };
    connect(list, &QTreeWidget::itemClicked, this, rowClick);
    connect(list, &QTreeWidget::currentItemChanged, this, [rowClick](QTreeWidgetItem* item) {
        if (QApplication::mouseButtons() == Qt::NoButton)
            rowClick(item);
    });
}

} // namespace ondrel
