#include "ondrel/window/frm_main.h"
#include "ondrel/components/component_error.h"
#include "ondrel/graph/plot_list.h"
#include "ondrel/history/save_as.h"
#include "ondrel/settings/channel_tables.h"
#include "ondrel/window/legend_view.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/session/working_folder.h"
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <cmath>
#include <stdexcept>

namespace ondrel {

namespace {

template <typename T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

FrmMain::FrmMain(IComponentFactory& factory, IPrompts& prompts, IClock& clock, QWidget* parent)
    : QWidget(parent), factory_(factory), prompts_(prompts), clock_(clock), geometry_(DesignGeometry())
{
    setObjectName("frmMain");
    setWindowTitle("Ondrel 2.0");
    dpi_ = logicalDpiY() > 0 ? logicalDpiY() : 96.0;
    ai_ = factory_.CreateAI();
    dio_ = factory_.CreateDIO();
    thermo_ = factory_.CreateThermo();
    CreateControls();
    CreateTimer();
    resize(Px(kMinFormWidth), Px(kMinFormHeight));
    Form_Load();
    context_ = std::make_unique<AcquisitionContext>(AcquisitionContext{
        state_, tables_, *ai_, *dio_, *thermo_, *graph_, *led_, prompts_, clock_, files_.get(),
        timer_.get(), [this] { BtnStart_Click(); }});
    run_ = std::make_unique<RunControl>(*context_, static_cast<ICommandPanel&>(*this));
    ConnectHandlers();
}

FrmMain::~FrmMain()
{
    Form_Unload();
}

int FrmMain::Px(int twips) const
{
    return static_cast<int>(std::lround(twips * dpi_ / 1440.0));
}

namespace {

// Forwards a switch's flips to the handler that reads its position.
class SwitchSink final : public IKroButtonEvents {
public:
    explicit SwitchSink(std::function<void()> changed) : changed_(std::move(changed)) {}
    void SwitchChanged(bool) override { changed_(); }

private:
    std::function<void()> changed_;
};

} // namespace

// TickwellCtl1 comes with the window; without it the program still starts and
// buffered AI still works, while polling reports the missing timer at Start.
void FrmMain::CreateTimer()
{
    try {
        timer_ = factory_.CreateTimer();
        timer_->setHandler([this](const std::string& key) { TickwellCtl1_TimerEvent(key); });
    } catch (const std::exception& error) {
        prompts_.MsgBox(error.what(), "Form_Load");
    }
}

void FrmMain::ConnectHandlers()
{
    ai_->setEvents(&run_->buffered());
    switchSinks_.push_back(std::make_unique<SwitchSink>([this] { KroButton1_SwitchChanged(); }));
    aiSwitch_->setEvents(switchSinks_.back().get());
    switchSinks_.push_back(std::make_unique<SwitchSink>([this] { KroButton2_SwitchChanged(); }));
    diSwitch_->setEvents(switchSinks_.back().get());
    connect(CheckBox("CkAISave2Disk"), &QCheckBox::clicked, this, [this] { CkAISave2Disk_Click(); });
    connect(CheckBox("CkDISave2Disk"), &QCheckBox::clicked, this, [this] { CkDISave2Disk_Click(); });
    connect(static_cast<QPushButton*>(Control("BtnStart")), &QPushButton::clicked, this,
            [this] { BtnStart_Click(); });
    connect(static_cast<QPushButton*>(Control("BtnSaveAs")), &QPushButton::clicked, this,
            [this] { BtnSaveAs_Click(); });
}

QCheckBox* FrmMain::CheckBox(const char* name) const
{
    return static_cast<QCheckBox*>(Control(name));
}

template <typename Body>
bool FrmMain::Guarded(const char* title, Body&& body)
{
    try {
        body();
        return true;
    } catch (const std::exception& error) {
        prompts_.MsgBox(error.what(), title);
    }
    return false;
}

void FrmMain::CreateControls()
{
    auto frame = [this](const char* name, const char* caption) {
        auto* box = Named(new QGroupBox(QString::fromLatin1(caption), this), name);
        controls_[name] = box;
        return box;
    };
    auto button = [this](const char* name, const char* caption, QWidget* parent) {
        auto* b = Named(new QPushButton(QString::fromUtf8(caption), parent), name);
        controls_[name] = b;
        return b;
    };
    auto label = [this](const char* name, const char* caption, QWidget* parent) {
        auto* l = Named(new QLabel(QString::fromLatin1(caption), parent), name);
        controls_[name] = l;
        return l;
    };
    auto place = [this](auto* component, const char* name) {
        component->widget()->setObjectName(QString::fromLatin1(name));
        controls_[name] = component->widget();
        return component;
    };

    graph_ = place(factory_.CreateGraph(this), "KroGraph1");

    QGroupBox* his = frame("FrameHis", "History Playback");
    sliderV_ = place(factory_.CreateSlider(his), "KroSliderV");
    sliderR_ = place(factory_.CreateSlider(his), "KroSliderR");
    label("Label15", "Slow", his);
    label("Label16", "Play Speed", his);
    label("Label14", "High", his);
    label("Label1", "0%", his);
    label("Label2", "50%", his);
    label("Label6", "100%", his);
    QPushButton* play = button("ChkPlay", "\u25B6", his);
    play->setCheckable(true);
    play->setToolTip("Play / Pause");
    button("BtnAccelerate", "\u25B6\u25B6", his)->setToolTip("Fast forward");
    button("BtnStop", "\u25A0", his)->setToolTip("Stop");
    button("BtnHisConvert", "Convert", his);

    QGroupBox* set = frame("FrameSet", "Device");
    button("BtnSet", "&Setting...", set);
    controls_["CkAISave2Disk"] = Named(new QCheckBox("AI Save2Disk", set), "CkAISave2Disk");
    controls_["CkDISave2Disk"] = Named(new QCheckBox("DI Save2Disk", set), "CkDISave2Disk");

    QGroupBox* cmd = frame("FrameCmd", "Signal");
    aiSwitch_ = place(factory_.CreateButton(cmd), "KroButton1");
    diSwitch_ = place(factory_.CreateButton(cmd), "KroButton2");
    label("Label7", "On", cmd);
    label("Label9", "Off", cmd);
    label("Label18", "AI", cmd);
    label("Label17", "DI", cmd);
    button("BtnHistory", "&History...", cmd);

    QGroupBox* graphFrame = frame("FrameGraph", "Graph");
    led_ = place(factory_.CreateLED(graphFrame), "KroLED1");
    label("Label8", "sec/div", graphFrame);
    button("BtnGraphSet", "Setting...", graphFrame);
    button("BtnClearGraph", "Clear Graph", graphFrame);

    QGroupBox* listFrame = frame("FrameListView", "");
    auto* header = Named(new QWidget(listFrame), "Picture1");
    controls_["Picture1"] = header;
    label("Label4", " Chan", header);
    label("Label5", " Line", header);
    listView_ = Named(new QTreeWidget(listFrame), "ListView1");
    controls_["ListView1"] = listView_;
    auto* footer = Named(new QWidget(listFrame), "Picture4");
    controls_["Picture4"] = footer;
    label("Label3", "Plots Line Style", footer);

    button("BtnStart", "Start", this);
    button("BtnModeSwitch", "History Mode", this)->setEnabled(false);
    button("BtnSaveAs", "Save As", this);
    connect(button("BtnExit", "&Exit", this), &QPushButton::clicked, this, [this] { BtnExit_Click(); });
    ApplyGeometry();
}

void FrmMain::ConfigureChart()
{
    IKroAxes& axes = graph_->Axes();
    IKroAxis& time = axes.Item(kTimeAxis);
    time.setTitle("Second");
    time.setMinimum(0);
    time.setMaximum(10);
    graph_->setChartLength(0);
    while (axes.Count() < 4)
        axes.Add();
    axes.Item(kAIAxis).setTitle("AI Data");
    axes.Item(kDIAxis).setTitle("DI Data");
    axes.Item(kTemperatureAxis).setTitle("Temperature Data");
}

void FrmMain::Form_Load()
{
    state_.nTimerInterval = 100;
    state_.nLayoutMargin = kLayoutMargin;
    state_.nFormDim1 = static_cast<int32_t>(std::lround(height() * 1440.0 / dpi_));
    state_.nFormDim2 = static_cast<int32_t>(std::lround(width() * 1440.0 / dpi_));
    Guarded("Form_Load", [this] { graph_->Plots().RemoveAll(); });
    state_.bFAICyclic = false;
    state_.nAISampleCnt = 4096;
    state_.bAISaveToDisk = false;

    if (ai_->DeviceNumber() >= 0)
        ResetAIThermoTables(tables_, ai_->MaxChanCount());
    state_.nDIPortCount = 0;
    state_.nDIPortStart = 0;
    const bool hasDI = dio_->DeviceNumber() >= 0;
    if (hasDI)
        state_.nDIMaxPortCount = dio_->PortCount();
    tables_.nDIPortMask.assign(static_cast<size_t>(std::max(hasDI ? dio_->PortCount() : 0, 0)) + 1, 0);

    aiColors_ = SetAIColors();
    Guarded("Form_Load", [this] {
        if (ai_->DeviceNumber() >= 0)
            InitAIChannelTables(tables_, *ai_, aiColors_);
        if (dio_->DeviceNumber() >= 0)
            InitDIChannelTables(tables_, *dio_);
    });

    Guarded("Form_Load", [this] { ConfigureChart(); });
    SetUpLegendColumns(*listView_, Px(700));
    sliderR_->setMin(0);
    sliderR_->setMax(100);
    sliderR_->setCaption("Ratio");
    sliderV_->setMin(1);
    sliderV_->setMax(2000000);
    state_.isNumEditEventFired = true;
    led_->setMinimum(0.0);
    led_->setMaximum(0.0);
    led_->setValue(1.0);
    state_.isNumEditEventFired = false;
    state_.isSystemRunning = false;
    EnableHisControls(false);

    state_.dDIVValue = 1.0;

    OpenWorkingFolder();

    state_.bSoftMode = true;
    state_.nDIChanCount = 0;
    SetupPlots(state_.bHistoryMode, true);

    controls_["CkAISave2Disk"]->setEnabled(false);
    controls_["CkDISave2Disk"]->setEnabled(false);
    state_.bAIDataSaved = state_.bFAIDataSaved = state_.bDIDataSaved = false;
    controls_["BtnSaveAs"]->setEnabled(false);
}

// The working folder and its three files. A folder that cannot be made is not
// an error by itself; the file error is shown and the program goes on without
// recording (every Start then reports it).
void FrmMain::OpenWorkingFolder()
{
    Guarded("Form_Load", [this] {
        auto files = std::make_unique<RecordingFiles>(CreateWorkingFolder());
        state_.sztmpPath = files->Folder();
        state_.szProjectFileName = files->ProjectFileName();
        state_.szAIFileName = files->AIFileName();
        state_.szDIFileName = files->DIFileName();
        state_.szFAIFileName = files->FAIFileName();
        files_ = std::move(files);
        files_->OpenAtStartUp();
    });
}

void FrmMain::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    // A run still going is stopped as the Stop button does, which completes its
    // description before the files go.
    if (state_.isSystemRunning && !state_.bHistoryMode && run_)
        run_->BtnStart_Click();
    ai_->setEvents(nullptr);
    if (timer_)
        timer_->setHandler(nullptr);
    if (files_)
        files_->Shutdown();
}

void FrmMain::BtnExit_Click()
{
    close();
}

void FrmMain::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

AIScanLayout FrmMain::CurrentScanLayout()
{
    AIScanLayout scan;
    if (ai_->DeviceNumber() < 0)
        return scan;
    scan.chanStart = ai_->ChanStart();
    scan.chanCount = ai_->ChanCount();
    scan.maxChanCount = ai_->MaxChanCount();
    scan.deviceName = ai_->DeviceName();
    scan.plotPhysical = PlotPhysicalChannels(scan.deviceName, scan.maxChanCount,
                                             tables_.nAIChanConnection, scan.chanStart,
                                             scan.chanCount);
    return scan;
}

void FrmMain::SetupPlots(bool historyMode, bool rebuild)
{
    Guarded("SetupPlots", [&] {
        ondrel::SetupPlots(*graph_, state_, tables_, replay_, CurrentScanLayout(), historyMode,
                           rebuild);
    });
    UpdatePlotListView();
}

void FrmMain::UpdatePlotListView()
{
    Guarded("UpdatePlotListView", [this] {
        PlotListInputs in;
        in.historyMode = state_.bHistoryMode;
        in.aiEnabled = state_.bAIEnabled;
        in.diEnabled = state_.bDIEnabled;
        in.aiChanCount = ai_->DeviceNumber() >= 0 ? ai_->ChanCount() : 0;
        in.diChanCount = state_.nDIChanCount;
        in.hisAI = state_.bHisAI;
        in.hisDI = state_.bHisDI;
        in.hisAIChanCount = state_.nHisAIChanCount;
        in.hisDIChanCount = state_.nHisDIChanCount;
        listView_->clear();
        ShowLegendRows(*listView_, PlotListRows(graph_->Plots(), in), palette());
    });
}

void FrmMain::EnableHisControls(bool value)
{
    for (const char* name : {"FrameHis", "Label15", "Label16", "Label14", "ChkPlay", "BtnAccelerate",
                             "BtnStop", "Label1", "Label2", "Label6", "BtnHisConvert"})
        controls_[name]->setEnabled(value);
}

void FrmMain::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void FrmMain::Form_Resize()
{
    const bool minimized = isMinimized();
    // Compare in pixels so a DPI that does not divide twips evenly cannot keep
    // snapping the window to the size it already has.
    const bool belowMinimum = width() < Px(kMinFormWidth) || height() < Px(kMinFormHeight);
    int heightTwips = belowMinimum ? 0 : static_cast<int>(std::lround(height() * 1440.0 / dpi_));
    int widthTwips = belowMinimum ? 0 : static_cast<int>(std::lround(width() * 1440.0 / dpi_));
    if (!belowMinimum) {
        heightTwips = std::max(heightTwips, kMinFormHeight);
        widthTwips = std::max(widthTwips, kMinFormWidth);
    }
    state_.nFormDim1 = kMinFormHeight;
    state_.nFormDim2 = kMinFormWidth;
    state_.nLayoutMargin = kLayoutMargin;
    switch (FormResize(geometry_, heightTwips, widthTwips, minimized)) {
    case ResizeOutcome::SnappedToMinimum:
        resize(Px(widthTwips), Px(heightTwips));
        break;
    case ResizeOutcome::LaidOut:
        ApplyGeometry();
        break;
    case ResizeOutcome::Ignored:
        break;
    }
}

void FrmMain::ApplyGeometry()
{
    for (const auto& [name, rect] : geometry_) {
        const auto found = controls_.find(name);
        if (found == controls_.end())
            continue;
        found->second->setGeometry(Px(rect.left), Px(rect.top), Px(rect.width), Px(rect.height));
    }
}

void FrmMain::KroButton1_SwitchChanged()
{
    const bool on = aiSwitch_->Value();
    if (on) {
        if (const auto refusal = AISwitchRefusal(state_, *ai_)) {
            prompts_.MsgBox(*refusal, "");
            aiSwitch_->setValue(false);
            state_.bAIEnabled = false;
            return;
        }
    }
    state_.bAIEnabled = on;
    Control("CkAISave2Disk")->setEnabled(on);
    UpdatePlotListView();
}

void FrmMain::KroButton2_SwitchChanged()
{
    const bool on = diSwitch_->Value();
    if (on) {
        if (const auto refusal = DISwitchRefusal(state_, *dio_)) {
            prompts_.MsgBox(*refusal, "");
            diSwitch_->setValue(false);
            state_.bDIEnabled = false;
            return;
        }
    }
    state_.bDIEnabled = on;
    Control("CkDISave2Disk")->setEnabled(on);
    UpdatePlotListView();
}

void FrmMain::CkAISave2Disk_Click()
{
    state_.bAISaveToDisk = CheckBox("CkAISave2Disk")->isChecked();
}

void FrmMain::CkDISave2Disk_Click()
{
    state_.bDISaveToDisk = CheckBox("CkDISave2Disk")->isChecked();
}

void FrmMain::BtnStart_Click()
{
    run_->BtnStart_Click();
}

void FrmMain::BtnSaveAs_Click()
{
    state_.szNewFolder.clear();
    // The chooser first opens in the user's home folder (an installed program's
    // own folder is no place for recordings), then where the last choice was made.
    if (state_.szDrive.empty()) {
        state_.szDrive = QDir::rootPath().toStdString();
        state_.szDir = QDir::homePath().toStdString();
    }
    const auto choice = prompts_.ChooseSaveFolder(state_.szDrive, state_.szDir);
    if (!choice || choice->folderName.empty())
        return;
    state_.szDrive = choice->drive;
    state_.szDir = choice->dir;
    state_.szNewFolder = choice->dir + (choice->dir.ends_with('/') ? "" : "/") + choice->folderName;
    Guarded("BtnSaveAs", [this] {
        if (!files_)
            throw std::runtime_error("There is no recording to save");
        files_->CloseProjectFile();
        SaveRunAs({state_.szProjectFileName, state_.szAIFileName, state_.szFAIFileName,
                   state_.szDIFileName, state_.bAIDataSaved, state_.bFAIDataSaved, state_.bDIDataSaved},
                  state_.szNewFolder);
    });
}

void FrmMain::TickwellCtl1_TimerEvent(const std::string& key)
{
    // Keys compare exactly, letter case included.
    if (key == kSoftPoolTimer)
        run_->OnSoftPoolTick();
}

void FrmMain::EnableSetCmdControls(bool enable)
{
    for (const char* name : {"FrameSet", "BtnSet", "CkAISave2Disk", "CkDISave2Disk", "FrameCmd",
                             "KroButton1", "KroButton2", "BtnHistory", "Label7", "Label9", "Label18",
                             "Label17"})
        Control(name)->setEnabled(enable);
    if (enable) {
        Control("CkAISave2Disk")->setEnabled(aiSwitch_->Value());
        Control("CkDISave2Disk")->setEnabled(diSwitch_->Value());
    }
}

void FrmMain::SetStartCaption(const std::string& caption)
{
    static_cast<QPushButton*>(Control("BtnStart"))->setText(QString::fromStdString(caption));
}

void FrmMain::EnableSaveAs(bool enable)
{
    Control("BtnSaveAs")->setEnabled(enable);
}

} // namespace ondrel
