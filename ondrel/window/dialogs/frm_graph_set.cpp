#include "ondrel/window/dialogs/frm_graph_set.h"
#include "ondrel/window/keyboard_order.h"
#include "ondrel/window/named.h"
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace ondrel {

namespace {

QColor ColorOf(ColorRef ref)
{
    return QColor(static_cast<int>(ref & 0xFF), static_cast<int>((ref >> 8) & 0xFF),
                  static_cast<int>((ref >> 16) & 0xFF));
}

AxisBoxes& BoxesOf(GraphSettings& logic, AxisBox box)
{
    return box == AxisBox::XMin || box == AxisBox::XMax ? logic.X() : logic.Y();
}

} // namespace

FrmGraphSet::FrmGraphSet(const GraphSettingsParts& parts, QWidget* owner) : QDialog(owner), logic_(parts)
{
    setObjectName("frmGraphSet");
    setWindowTitle("Graph Setting");

    auto* framePlots = Named(new QGroupBox("Plots", this), "framePlots");
    lstPlots_ = Named(new QListWidget(framePlots), "lstPlots");
    lstPlots_->setAccessibleName("Plots");
    auto* label7 = Named(new QLabel("LineColor", framePlots), "Label7");
    btnColor_ = Named(new QPushButton(framePlots), "BtnColor");
    btnColor_->setAccessibleName("Line colour");
    label7->setBuddy(btnColor_);
    auto* label6 = Named(new QLabel("LineStyle", framePlots), "Label6");
    cmbLineStyle_ = Named(new QComboBox(framePlots), "CmbLineStyle");
    label6->setBuddy(cmbLineStyle_);
    auto* plotsLayout = new QGridLayout(framePlots);
    plotsLayout->addWidget(lstPlots_, 0, 0, 1, 2);
    plotsLayout->addWidget(label7, 1, 0);
    plotsLayout->addWidget(btnColor_, 1, 1);
    plotsLayout->addWidget(label6, 2, 0);
    plotsLayout->addWidget(cmbLineStyle_, 2, 1);

    auto* frameAxes = Named(new QGroupBox("Axes", this), "frameAxes");
    auto* frame1 = Named(new QGroupBox("X", frameAxes), "Frame1");
    frame1->setAccessibleName("X");
    chkXAutoS_ = Named(new QCheckBox("AutoScale", frame1), "chkXAutoS");
    chkXAutoS_->setAccessibleName("X AutoScale");
    txtXMin_ = BoxFor("txtXMin", AxisBox::XMin);
    txtXMin_->setAccessibleName("X minimum");
    txtXMax_ = BoxFor("txtXMax", AxisBox::XMax);
    txtXMax_->setAccessibleName("X maximum");
    txtXMax_->setToolTip("input the range you want");
    auto* xLayout = new QGridLayout(frame1);
    xLayout->addWidget(chkXAutoS_, 0, 0, 1, 3);
    xLayout->addWidget(Named(new QLabel("Min:", frame1), "Label3"), 1, 0);
    xLayout->addWidget(txtXMin_, 1, 1);
    xLayout->addWidget(Named(new QLabel("s", frame1), "Label8"), 1, 2);
    xLayout->addWidget(Named(new QLabel("Max:", frame1), "Label2"), 2, 0);
    xLayout->addWidget(txtXMax_, 2, 1);
    xLayout->addWidget(Named(new QLabel("s", frame1), "Label9"), 2, 2);

    auto* frame2 = Named(new QGroupBox("Y", frameAxes), "Frame2");
    frame2->setAccessibleName("Y");
    chkYAutoS_ = Named(new QCheckBox("AutoScale", frame2), "chkYAutoS");
    chkYAutoS_->setAccessibleName("Y AutoScale");
    txtYMin_ = BoxFor("txtYMin", AxisBox::YMin);
    txtYMin_->setAccessibleName("Y minimum");
    txtYMax_ = BoxFor("txtYMax", AxisBox::YMax);
    txtYMax_->setAccessibleName("Y maximum");
    auto* yLayout = new QGridLayout(frame2);
    yLayout->addWidget(chkYAutoS_, 0, 0, 1, 2);
    yLayout->addWidget(Named(new QLabel("Min:", frame2), "Label4"), 1, 0);
    yLayout->addWidget(txtYMin_, 1, 1);
    yLayout->addWidget(Named(new QLabel("Max:", frame2), "Label5"), 2, 0);
    yLayout->addWidget(txtYMax_, 2, 1);
    auto* axesLayout = new QHBoxLayout(frameAxes);
    axesLayout->addWidget(frame1);
    axesLayout->addWidget(frame2);

    auto* btnApply = Named(new QPushButton("OK", this), "BtnApply");
    btnApply->setDefault(true);
    auto* btnCancel = Named(new QPushButton("Cancel", this), "BtnCancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnApply);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(framePlots);
    layout->addWidget(frameAxes);
    layout->addLayout(buttons);
    SetTabOrder(*this, {"lstPlots", "BtnColor", "CmbLineStyle", "chkXAutoS", "txtXMin", "txtXMax", "chkYAutoS",
                        "txtYMin", "txtYMax", "BtnApply", "BtnCancel"});
    lstPlots_->setFocus();

    logic_.Form_Load();
    for (const std::string& name : logic_.PlotNames())
        lstPlots_->addItem(QString::fromStdString(name));
    cmbLineStyle_->addItems({"Solid", "Dash", "Dot", "DashDot", "DashDotDot"});
    cmbLineStyle_->setCurrentIndex(-1);
    Show();

    connect(lstPlots_, &QListWidget::currentRowChanged, this, [this](int row) {
        logic_.lstPlots_Click(row);
        Show();
    });
    connect(cmbLineStyle_, &QComboBox::activated, this, [this](int item) {
        logic_.CmbLineStyle_Click(item);
        Show();
    });
    connect(btnColor_, &QPushButton::clicked, this, [this] {
        logic_.BtnColor_Click();
        Show();
    });
    connect(chkXAutoS_, &QCheckBox::clicked, this, [this](bool checked) {
        logic_.chkXAutoS_Click(checked);
        Show();
    });
    connect(chkYAutoS_, &QCheckBox::clicked, this, [this](bool checked) {
        logic_.chkYAutoS_Click(checked);
        Show();
    });
    connect(btnApply, &QPushButton::clicked, this, [this] { BtnApply_Click(); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QLineEdit* FrmGraphSet::BoxFor(const char* name, ondrel::AxisBox box)
{
    auto* edit = Named(new QLineEdit(this), name);
    // Wide enough for an axis limit as the chart gives it ("-8.79984741210938"),
    // in the font the screen's scale gives.
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
    const int lineEditMargins = 4;
    const QSize text(edit->fontMetrics().horizontalAdvance(QStringLiteral("-8.88888888888888")) + lineEditMargins,
                     edit->fontMetrics().height());
    edit->setMinimumWidth(style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, edit).width());
    boxes_.insert(edit, box);
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this, [this, box](const QString& text) {
        AxisBoxes& axis = BoxesOf(logic_, box);
        (box == AxisBox::XMin || box == AxisBox::YMin ? axis.min : axis.max) = text.toStdString();
    });
    return edit;
}

// A box that loses the focus is checked against the other box of its axis.
bool FrmGraphSet::eventFilter(QObject* watched, QEvent* event)
{
    // Only a move to another control counts; a message box or a menu taking
    // the window's focus does not.
    const auto* focus = event->type() == QEvent::FocusOut ? static_cast<QFocusEvent*>(event) : nullptr;
    if (focus != nullptr && focus->reason() != Qt::ActiveWindowFocusReason && focus->reason() != Qt::PopupFocusReason
        && boxes_.contains(watched)) {
        logic_.LostFocus(boxes_.value(watched));
        Show();
    }
    return QDialog::eventFilter(watched, event);
}

void FrmGraphSet::Show()
{
    if (const auto row = logic_.SelectedRow(); row && lstPlots_->currentRow() != *row) {
        const QSignalBlocker quiet(lstPlots_);
        lstPlots_->setCurrentRow(*row);
    }
    if (const auto color = logic_.ShownColor()) {
        btnColor_->setStyleSheet(QStringLiteral("background-color: %1").arg(ColorOf(*color).name()));
        btnColor_->setAccessibleDescription(ColorOf(*color).name());
    }
    if (const auto style = logic_.ShownLineStyle())
        cmbLineStyle_->setCurrentIndex(*style);
    ShowAxis(logic_.X(), chkXAutoS_, txtXMin_, txtXMax_);
    ShowAxis(logic_.Y(), chkYAutoS_, txtYMin_, txtYMax_);
}

void FrmGraphSet::ShowAxis(const AxisBoxes& axis, QCheckBox* check, QLineEdit* min, QLineEdit* max)
{
    check->setChecked(axis.autoScale);
    for (auto [edit, text, enabled] :
         {std::tuple{min, &axis.min, axis.minEnabled}, std::tuple{max, &axis.max, axis.maxEnabled}}) {
        if (edit->text().toStdString() != *text)
            edit->setText(QString::fromStdString(*text));
        edit->setEnabled(enabled);
    }
}

void FrmGraphSet::BtnApply_Click()
{
    if (logic_.BtnApply_Click())
        accept();
    else
        Show();
}

} // namespace ondrel
