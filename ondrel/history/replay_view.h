#pragma once
#include <optional>
#include <string>

namespace ondrel {

// What the replay controller needs the main window to do. Everything here is
// a plain widget operation that does not call back into the controller.
class IReplayView {
public:
    virtual ~IReplayView() = default;

    // CommonDialog1: the open dialog for a "Project.onp" (files "*.onp", "onp"
    // added to a name typed without extension). Nothing when cancelled.
    virtual std::optional<std::string> ShowOpenProject() = 0;

    // FrameHis and every replay control in it (labels, ChkPlay, BtnAccelerate,
    // BtnStop, BtnHisConvert).
    virtual void EnableHisControls(bool value) = 0;
    virtual void EnableModeSwitch(bool enable) = 0;                    // BtnModeSwitch
    virtual void SetModeSwitchCaption(const std::string& caption) = 0; // "Acquisition" / "History Mode"
    virtual void EnableSetFrame(bool enable) = 0;                      // FrameSet
    virtual void EnableStart(bool enable) = 0;                         // BtnStart
    virtual void EnableSaveAs(bool enable) = 0;                        // BtnSaveAs
    virtual void EnableCmdFrame(bool enable) = 0;                      // FrameCmd
    virtual void EnableConvert(bool enable) = 0;                       // BtnHisConvert
    // ChkPlay checked with the pause symbol while playing, unchecked with the
    // play symbol otherwise, without raising its click.
    virtual void ShowPlaying(bool playing) = 0;

    // Rebuilds the chart's plots: from the replay tables in history mode, from
    // the acquisition set-up otherwise (and refreshes the legend).
    virtual void SetupPlots(bool historyMode) = 0;
    // Whether the last acquisition run recorded anything Save As could keep.
    virtual bool LastRunRecorded() const = 0;
};

} // namespace ondrel
