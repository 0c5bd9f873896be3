#include "ondrel/window/dialogs/frm_setting.h"
#include "ondrel/window/dialogs/dlg_gain_range.h"
#include "ondrel/window/keyboard_order.h"
#include "ondrel/window/named.h"
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace ondrel {

namespace {

std::string Element(const char* name, int index) { return std::string(name) + "_" + std::to_string(index); }

template <typename T>
T* Make(QWidget* parent, const std::string& name, const QString& text = {})
{
    T* widget = new T(parent);
    widget->setObjectName(QString::fromStdString(name));
    if constexpr (std::is_base_of_v<QLabel, T> || std::is_base_of_v<QAbstractButton, T>)
        widget->setText(text);
    else if constexpr (std::is_base_of_v<QGroupBox, T>)
        widget->setTitle(text);
    return widget;
}

// A caption label that gives its box the focus through its mnemonic and names
// it for assistive technology.
QLabel* Caption(QWidget* parent, const std::string& name, const QString& text, QWidget* box)
{
    auto* label = Make<QLabel>(parent, name, text);
    label->setBuddy(box);
    box->setAccessibleName(QString(text).remove('&'));
    return label;
}

} // namespace

FrmSetting::FrmSetting(const SettingsFormParts& parts, IKroThermo& thermo, QWidget* owner)
    : FormDialog<ISettingsFormView>(owner), parts_(parts), thermo_(thermo), form_(*this, parts)
{
    setObjectName("frmSetting");
    setWindowTitle("Ondrel device setting");
    auto* tabs = Make<QTabWidget>(this, "SSTab1");
    tabs->addTab(BuildFastTab(), "Fast AI");
    tabs->addTab(BuildPolledTab(), "SoftAI and/or DI");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    // Enter confirms the tab on show, after the same checks as leaving a box.
    connect(tabs, &QTabWidget::currentChanged, this,
            [this](int tab) { findChild<QPushButton*>(tab == 0 ? "cmdFAIOK" : "cmdDIOK")->setDefault(true); });
    // Each tab reads down its left column, then its right one, then Interval and OK.
    SetTabOrder(*this, {"cmdAISelectDevice_0",
                        "txtAIScanStart_0",
                        "txtAIScanNumber_0",
                        "cmdRange_0",
                        "txtCount",
                        "txtSampleRate",
                        "cmbDataReturnType",
                        "cmbPacerSource",
                        "chkCylic",
                        "cmbTriggerMode",
                        "cmbTriggerEdge",
                        "cmbTriggerSource",
                        "txtTriggerDelayTime",
                        "txtTriggerAfterTimeinAboveMode",
                        "txtTriggerVoltage",
                        "cmdFAIOK",
                        "cmdAISelectDevice_1",
                        "txtAIScanStart_1",
                        "txtAIScanNumber_1",
                        "cmdRange_1",
                        "DISelectDevice",
                        "ComboDIPort",
                        "CheckDIChannel_0",
                        "CheckDIChannel_1",
                        "CheckDIChannel_2",
                        "CheckDIChannel_3",
                        "CheckDIChannel_4",
                        "CheckDIChannel_5",
                        "CheckDIChannel_6",
                        "CheckDIChannel_7",
                        "txtAITimeInterval",
                        "cmdDIOK"});
    ConnectHandlers();
    form_.Form_Load();
}

QGroupBox* FrmSetting::BuildDeviceGroup(int index, const char* caption)
{
    auto* group = Make<QGroupBox>(nullptr, Element("Frame2", index), caption);
    auto* grid = new QGridLayout(group);
    auto* select = Make<QPushButton>(group, Element("cmdAISelectDevice", index), "Se&lect Device");
    select->setAccessibleName("AI Select Device"); // beside the DI one on the polled tab
    grid->addWidget(select, 0, 0, 1, 2);
    grid->addWidget(Make<QLabel>(group, Element("Label1", index), "Device Number"), 1, 0);
    grid->addWidget(Make<QLabel>(group, Element("LabelAIDeviceNumber", index)), 1, 1);
    grid->addWidget(Make<QLabel>(group, Element("Label6", index), "Device Name"), 2, 0);
    grid->addWidget(Make<QLabel>(group, Element("labAIDeviceName", index)), 2, 1);
    grid->addWidget(Make<QLabel>(group, Element("Label8", index), "Resolution"), 3, 0);
    grid->addWidget(Make<QLabel>(group, Element("labAIResolution", index)), 3, 1);
    return group;
}

QGroupBox* FrmSetting::BuildChannelGroup(int index, const char* caption)
{
    auto* group = Make<QGroupBox>(nullptr, Element("SoftSetting", index), caption);
    auto* grid = new QGridLayout(group);
    auto* start = Make<QLineEdit>(group, Element("txtAIScanStart", index));
    auto* count = Make<QLineEdit>(group, Element("txtAIScanNumber", index));
    grid->addWidget(Caption(group, Element("Label3", index), "Chan&Start", start), 0, 0);
    grid->addWidget(start, 0, 1);
    grid->addWidget(Caption(group, Element("Label4", index), "&ChanCount", count), 1, 0);
    grid->addWidget(count, 1, 1);
    if (index == 0)
        grid->addWidget(Make<QLabel>(group, Element("Label11", index), "DataValueRange"), 2, 0);
    grid->addWidget(Make<QPushButton>(group, Element("cmdRange", index), "Set &Range"), 2, 1);
    return group;
}

QWidget* FrmSetting::BuildFastTab()
{
    auto* page = new QWidget;
    auto* fai = Make<QGroupBox>(page, "NonSoftSetting", "FAI Setting");
    auto* faiGrid = new QGridLayout(fai);
    auto* txtCount = Make<QLineEdit>(fai, "txtCount");
    txtCount->setText("20000");
    auto* txtRate = Make<QLineEdit>(fai, "txtSampleRate");
    txtRate->setText("1000");
    auto* dataType = Make<QComboBox>(fai, "cmbDataReturnType");
    auto* pacer = Make<QComboBox>(fai, "cmbPacerSource");
    faiGrid->addWidget(Caption(fai, "Label27", "Data Cou&nt", txtCount), 0, 0);
    faiGrid->addWidget(txtCount, 0, 1);
    faiGrid->addWidget(Caption(fai, "Label26", "Sample R&ate", txtRate), 1, 0);
    faiGrid->addWidget(txtRate, 1, 1);
    faiGrid->addWidget(Make<QLabel>(fai, "Label25", "Hz"), 1, 2);
    faiGrid->addWidget(Caption(fai, "Label24", "Data &Type", dataType), 2, 0);
    faiGrid->addWidget(dataType, 2, 1);
    faiGrid->addWidget(Caption(fai, "Label23", "&Pacer Source", pacer), 3, 0);
    faiGrid->addWidget(pacer, 3, 1);
    faiGrid->addWidget(Make<QCheckBox>(fai, "chkCylic", "C&yclic"), 4, 1);

    auto* trigger = Make<QGroupBox>(page, "FrameFAITrigger", "Trigger Setting");
    auto* trigGrid = new QGridLayout(trigger);
    int row = 0;
    auto addRow = [&](const char* labelName, const QString& caption, QWidget* box, const char* unitName,
                      const QString& unit) {
        trigGrid->addWidget(Caption(trigger, labelName, caption, box), row, 0);
        trigGrid->addWidget(box, row, 1);
        if (unitName != nullptr)
            trigGrid->addWidget(Make<QLabel>(trigger, unitName, unit), row, 2);
        ++row;
    };
    addRow("Label7", "Trigger &Mode", Make<QComboBox>(trigger, "cmbTriggerMode"), nullptr, {});
    addRow("Label10", "Trigger &Edge", Make<QComboBox>(trigger, "cmbTriggerEdge"), nullptr, {});
    addRow("Label12", "Trigger So&urce", Make<QComboBox>(trigger, "cmbTriggerSource"), nullptr, {});
    addRow("Label17", "A&fterTime", Make<QLineEdit>(trigger, "txtTriggerDelayTime"), "Label20", "ms");
    addRow("Labelaftertime", "&BeforeTime", Make<QLineEdit>(trigger, "txtTriggerAfterTimeinAboveMode"), "Label21",
           "ms");
    addRow("Label19", "Trig &Voltage", Make<QLineEdit>(trigger, "txtTriggerVoltage"), "Label18", "v");

    auto* ok = Make<QPushButton>(page, "cmdFAIOK", "&OK");
    auto* grid = new QGridLayout(page);
    grid->addWidget(BuildDeviceGroup(0, "Select Device"), 0, 0);
    grid->addWidget(BuildChannelGroup(0, "Channel Setting"), 1, 0);
    grid->addWidget(fai, 0, 1);
    grid->addWidget(trigger, 1, 1);
    grid->addWidget(ok, 2, 1, Qt::AlignRight);
    return page;
}

QWidget* FrmSetting::BuildPolledTab()
{
    auto* page = new QWidget;
    auto* interval = Make<QLineEdit>(page, "txtAITimeInterval");
    interval->setText("100");
    auto* intervalRow = new QHBoxLayout;
    intervalRow->addWidget(Caption(page, "labTimerInterval", "&Interval", interval));
    intervalRow->addWidget(interval);
    intervalRow->addWidget(Make<QLabel>(page, "Label2", "ms"));

    auto* diDevice = Make<QGroupBox>(page, "Frame3", "DI Select Device");
    auto* devGrid = new QGridLayout(diDevice);
    auto* select = Make<QPushButton>(diDevice, "DISelectDevice", "Select &Device");
    select->setAccessibleName("DI Select Device");
    devGrid->addWidget(select, 0, 0, 1, 2);
    devGrid->addWidget(Make<QLabel>(diDevice, "Label16", "Device Number"), 1, 0);
    devGrid->addWidget(Make<QLabel>(diDevice, "LabelDIDevNum"), 1, 1);
    devGrid->addWidget(Make<QLabel>(diDevice, "Label15", "Device Name"), 2, 0);
    devGrid->addWidget(Make<QLabel>(diDevice, "LabelDIDevName"), 2, 1);

    auto* ports = Make<QGroupBox>(page, "FrameDIScan", "DI Port Setting");
    auto* portGrid = new QGridLayout(ports);
    auto* port = Make<QComboBox>(ports, "ComboDIPort");
    portGrid->addWidget(Caption(ports, "Label5", "&Port", port), 0, 0);
    portGrid->addWidget(port, 0, 1, 1, 7);
    for (int b = 0; b < 8; ++b) {
        auto* label = Make<QLabel>(ports, Element("Label13", b), QString::number(b));
        label->setAlignment(Qt::AlignCenter);
        auto* line = Make<QCheckBox>(ports, Element("CheckDIChannel", b));
        line->setAccessibleName(QStringLiteral("Line %1").arg(b));
        portGrid->addWidget(label, 1, b, Qt::AlignCenter);
        portGrid->addWidget(line, 2, b, Qt::AlignCenter);
    }

    auto* ok = Make<QPushButton>(page, "cmdDIOK", "&OK");
    auto* grid = new QGridLayout(page);
    grid->addWidget(BuildDeviceGroup(1, "AI Select Device"), 0, 0);
    grid->addWidget(BuildChannelGroup(1, "AI Channel Setting"), 1, 0);
    grid->addLayout(intervalRow, 2, 0);
    grid->addWidget(diDevice, 0, 1);
    grid->addWidget(ports, 1, 1);
    grid->addWidget(ok, 2, 1, Qt::AlignRight);
    return page;
}

void FrmSetting::ConnectHandlers()
{
    IPrompts& prompts = parts_.prompts;
    auto on = [this, &prompts](const char* name, const std::function<void()>& handler) {
        auto* button = findChild<QAbstractButton*>(name);
        connect(button, &QAbstractButton::clicked, this,
                [&prompts, handler] { form_controls::Guarded(prompts, handler); });
    };
    for (int i = 0; i < 2; ++i) {
        on(Element("cmdAISelectDevice", i).c_str(), [this, i] { form_.cmdAISelectDevice_Click(i); });
        on(Element("cmdRange", i).c_str(), [this, i] { form_.cmdRange_Click(i); });
    }
    on("DISelectDevice", [this] { form_.DISelectDevice_Click(); });
    on("chkCylic", [this] { form_.chkCylic_Click(); });
    on("cmdFAIOK", [this] { form_.cmdFAIOK_Click(); });
    on("cmdDIOK", [this] { form_.cmdDIOK_Click(); });
    for (int b = 0; b < 8; ++b)
        on(Element("CheckDIChannel", b).c_str(), [this, b] { form_.CheckDIChannel_Click(b); });
    connect(findChild<QComboBox*>("ComboDIPort"), &QComboBox::activated, this,
            [this, &prompts] { form_controls::Guarded(prompts, [this] { form_.ComboDIPort_Click(); }); });
    boxFocusFilter_ = form_controls::OnBoxFocusLoss(*this, [this, &prompts](const std::string& box) {
        form_controls::Guarded(prompts, [this, &box] { form_.Box_LostFocus(box); });
    });
}

// A box that holds the focus loses it while the dialog's controls are being
// destroyed: no check may run on them then.
FrmSetting::~FrmSetting() { delete boxFocusFilter_; }

void FrmSetting::ShowTab(int tab)
{
    findChild<QTabWidget*>("SSTab1")->setCurrentIndex(tab);
    findChild<QPushButton*>(tab == 0 ? "cmdFAIOK" : "cmdDIOK")->setDefault(true);
    // The dialog opens on the tab's first control, not on the tab bar.
    findChild<QPushButton*>(tab == 0 ? "cmdAISelectDevice_0" : "cmdAISelectDevice_1")->setFocus();
}

void FrmSetting::ShowGainRange()
{
    DlgGainRange dialog({parts_.setup, parts_.ai, thermo_, parts_.prompts, form_.nRangeIndex() == 0}, this);
    dialog.exec();
}

} // namespace ondrel
