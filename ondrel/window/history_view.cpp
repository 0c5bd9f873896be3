#include "ondrel/window/history_view.h"
#include "ondrel/acquisition/run_control.h"
#include "ondrel/graph/plot_control.h"
#include "ondrel/common/file_paths.h"
#include "ondrel/window/command_buttons.h"
#include "ondrel/window/device_panel.h"
#include "ondrel/window/history_panel.h"
#include "ondrel/window/signal_panel.h"
#include <QPushButton>

namespace ondrel {

std::optional<std::string> HistoryView::ShowOpenProject()
{
    // The dialog opens where the last project was found, at first in the home folder.
    auto chosen = prompts_.ChooseProjectFile(lastFolder_.empty() ? HomePath() : lastFolder_);
    if (chosen)
        lastFolder_ = FolderOf(*chosen);
    return chosen;
}

void HistoryView::EnableHisControls(bool value) { history_.EnableHisControls(value); }

void HistoryView::EnableModeSwitch(bool enable) { commands_.BtnModeSwitch()->setEnabled(enable); }

void HistoryView::SetModeSwitchCaption(const std::string& caption)
{
    commands_.BtnModeSwitch()->setText(QString::fromStdString(caption));
}

// The frames alone: their controls keep their own states for when they come back.
void HistoryView::EnableSetFrame(bool enable) { device_.setEnabled(enable); }

void HistoryView::EnableStart(bool enable) { commands_.BtnStart()->setEnabled(enable); }

void HistoryView::EnableSaveAs(bool enable) { commands_.BtnSaveAs()->setEnabled(enable); }

void HistoryView::EnableCmdFrame(bool enable) { signal_.setEnabled(enable); }

void HistoryView::EnableConvert(bool enable) { history_.BtnHisConvert()->setEnabled(enable); }

void HistoryView::ShowPlaying(bool playing) { history_.ShowPlaying(playing); }

void HistoryView::SetupPlots(bool historyMode) { plots_.SetupPlots(historyMode, true); }

bool HistoryView::LastRunRecorded() const
{
    if (run_ == nullptr)
        return false;
    const RunStatus& s = run_->status();
    return s.bAIDataSaved || s.bFAIDataSaved || s.bDIDataSaved;
}

} // namespace ondrel
