#pragma once
#include "ondrel/acquisition/run_control.h"
#include "ondrel/acquisition/save_as_command.h"
#include "ondrel/graph/ai_colors.h"
#include "ondrel/graph/plot_control.h"
#include "ondrel/graph/time_base_state.h"
#include "ondrel/history/replay_control.h"
#include "ondrel/history/replay_state.h"
#include "ondrel/common/acquisition_setup.h"
#include "ondrel/common/chooser_memory.h"
#include "ondrel/common/clock.h"
#include "ondrel/common/prompts.h"
#include "ondrel/common/timer_dispatcher.h"
#include "ondrel/settings/settings_controller.h"
#include "ondrel/window/component_factory.h"
#include "ondrel/window/form_layout.h"
#include "ondrel/window/window_metrics.h"
#include <QWidget>
#include <memory>

namespace ondrel {

namespace testing {
class FrmMainProbe;
}

class CommandButtons;
class ConvertCommand;
class DevicePanel;
class GraphPanel;
class GraphView;
class HistoryPanel;
class HistoryView;
class LegendPanel;
class OverviewWindow;
class RecordingFiles;
class RunView;
class SignalPanel;

// The main window: creates the components, panels and controllers, lays them
// out and wires them; the behaviour lives in the controllers.
class FrmMain : public QWidget {
    Q_OBJECT
public:
    FrmMain(IComponentFactory& factory, IPrompts& prompts, IClock& clock, QWidget* parent = nullptr);
    ~FrmMain() override;

    void Form_Load();
    void Form_Unload();
    void Form_Resize();
    void BtnExit_Click();
    // History mode on a recorded project, as if chosen in the open dialog.
    void OpenProject(const std::string& projectFile);

    // Twips to device-independent pixels at the screen's logical DPI.
    int Px(int twips) const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Tests and benchmarks look inside through it.
    friend class testing::FrmMainProbe;

    bool KeepsNoUnsavedRecording();
    bool TakesAProject() const;
    void CreateControls();
    void CreateTimer();
    void OpenWorkingFolder();
    void ConnectHandlers();
    void ApplyGeometry();
    void ShowOverview();
    // Runs `body`; a component or file failure is shown with `title`, never thrown on.
    template <typename Body>
    void Guarded(const char* title, Body&& body);

    IComponentFactory& factory_;
    IPrompts& prompts_;
    IClock& clock_;
    AcquisitionSetup setup_;
    ReplayState replay_;
    TimeBaseState timeBase_;
    ChooserMemory choosers_;
    WindowMetrics metrics_;
    FormGeometry geometry_;
    AIColorTable aiColors_{};
    double dpi_ = 96.0;
    bool unloaded_ = false;

    std::unique_ptr<IKroAI> ai_;
    std::unique_ptr<IKroDIO> dio_;
    std::unique_ptr<IKroThermo> thermo_;
    std::unique_ptr<ITimerControl> timer_;
    std::unique_ptr<RecordingFiles> files_; // none when no working folder could be made

    IKroGraph* graph_ = nullptr;
    HistoryPanel* history_ = nullptr;
    DevicePanel* device_ = nullptr;
    SignalPanel* signal_ = nullptr;
    GraphPanel* graphPanel_ = nullptr;
    LegendPanel* legend_ = nullptr;
    CommandButtons* commands_ = nullptr;

    TimerDispatcher timers_;
    std::unique_ptr<PlotControl> plots_;
    std::unique_ptr<RunView> runView_;
    std::unique_ptr<HistoryView> historyView_;
    std::unique_ptr<RunControl> run_;
    std::unique_ptr<SaveAsCommand> saveAs_;
    std::unique_ptr<ReplayControl> replayControl_;
    std::unique_ptr<ConvertCommand> convert_;
    std::unique_ptr<ISettingsView> settingsWindow_;
    std::unique_ptr<SettingsController> settings_;
    std::unique_ptr<GraphView> graphView_;
    std::unique_ptr<OverviewWindow> overview_; // made when first asked for
    // Last, so that it goes first: no tick runs while the rest is taken down.
    std::unique_ptr<IPollingThread> pollingThread_;
};

} // namespace ondrel
