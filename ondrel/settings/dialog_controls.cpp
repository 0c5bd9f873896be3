#include "ondrel/settings/dialog_controls.h"

namespace ondrel {

namespace {

using K = ControlKind;

void Add(std::vector<DeclaredControl>& list, K kind, std::initializer_list<const char*> names, const char* group = "")
{
    for (const char* name : names)
        list.push_back({name, kind, group});
}

// Each element of a control array, `name_first` to `name_last`.
void AddArray(std::vector<DeclaredControl>& list, K kind, const char* name, int first, int last)
{
    for (int i = first; i <= last; ++i)
        list.push_back({std::string(name) + "_" + std::to_string(i), kind, ""});
}

std::vector<DeclaredControl> MakeSettingsDialogControls()
{
    std::vector<DeclaredControl> c;
    // The device and channel groups, one of each per tab (0 fast, 1 polled).
    for (const char* frame : {"Frame2", "SoftSetting"})
        AddArray(c, K::Frame, frame, 0, 1);
    for (const char* button : {"cmdAISelectDevice", "cmdRange"})
        AddArray(c, K::Button, button, 0, 1);
    for (const char* label : {"Label1", "LabelAIDeviceNumber", "Label6", "labAIDeviceName", "Label8", "labAIResolution",
                              "Label3", "Label4"})
        AddArray(c, K::Label, label, 0, 1);
    AddArray(c, K::Label, "Label11", 0, 0);
    for (const char* box : {"txtAIScanStart", "txtAIScanNumber"})
        AddArray(c, K::Box, box, 0, 1);
    // The fast tab.
    Add(c, K::Frame, {"NonSoftSetting", "FrameFAITrigger"});
    Add(c, K::Label,
        {"Label27", "Label26", "Label25", "Label24", "Label23", "Label7", "Label10", "Label12", "Label17", "Label20",
         "Labelaftertime", "Label21", "Label19", "Label18"});
    Add(c, K::Box,
        {"txtCount", "txtSampleRate", "txtTriggerDelayTime", "txtTriggerAfterTimeinAboveMode", "txtTriggerVoltage"});
    Add(c, K::List, {"cmbDataReturnType", "cmbPacerSource", "cmbTriggerMode", "cmbTriggerEdge", "cmbTriggerSource"});
    Add(c, K::Check, {"chkCylic"});
    Add(c, K::Button, {"cmdFAIOK"});
    // The polled tab.
    Add(c, K::Frame, {"Frame3", "FrameDIScan"});
    Add(c, K::Label, {"labTimerInterval", "Label2", "Label16", "LabelDIDevNum", "Label15", "LabelDIDevName", "Label5"});
    AddArray(c, K::Label, "Label13", 0, 7);
    AddArray(c, K::Check, "CheckDIChannel", 0, 7);
    Add(c, K::Box, {"txtAITimeInterval"});
    Add(c, K::List, {"ComboDIPort"});
    Add(c, K::Button, {"DISelectDevice", "cmdDIOK"});
    return c;
}

std::vector<DeclaredControl> MakeGainRangeDialogControls()
{
    std::vector<DeclaredControl> c;
    Add(c, K::Report, {"lstViewGain"});
    Add(c, K::Frame, {"FrameAIorThermo", "FrameAIRange", "FrameSignalConnection", "FrameThermo"});
    Add(c, K::Option, {"OptAI", "OptThermo"}, "FrameAIorThermo");
    Add(c, K::Option, {"optSingle", "optDifferent"}, "FrameSignalConnection");
    Add(c, K::List, {"ComboRange", "ComboTCType", "ComboExpChan", "ComboScale"});
    Add(c, K::Label, {"Label1", "Label2", "Label3"});
    Add(c, K::Button, {"OKButton"});
    return c;
}

} // namespace

const std::vector<DeclaredControl>& SettingsDialogControls()
{
    static const std::vector<DeclaredControl> controls = MakeSettingsDialogControls();
    return controls;
}

const std::vector<DeclaredControl>& GainRangeDialogControls()
{
    static const std::vector<DeclaredControl> controls = MakeGainRangeDialogControls();
    return controls;
}

} // namespace ondrel
