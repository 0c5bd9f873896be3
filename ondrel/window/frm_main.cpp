#include "ondrel/window/frm_main.h"
#include "ondrel/window/timer_polling_thread.h"
#include "ondrel/export/convert_command.h"
#include "ondrel/graph/chart_axes.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/recording/recovery_offer.h"
#include "ondrel/common/working_folder.h"
#include "ondrel/settings/channel_tables.h"
#include "ondrel/window/command_buttons.h"
#include "ondrel/window/dialogs/settings_window.h"
#include "ondrel/window/device_panel.h"
#include "ondrel/window/graph_panel.h"
#include "ondrel/window/graph_view.h"
#include "ondrel/window/history_panel.h"
#include "ondrel/window/history_view.h"
#include "ondrel/window/keyboard_order.h"
#include "ondrel/window/locale_text.h"
#include "ondrel/window/legend_panel.h"
#include "ondrel/window/overview_window.h"
#include "ondrel/window/run_view.h"
#include "ondrel/window/signal_panel.h"
#include <QCheckBox>
#include <QCloseEvent>
#include <QMimeData>
#include <QPushButton>
#include <cmath>

namespace ondrel {

FrmMain::FrmMain(IComponentFactory& factory, IPrompts& prompts, IClock& clock, QWidget* parent)
    : QWidget(parent), factory_(factory), prompts_(prompts), clock_(clock), geometry_(DesignGeometry())
{
    setObjectName("frmMain");
    setWindowTitle("Ondrel 2.0");
    setAcceptDrops(true); // a "Project.onp" dropped on the window opens for replay
    // The layout's metrics are made for captions in an 8-point UI font.
    QFont captions = font();
    captions.setPointSizeF(7.5);
    setFont(captions);
    dpi_ = logicalDpiY() > 0 ? logicalDpiY() : 96.0;
    ai_ = factory_.CreateAI(prompts_);
    dio_ = factory_.CreateDIO(prompts_);
    thermo_ = factory_.CreateThermo();
    CreateControls();
    CreateTimer();
    resize(Px(kMinFormWidth), Px(kMinFormHeight));
    Form_Load();
    pollingThread_ = std::make_unique<TimerPollingThread>([this] { return factory_.CreateTimer(); });
    run_ = std::make_unique<RunControl>(
        AcquisitionParts{setup_, timeBase_, *ai_, *dio_, *thermo_, *graph_, graphPanel_->KroLED1(),
                         signal_->KroButton1(), signal_->KroButton2(), prompts_, clock_, *pollingThread_, files_.get()},
        *runView_);
    saveAs_ = std::make_unique<SaveAsCommand>(prompts_, files_.get(), run_->status(), choosers_);
    historyView_->setRun(run_.get());
    replayControl_ = std::make_unique<ReplayControl>(ReplayParts{replay_, timeBase_, *graph_, history_->KroSliderR(),
                                                                 history_->KroSliderV(), graphPanel_->KroLED1(),
                                                                 prompts_, clock_, timer_.get()},
                                                     *historyView_);
    convert_ = std::make_unique<ConvertCommand>(prompts_, *replayControl_, choosers_);
    settingsWindow_ =
        std::make_unique<SettingsWindow>(SettingsFormParts{setup_, *ai_, *dio_, aiColors_, prompts_}, *thermo_, this);
    settings_ = std::make_unique<SettingsController>(SettingsParts{setup_, timeBase_, replay_, *ai_, *thermo_, *graph_,
                                                                   graphPanel_->KroLED1(), *run_, *plots_, prompts_},
                                                     *settingsWindow_);
    graphView_ = std::make_unique<GraphView>(
        GraphViewParts{{timeBase_, *graph_, graphPanel_->KroLED1(), *ai_, setup_, replay_, prompts_},
                       *graphPanel_,
                       *plots_,
                       setup_,
                       replay_,
                       [this] { return run_->IsRunning() || replay_.isHisPlaying; },
                       [this] { ShowOverview(); }},
        this);
    ConnectHandlers();
}

FrmMain::~FrmMain() { Form_Unload(); }

int FrmMain::Px(int twips) const { return static_cast<int>(std::lround(twips * dpi_ / 1440.0)); }

template <typename Body>
void FrmMain::Guarded(const char* title, Body&& body)
{
    try {
        body();
    } catch (const std::exception& error) {
        prompts_.MsgBox(error.what(), title);
    }
}

void FrmMain::CreateControls()
{
    graph_ = factory_.CreateGraph(this);
    graph_->widget()->setObjectName("KroGraph1");
    graph_->widget()->setAccessibleName("Chart");
    history_ = new HistoryPanel(factory_, this);
    device_ = new DevicePanel(this);
    signal_ = new SignalPanel(factory_, this);
    graphPanel_ = new GraphPanel(factory_, this);
    legend_ = new LegendPanel(this);
    commands_ = new CommandButtons(this);
    plots_ = std::make_unique<PlotControl>(*graph_, *ai_, setup_, replay_, *legend_);
    runView_ = std::make_unique<RunView>(*device_, *signal_, *commands_, *plots_);
    historyView_ = std::make_unique<HistoryView>(*history_, *device_, *signal_, *commands_, *plots_, prompts_);
    SetKeyboardOrder(*this);
    ApplyGeometry();
}

// TickwellCtl1 comes with the window and paces replay; without it the program
// still starts and records (polling makes a timer control of its own).
void FrmMain::CreateTimer()
{
    Guarded("Form_Load", [this] {
        timer_ = factory_.CreateTimer();
        timer_->setHandler([this](const std::string& key) { timers_.TickwellCtl1_TimerEvent(key); });
    });
}

void FrmMain::ShowOverview()
{
    if (!overview_)
        overview_ = std::make_unique<OverviewWindow>(
            OverviewParts{*replayControl_, replay_, *graph_, SummaryCacheFolder()}, this);
    overview_->Open();
}

void FrmMain::ConnectHandlers()
{
    ai_->setEvents(&run_->aiEvents());
    replayControl_->RegisterTimerKeys(timers_);
    connect(signal_, &SignalPanel::aiSwitchChanged, this, [this] { run_->KroButton1_SwitchChanged(); });
    connect(signal_, &SignalPanel::diSwitchChanged, this, [this] { run_->KroButton2_SwitchChanged(); });
    connect(device_, &DevicePanel::aiSaveClicked, this, [this](bool on) { run_->CkAISave2Disk_Click(on); });
    connect(device_, &DevicePanel::diSaveClicked, this, [this](bool on) { run_->CkDISave2Disk_Click(on); });
    connect(device_->BtnSet(), &QPushButton::clicked, this, [this] { settings_->BtnSet_Click(); });
    connect(commands_->BtnStart(), &QPushButton::clicked, this, [this] { run_->BtnStart_Click(); });
    connect(commands_->BtnSaveAs(), &QPushButton::clicked, this, [this] { saveAs_->BtnSaveAs_Click(); });
    connect(commands_->BtnExit(), &QPushButton::clicked, this, [this] { BtnExit_Click(); });
    connect(signal_->BtnHistory(), &QPushButton::clicked, this, [this] { replayControl_->BtnHistory_Click(); });
    connect(commands_->BtnModeSwitch(), &QPushButton::clicked, this, [this] { replayControl_->BtnModeSwitch_Click(); });
    connect(history_->ChkPlay(), &QPushButton::clicked, this,
            [this](bool checked) { replayControl_->ChkPlay_Click(checked); });
    connect(history_->BtnHisConvert(), &QPushButton::clicked, this, [this] { convert_->BtnHisConvert_Click(); });
    connect(history_->BtnStop(), &QPushButton::clicked, this, [this] { replayControl_->BtnStop_Click(); });
    connect(history_->BtnAccelerate(), &QPushButton::clicked, this, [this] { replayControl_->BtnAccelerate_Click(); });
}

void FrmMain::Form_Load()
{
    metrics_.nLayoutMargin = kLayoutMargin;
    metrics_.nFormDim1 = static_cast<int32_t>(std::lround(height() * 1440.0 / dpi_));
    metrics_.nFormDim2 = static_cast<int32_t>(std::lround(width() * 1440.0 / dpi_));
    Guarded("Form_Load", [this] { graph_->Plots().RemoveAll(); });
    LoadDefaultSetup(setup_, *ai_, *dio_);
    aiColors_ = SetAIColors();
    Guarded("Form_Load", [this] { InitChannelTables(setup_, *ai_, *dio_, aiColors_); });
    Guarded("Form_Load", [this] { ConfigureChartAxes(*graph_); });
    legend_->SetUpColumns(Px(700));
    history_->LoadDefaults();
    IKroLED& led = graphPanel_->KroLED1();
    timeBase_.isNumEditEventFired = true;
    led.setMinimum(0.0);
    led.setMaximum(0.0);
    led.setValue(1.0);
    timeBase_.isNumEditEventFired = false;
    history_->EnableHisControls(false);
    timeBase_.dDIVValue = 1.0;
    OpenWorkingFolder();
    Guarded("Form_Load", [this] { plots_->SetupPlots(replay_.bHistoryMode, true); });
    device_->CkAISave2Disk()->setEnabled(false);
    device_->CkDISave2Disk()->setEnabled(false);
    commands_->BtnSaveAs()->setEnabled(false);
}

// The working folder and its three files. A folder that cannot be made is not
// an error by itself; the file error is shown and the program goes on without
// recording (every Start then reports it).
void FrmMain::OpenWorkingFolder()
{
    Guarded("Form_Load", [this] {
        auto files = std::make_unique<RecordingFiles>(CreateWorkingFolder());
        files_ = std::move(files);
        files_->OpenAtStartUp();
    });
    // Recordings of a program that ended without shutting down (ours is locked).
    Guarded("Form_Load", [this] { OfferInterruptedRuns(prompts_, WorkingFolderParents()); });
}

void FrmMain::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    // A run still going is stopped as the Stop button does, which completes its
    // description before the files go.
    if (run_ && !replay_.bHistoryMode)
        run_->StopIfRunning();
    if (replayControl_)
        replayControl_->StopIfPlaying();
    overview_.reset(); // its summary's build stops with it
    ai_->setEvents(nullptr);
    if (timer_)
        timer_->setHandler(nullptr);
    if (files_)
        files_->Shutdown();
}

