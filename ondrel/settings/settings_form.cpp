#include "ondrel/settings/settings_form.h"
#include "ondrel/settings/box_validation.h"
#include "ondrel/settings/channel_tables.h"
#include "ondrel/settings/device_probes.h"
#include "ondrel/settings/di_selection.h"
#include "ondrel/settings/box_numbers.h"
#include <algorithm>
#include <stdexcept>

namespace ondrel {

namespace {

std::string Element(const char* name, int index) { return std::string(name) + "_" + std::to_string(index); }

const std::vector<std::string> kDataReturnTypes{"Digital ", "Analog "};
const std::vector<std::string> kPacerSources{"Internal", "External clock 0"};
const std::vector<std::string> kTriggerModes{"None", "Post", "Delay", "About"};
const std::vector<std::string> kTriggerEdges{"Rising edge", "Falling edge"};
const std::vector<std::string> kTriggerSources{"Digital", "AI or AI0", "AI1", "AI2", "AI3"};

// The device's own words for a failure when it has some, else the failure's.
std::string DeviceMessage(const IKroAI& ai, const std::exception& error)
{
    const std::string message = ai.ErrorMessage();
    return message.empty() ? error.what() : message;
}

} // namespace

SettingsForm::SettingsForm(ISettingsFormView& view, const SettingsFormParts& parts)
    : view_(view), setup_(parts.setup), ai_(parts.ai), dio_(parts.dio), colors_(parts.colors), prompts_(parts.prompts)
{}

void SettingsForm::Form_Load()
{
    view_.SetText("txtAITimeInterval", std::to_string(setup_.nTimerInterval));
    // A device failing to answer is reported; the dialog opens with what was filled.
    try {
        GetAIPropertiesEx();
    } catch (const std::exception& error) {
        prompts_.MsgBox(DeviceMessage(ai_, error), "Form_Load");
    }
    try {
        GetDIProperties();
    } catch (const std::exception& error) {
        prompts_.MsgBox(error.what(), "Form_Load");
    }
    view_.ShowTab(setup_.bSoftMode ? 1 : 0);
}

void SettingsForm::EnableFAISetting(bool enable)
{
    for (const char* name : {"NonSoftSetting", "Label27", "txtCount", "Label26", "txtSampleRate", "Label25", "Label24",
                             "cmbDataReturnType", "chkCylic", "Label23", "cmbPacerSource"})
        view_.SetEnabled(name, enable);
}

void SettingsForm::EnableFAITriggerControls(bool enable)
{
    for (const char* name : {"FrameFAITrigger", "Label7", "cmbTriggerMode", "Label17", "txtTriggerDelayTime", "Label20",
                             "Label10", "cmbTriggerEdge", "Labelaftertime", "txtTriggerAfterTimeinAboveMode", "Label21",
                             "Label12", "cmbTriggerSource", "Label19", "txtTriggerVoltage", "Label18"})
        view_.SetEnabled(name, enable);
}

void SettingsForm::EnableChannelSetting(bool enable, int index)
{
    for (const char* name : {"SoftSetting", "Label3", "txtAIScanStart", "Label4", "txtAIScanNumber", "cmdRange"})
        view_.SetEnabled(Element(name, index), enable);
}

void SettingsForm::EnableDIControls(bool enable)
{
    for (const char* name : {"FrameDIScan", "Label5", "ComboDIPort"})
        view_.SetEnabled(name, enable);
    for (int b = 0; b < 8; ++b) {
        view_.SetEnabled(Element("CheckDIChannel", b), enable);
        view_.SetEnabled(Element("Label13", b), enable);
    }
}

void SettingsForm::GetAIPropertiesEx()
{
    if (ai_.DeviceNumber() < 0) {
        for (int i = 0; i < 2; ++i) {
            view_.SetText(Element("LabelAIDeviceNumber", i), "-1");
            view_.SetText(Element("labAIDeviceName", i), "No Device");
            EnableChannelSetting(false, i);
        }
        EnableFAISetting(false);
        EnableFAITriggerControls(false);
        return;
    }
    EnableChannelSetting(true, 0);
    EnableChannelSetting(true, 1);
    EnableFAISetting(true);
    for (int i = 0; i < 2; ++i) {
        view_.SetText(Element("LabelAIDeviceNumber", i), std::to_string(ai_.DeviceNumber()));
        view_.SetText(Element("labAIDeviceName", i), ai_.DeviceName());
        view_.SetText(Element("labAIResolution", i), std::to_string(ai_.AIResolution()));
        view_.SetText(Element("txtAIScanStart", i), std::to_string(ai_.ChanStart()));
        view_.SetText(Element("txtAIScanNumber", i), std::to_string(ai_.ChanCount()));
    }
    view_.SetText("txtCount", std::to_string(setup_.nAISampleCnt));
    view_.SetText("txtSampleRate", ShortestReal(ai_.SampleRate()));
    view_.SetItems("cmbDataReturnType", kDataReturnTypes);
    view_.Select("cmbDataReturnType", ai_.DataReturnType() == SampleData::RawCounts ? 0 : 1);
    view_.SetChecked("chkCylic", setup_.bFAICyclic);
    view_.SetEnabled("txtCount", !setup_.bFAICyclic);

    view_.SetItems("cmbPacerSource", {});
    const PacerProbe pacer = ProbePacer(ai_);
    view_.SetEnabled("cmbPacerSource", pacer.offersChoice);
    view_.SetEnabled("Label23", pacer.offersChoice);
    if (pacer.offersChoice) {
        view_.SetItems("cmbPacerSource", kPacerSources);
        view_.Select("cmbPacerSource", pacer.position);
    }

    if (!ProbeTrigger(ai_)) {
        EnableFAITriggerControls(false);
        return;
    }
    EnableFAITriggerControls(true);
    view_.SetItems("cmbTriggerMode", kTriggerModes);
    view_.SetItems("cmbTriggerEdge", kTriggerEdges);
    view_.SetItems("cmbTriggerSource", kTriggerSources);
    view_.Select("cmbTriggerMode", Code(ai_.TriggerMode()));
    view_.Select("cmbTriggerEdge", Code(ai_.TriggerEdge()));
    view_.Select("cmbTriggerSource", Code(ai_.TriggerSource()));
    view_.SetText("txtTriggerDelayTime", ShortestReal(ai_.TriggerDelayTime()));
    view_.SetText("txtTriggerAfterTimeinAboveMode", ShortestReal(ai_.TriggerAfterTime()));
    view_.SetText("txtTriggerVoltage", ShortestReal(ai_.TriggerVoltage()));
}

void SettingsForm::GetDIProperties()
{
    if (dio_.DeviceNumber() < 0) {
        view_.SetText("LabelDIDevNum", "-1");
        view_.SetText("LabelDIDevName", "No Device");
        EnableDIControls(false);
        return;
    }
    view_.SetEnabled("FrameDIScan", true);
    view_.SetEnabled("txtAITimeInterval", true);
    view_.SetText("LabelDIDevNum", std::to_string(dio_.DeviceNumber()));
    view_.SetText("LabelDIDevName", dio_.DeviceName());
    const int32_t ports = dio_.PortCount();
    std::vector<std::string> items;
    items.reserve(static_cast<size_t>(std::max(ports, 0)));
    for (int32_t p = 0; p < ports; ++p)
        items.push_back(std::to_string(p));
    view_.SetItems("ComboDIPort", items);
    if (ports < 1) {
        EnableDIControls(false);
        return;
    }
    view_.Select("ComboDIPort", 0);
    ComboDIPort_Click();
}

void SettingsForm::cmdAISelectDevice_Click(int index)
{
    try {
        ai_.SelectDevice();
        if (ai_.DeviceNumber() >= 0)
            ResetAIThermoTables(setup_, ai_.MaxChanCount());
        InitAIChannelTables(setup_, ai_, colors_);
        setup_.nAISampleCnt = 4096;
        setup_.bFAICyclic = true;
        // The same device chosen again keeps what the boxes show.
        if (view_.Text(Element("labAIDeviceName", index)) != ai_.DeviceName())
            GetAIPropertiesEx();
    } catch (const std::exception& error) {
        prompts_.MsgBox(DeviceMessage(ai_, error), "");
    }
}

void SettingsForm::DISelectDevice_Click()
{
    try {
        dio_.SelectDevice();
        if (view_.Text("LabelDIDevName") == dio_.DeviceName())
            return;
        // Another device: its own masks, and no line of the old one stays chosen,
        // so nothing is polled from ports the new device may not have.
        const int32_t ports = dio_.DeviceNumber() >= 0 ? dio_.PortCount() : 0;
        setup_.nDIMaxPortCount = ports;
        setup_.nDIPortMask.assign(static_cast<size_t>(std::max(ports, 0)) + 1, 0);
        const DISpan none = ReduceDIMasks(setup_.nDIPortMask, ports);
        setup_.nDIChanCount = none.nDIChanCount;
        setup_.nDIPortStart = none.nDIPortStart;
        setup_.nDIPortCount = none.nDIPortCount;
        result_.diSwitchOff = true;
        EnableDIControls(ports >= 1);
        InitDIChannelTables(setup_, dio_);
        GetDIProperties();
    } catch (const std::exception& error) {
        prompts_.MsgBox(error.what(), "");
    }
}

void SettingsForm::chkCylic_Click() { view_.SetEnabled("txtCount", !view_.Checked("chkCylic")); }

void SettingsForm::ComboDIPort_Click()
{
    const uint8_t mask = setup_.PortMask(view_.Selected("ComboDIPort"));
    for (int b = 0; b < 8; ++b)
        view_.SetChecked(Element("CheckDIChannel", b), (mask >> b) & 1u);
}

void SettingsForm::CheckDIChannel_Click(int bit)
{
    const int port = view_.Selected("ComboDIPort");
    if (port < 0 || static_cast<size_t>(port) >= setup_.nDIPortMask.size() || bit < 0 || bit > 7)
        return;
    uint8_t& mask = setup_.nDIPortMask[static_cast<size_t>(port)];
    const auto line = static_cast<uint8_t>(1u << bit);
    mask = view_.Checked(Element("CheckDIChannel", bit)) ? static_cast<uint8_t>(mask | line)
                                                         : static_cast<uint8_t>(mask & ~line);
}

void SettingsForm::cmdRange_Click(int index)
{
    nRangeIndex_ = index;
    try {
        view_.ShowGainRange();
    } catch (const std::exception& error) {
        prompts_.MsgBox(DeviceMessage(ai_, error), "");
    }
}

bool SettingsForm::Box_LostFocus(const std::string& box)
{
    const auto rejection = CheckBox(box, view_.Text(box));
    if (!rejection)
        return true;
    prompts_.MsgBox(rejection->message, "");
    view_.SetText(box, rejection->resetText);
    return false;
}

bool SettingsForm::RecheckBoxes(std::initializer_list<const char*> boxes)
{
    for (const char* box : boxes)
        if (view_.IsEnabled(box) && !Box_LostFocus(box))
            return false;
    return true;
}

int32_t SettingsForm::WholeNumberOf(const std::string& box, const char* caption) const
{
    const std::string text = view_.Text(box);
    if (const auto value = ParseWholeNumber(text))
        return *value;
    throw std::invalid_argument(std::string(caption) + ": \"" + text + "\" is not a whole number");
}

double SettingsForm::RealOf(const std::string& box, const char* caption) const
{
    const std::string text = view_.Text(box);
    if (const auto value = ParseReal(text))
        return *value;
    throw std::invalid_argument(std::string(caption) + ": \"" + text + "\" is not a number");
}

void SettingsForm::SetFAIProperties()
{
    if (ai_.DeviceNumber() < 0)
        return;
    ai_.setChanStart(WholeNumberOf("txtAIScanStart_0", "ChanStart"));
    ai_.setChanCount(WholeNumberOf("txtAIScanNumber_0", "ChanCount"));
    // The lists show the codes in order, so a position is its code (plus one for the data type).
    ai_.setDataReturnType(static_cast<SampleData>(view_.Selected("cmbDataReturnType") + 1));
    setup_.nAISampleCnt = WholeNumberOf("txtCount", "Data Count");
    setup_.bFAICyclic = view_.Checked("chkCylic");
    ai_.setPacerSource(static_cast<Pacer>(view_.Selected("cmbPacerSource")));
    ai_.setSampleRate(RealOf("txtSampleRate", "Sample Rate"));
    view_.SetText("txtSampleRate", ShortestReal(ai_.SampleRate()));
    if (!view_.IsEnabled("FrameFAITrigger"))
        return;
    ai_.setTriggerMode(static_cast<Trigger>(view_.Selected("cmbTriggerMode")));
    ai_.setTriggerEdge(static_cast<Edge>(view_.Selected("cmbTriggerEdge")));
    ai_.setTriggerSource(static_cast<TriggerInput>(view_.Selected("cmbTriggerSource")));
    ai_.setTriggerDelayTime(RealOf("txtTriggerDelayTime", "AfterTime"));
    ai_.setTriggerAfterTime(RealOf("txtTriggerAfterTimeinAboveMode", "BeforeTime"));
    ai_.setTriggerVoltage(RealOf("txtTriggerVoltage", "Trig Voltage"));
}

void SettingsForm::cmdFAIOK_Click()
{
    // A value typed and confirmed at once gets the same checks as on leaving its box.
    if (!RecheckBoxes({"txtAIScanStart_0", "txtAIScanNumber_0", "txtCount", "txtSampleRate", "txtTriggerDelayTime",
                       "txtTriggerAfterTimeinAboveMode", "txtTriggerVoltage"}))
        return;
    try {
        SetFAIProperties();
    } catch (const std::exception& error) {
        prompts_.MsgBox(error.what(), "");
        return;
    }
    result_.outcome = SettingsResult::Outcome::FastOk;
    view_.Close();
}

void SettingsForm::SetDIProperties()
{
    if (dio_.DeviceNumber() < 0)
        return;
    try {
        const DISpan span = ReduceDIMasks(setup_.nDIPortMask, dio_.PortCount());
        setup_.nDIChanCount = span.nDIChanCount;
        setup_.nDIPortStart = span.nDIPortStart;
        setup_.nDIPortCount = span.nDIPortCount;
    } catch (const std::exception&) {
        setup_.nDIPortCount = 0; // a device that does not answer polls nothing
    }
    if (setup_.nDIPortCount == 0)
        result_.diSwitchOff = true;
}

void SettingsForm::cmdDIOK_Click()
{
    if (!RecheckBoxes({"txtAIScanStart_1", "txtAIScanNumber_1", "txtAITimeInterval"}))
        return;
    setup_.bSoftMode = true;
    SetDIProperties();
    try {
        if (ai_.DeviceNumber() >= 0) {
            ai_.setChanStart(WholeNumberOf("txtAIScanStart_1", "ChanStart"));
            ai_.setChanCount(WholeNumberOf("txtAIScanNumber_1", "ChanCount"));
        }
        setup_.nTimerInterval = WholeNumberOf("txtAITimeInterval", "Interval");
    } catch (const std::exception& error) {
        prompts_.MsgBox(error.what(), "");
        return;
    }
    // The span now matches the lines chosen on whichever DI device is chosen:
    // DI goes off only when it is empty, even after a change of device.
    result_.diSwitchOff = setup_.nDIPortCount == 0;
    result_.outcome = SettingsResult::Outcome::PolledOk;
    view_.Close();
}

} // namespace ondrel
