#pragma once
#include "ondrel/acquisition/run_control.h"
#include "ondrel/graph/ai_colors.h"
#include "ondrel/graph/plot_setup.h"
#include "ondrel/session/session_state.h"
#include "ondrel/window/component_factory.h"
#include "ondrel/window/form_layout.h"
#include "ondrel/session/clock.h"
#include "ondrel/session/prompts.h"
#include <QWidget>
#include <map>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace ondrel {

class RecordingFiles;

// The main window: a shell over the session, its files and the chart set-up.
// Handlers keep the names the operator-facing behaviour is described by.
class FrmMain : public QWidget, private ICommandPanel {
    Q_OBJECT
public:
    FrmMain(IComponentFactory& factory, IPrompts& prompts, IClock& clock, QWidget* parent = nullptr);
    ~FrmMain() override;

    SessionState& state() { return state_; }
    SessionTables& tables() { return tables_; }
    ReplayTables& replay() { return replay_; }
    const AIColorTable& aiColors() const { return aiColors_; }
    const FormGeometry& geometryTwips() const { return geometry_; }
    RecordingFiles* files() { return files_.get(); }

    IKroAI& KroAI1() { return *ai_; }
    IKroDIO& KroDIO1() { return *dio_; }
    IKroThermo& KroThermo1() { return *thermo_; }
    IKroGraph& KroGraph1() { return *graph_; }
    IKroButton& KroButton1() { return *aiSwitch_; }
    IKroButton& KroButton2() { return *diSwitch_; }
    IKroLED& KroLED1() { return *led_; }
    IKroSlider& KroSliderR() { return *sliderR_; }
    IKroSlider& KroSliderV() { return *sliderV_; }
    QTreeWidget* ListView1() { return listView_; }
    ITimerControl* TickwellCtl1() { return timer_.get(); }
    RunControl& run() { return *run_; }

    void Form_Load();
    void Form_Unload();
    void Form_Resize();
    void BtnExit_Click();
    void SetupPlots(bool historyMode, bool rebuild);
    void UpdatePlotListView();
    void EnableHisControls(bool value);

    void KroButton1_SwitchChanged();
    void KroButton2_SwitchChanged();
    void CkAISave2Disk_Click();
    void CkDISave2Disk_Click();
    void BtnStart_Click();
    void BtnSaveAs_Click();
    void TickwellCtl1_TimerEvent(const std::string& key);
    void EnableSetCmdControls(bool enable) override;

    // Twips to device-independent pixels at the screen's logical DPI.
    int Px(int twips) const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void ConfigureChart();
    void ApplyGeometry();
    void OpenWorkingFolder();
    void CreateTimer();
    void ConnectHandlers();
    void SetStartCaption(const std::string& caption) override;
    void EnableSaveAs(bool enable) override;
    QWidget* Control(const char* name) const { return controls_.at(name); }
    QCheckBox* CheckBox(const char* name) const;
    AIScanLayout CurrentScanLayout();
    // Runs `body`; a component or file failure is shown with `title`, never thrown on.
    template <typename Body>
    bool Guarded(const char* title, Body&& body);

    IComponentFactory& factory_;
    IPrompts& prompts_;
    IClock& clock_;
    SessionState state_;
    SessionTables tables_;
    ReplayTables replay_;
    AIColorTable aiColors_{};
    FormGeometry geometry_;
    std::unique_ptr<RecordingFiles> files_;   // none when no working folder could be made
    bool unloaded_ = false;
    double dpi_ = 96.0;

    std::unique_ptr<IKroAI> ai_;
    std::unique_ptr<IKroDIO> dio_;
    std::unique_ptr<IKroThermo> thermo_;
    IKroGraph* graph_ = nullptr;
    IKroButton* aiSwitch_ = nullptr;
    IKroButton* diSwitch_ = nullptr;
    IKroLED* led_ = nullptr;
    IKroSlider* sliderR_ = nullptr;
    IKroSlider* sliderV_ = nullptr;
    QTreeWidget* listView_ = nullptr;
    std::unique_ptr<ITimerControl> timer_;
    std::unique_ptr<AcquisitionContext> context_;
    std::unique_ptr<RunControl> run_;
    std::vector<std::unique_ptr<IKroButtonEvents>> switchSinks_;
    std::map<std::string, QWidget*> controls_;
};

} // namespace ondrel