void FrmMain::BtnExit_Click() { close(); }

// As BtnHistory: not while a run records, nor while a replay plays or is
// paused (the replay's controls would stay as they are until Stop).
bool FrmMain::TakesAProject() const { return !run_->IsRunning() && !replay_.isHisPlaying && !replay_.isHisPlayPaused; }

void FrmMain::OpenProject(const std::string& projectFile)
{
    if (TakesAProject())
        replayControl_->OpenProject(projectFile);
}

void FrmMain::dragEnterEvent(QDragEnterEvent* event)
{
    if (DraggedProject(event->mimeData()) && TakesAProject())
        event->acceptProposedAction();
}

void FrmMain::dropEvent(QDropEvent* event)
{
    if (!TakesAProject())
        return;
    if (const auto project = DraggedProject(event->mimeData())) {
        event->acceptProposedAction();
        OpenProject(*project);
    }
}

void FrmMain::closeEvent(QCloseEvent* event)
{
    if (!unloaded_ && !KeepsNoUnsavedRecording()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

// The working folder goes with the program: a recording not saved yet is
// offered for Save As first. False when the program is to stay open.
bool FrmMain::KeepsNoUnsavedRecording()
{
    if (!saveAs_->HasUnsavedRecording())
        return true;
    switch (prompts_.AskUnsavedRecording("The last recording has not been saved.")) {
    case UnsavedAnswer::Cancel:
        return false;
    case UnsavedAnswer::Discard:
        return true;
    case UnsavedAnswer::SaveAs:
        break;
    }
    if (!replay_.bHistoryMode)
        run_->StopIfRunning();
    return saveAs_->SaveAs();
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
    metrics_.nFormDim1 = kMinFormHeight;
    metrics_.nFormDim2 = kMinFormWidth;
    metrics_.nLayoutMargin = kLayoutMargin;
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
        if (auto* control = findChild<QWidget*>(QString::fromStdString(name)))
            control->setGeometry(Px(rect.left), Px(rect.top), Px(rect.width), Px(rect.height));
    }
}

} // namespace ondrel
