#include "ondrel/settings/gain_range_form.h"
#include "ondrel/common/device_family.h"
#include "ondrel/common/thermocouple_names.h"
#include "ondrel/settings/gain_list.h"
#include "ondrel/settings/range_text.h"

namespace ondrel {

namespace {

constexpr const char* kList = "lstViewGain";
enum Column { kChannel, kLogical, kConnection, kKind, kRangeOrType, kExpChan };

std::string TypeName(uint8_t type)
{
    const auto& names = TCTypeNames();
    return type < names.size() ? names[type] : "";
}

} // namespace

GainRangeForm::GainRangeForm(IFormView& view, const GainRangeParts& parts)
    : view_(view), setup_(parts.setup), ai_(parts.ai), thermo_(parts.thermo), prompts_(parts.prompts),
      fromFastTab_(parts.fromFastTab)
{}

AIChannelSetting* GainRangeForm::Row(int32_t channel)
{
    return channel >= 0 && static_cast<size_t>(channel) < setup_.aiChannels.size()
               ? &setup_.aiChannels[static_cast<size_t>(channel)]
               : nullptr;
}

void GainRangeForm::SwitchOn(const char* option)
{
    view_.SetChecked(option, true);
    const std::string name = option;
    if (name == "OptAI")
        OptAI_Click();
    else if (name == "OptThermo")
        OptThermo_Click();
    else if (name == "optSingle")
        optSingle_Click();
    else
        optDifferent_Click();
}

void GainRangeForm::SelectAndClick(const char* list, int position)
{
    view_.Select(list, position);
    if (view_.Selected(list) < 0)
        return;
    const std::string name = list;
    if (name == "ComboRange")
        ComboRange_Click();
    else if (name == "ComboTCType")
        ComboTCType_Click();
    else if (name == "ComboScale")
        ComboScale_Click();
    else
        ComboExpChan_Click();
}

void GainRangeForm::EnableThermoSetting(bool enable)
{
    for (const char* name : {"FrameThermo", "Label1", "Label2", "ComboTCType", "ComboScale", "Label3", "ComboExpChan"})
        view_.SetEnabled(name, enable);
}

void GainRangeForm::EnableSignalConnectionFrame(bool enable)
{
    for (const char* name : {"FrameSignalConnection", "optSingle", "optDifferent"})
        view_.SetEnabled(name, enable);
}

void GainRangeForm::EnableAIThermoFrame(bool enable)
{
    for (const char* name : {"OptAI", "OptThermo", "FrameAIorThermo"})
        view_.SetEnabled(name, enable);
}

void GainRangeForm::Form_Load()
{
    try {
        LoadChannels();
        ShowThermoAvailability();
        ProbeConnection();
    } catch (const std::exception& error) {
        prompts_.MsgBox(error.what(), "");
    }
}

void GainRangeForm::LoadChannels()
{
    const int32_t channels = ai_.MaxChanCount();
    view_.SetRowCount(kList, channels);
    for (int32_t ch = 0; ch < channels; ++ch)
        view_.SetCell(kList, ch, kChannel, ChannelLabel(ch));
    std::vector<std::string> ranges;
    for (const InputRange& r : WalkRanges(ai_))
        ranges.push_back(RangeText(r.low, r.high));
    view_.SetItems("ComboRange", ranges);
    view_.SetItems("ComboTCType", {TCTypeNames().begin(), TCTypeNames().begin() + 7});
    view_.SetItems("ComboScale", TempScaleNames());
    std::vector<std::string> expansion;
    expansion.reserve(16);
    for (int i = 0; i < 16; ++i)
        expansion.push_back(std::to_string(i));
    view_.SetItems("ComboExpChan", expansion);
    RefreshGainList();

    ai_.setChannel(0);
    SwitchOn(ai_.SignalConnection() == Connection::SingleEnded ? "optSingle" : "optDifferent");
    SwitchOn(IsThermo(0) ? "OptThermo" : "OptAI");
    if (IsThermo(0)) {
        EnableThermoSetting(true);
        SelectAndClick("ComboTCType", setup_.AIChannel(0).nAIChanTCType);
        SelectAndClick("ComboScale", setup_.AIChannel(0).nAIChanTempScale);
    } else {
        SelectChannelRange(0);
        EnableThermoSetting(false);
    }
}

// Thermocouples are offered on the cards that carry them, with the
// thermocouple device on the AI card's number; from the fast tab, or when that
// device has nothing there, the thermocouple device goes back to its number.
void GainRangeForm::ShowThermoAvailability()
{
    if (!CarriesThermocouples(ai_.DeviceName())) {
        EnableAIThermoFrame(false);
        return;
    }
    const int32_t saved = thermo_.DeviceNumber();
    thermo_.setDeviceNumber(ai_.DeviceNumber());
    if (thermo_.DeviceName() == "No Device" || fromFastTab_) {
        EnableAIThermoFrame(false);
        thermo_.setDeviceNumber(saved);
        return;
    }
    EnableAIThermoFrame(true);
}

// Whether channel 0 takes the other connection: written, read back, and put
// back with channel 1's range, which pairing may have changed.
void GainRangeForm::ProbeConnection()
{
    const Connection saved = ai_.SignalConnection();
    const bool hasChannel1 = ai_.MaxChanCount() > 1;
    InputRange channel1;
    if (hasChannel1)
        ai_.GetChannelRange(1, channel1.low, channel1.high, channel1.code);
    const Connection other = saved == Connection::SingleEnded ? Connection::Differential : Connection::SingleEnded;
    bool taken = true;
    try {
        ai_.setSignalConnection(other);
        taken = ai_.SignalConnection() == other;
    } catch (const ComponentError&) {
        taken = false;
    }
    if (ReportsOwnChannels(ai_.DeviceName()) || !taken)
        EnableSignalConnectionFrame(false);
    ai_.setSignalConnection(saved);
    if (hasChannel1)
        ai_.SetChannelRange(1, channel1.low, channel1.high);
}

void GainRangeForm::RefreshGainList()
{
    const int32_t saved = ai_.Channel();
    const int32_t channels = ai_.MaxChanCount();
    std::vector<int32_t> connections;
    for (int32_t ch = 0; ch < channels; ++ch) {
        ai_.setChannel(ch);
        thermo_.setThermoChannel(ch);
        connections.push_back(Code(IsThermo(ch) ? thermo_.SignalConnection() : ai_.SignalConnection()));
    }
    const auto logical = GainListLogicalNumbers(connections, ReportsOwnChannels(ai_.DeviceName()));
    for (int32_t ch = 0; ch < channels; ++ch) {
        const auto i = static_cast<size_t>(ch);
        view_.SetCell(kList, ch, kConnection,
                      connections[i] == Code(Connection::SingleEnded) ? "Single-Ended" : "Differential");
        view_.SetCell(kList, ch, kLogical, ChannelLabel(logical[i]));
        const AIChannelSetting& row = setup_.AIChannel(ch);
        if (row.bAIChanIsThermo) {
            view_.SetCell(kList, ch, kKind, "Thermo");
            view_.SetCell(kList, ch, kRangeOrType, TypeName(row.nAIChanTCType));
            view_.SetCell(kList, ch, kExpChan, std::to_string(row.nAIChanExpChan));
        } else {
            InputRange r;
            ai_.GetChannelRange(ch, r.low, r.high, r.code);
            view_.SetCell(kList, ch, kKind, "AI");
            view_.SetCell(kList, ch, kRangeOrType, RangeText(r.low, r.high));
            view_.SetCell(kList, ch, kExpChan, "NA");
        }
    }
    ai_.setChannel(saved);
    thermo_.setThermoChannel(saved);
}

void GainRangeForm::SelectChannelRange(int32_t channel)
{
    const auto position = ChannelRangePosition(ai_, channel);
    SelectAndClick("ComboRange", position ? *position : -1);
}

void GainRangeForm::lstViewGain_ItemClick(int row)
{
    try {
        ai_.setChannel(row);
        thermo_.setThermoChannel(row);
        const bool thermo = IsThermo(row);
        SwitchOn(thermo ? "OptThermo" : "OptAI");
        const Connection connection = thermo ? thermo_.SignalConnection() : ai_.SignalConnection();
        SwitchOn(connection == Connection::SingleEnded ? "optSingle" : "optDifferent");
        if (thermo) {
            EnableThermoSetting(true);
            SelectAndClick("ComboTCType", setup_.AIChannel(row).nAIChanTCType);
            SelectAndClick("ComboScale", setup_.AIChannel(row).nAIChanTempScale);
        } else {
            SelectChannelRange(row);
            EnableThermoSetting(false);
        }
    } catch (const std::exception& error) {
        prompts_.MsgBox(error.what(), "");
    }
}

void GainRangeForm::ComboRange_Click()
{
    const int position = view_.Selected("ComboRange");
    const std::vector<InputRange> ranges = WalkRanges(ai_);
    if (position < 0 || static_cast<size_t>(position) >= ranges.size())
        return;
    try {
        InputRange r = ranges[static_cast<size_t>(position)];
        ai_.SetChannelRange(Current(), r.low, r.high);
        RefreshGainList();
    } catch (const std::exception& error) {
        prompts_.MsgBox(error.what(), "");
    }
}

void GainRangeForm::ComboTCType_Click()
{
    const int type = view_.Selected("ComboTCType");
    if (type < 0)
        return;
    const int32_t channel = Current();
    if (AIChannelSetting* row = Row(channel))
        row->nAIChanTCType = static_cast<uint8_t>(type);
    thermo_.setThermoChannel(channel);
    if (thermo_.SignalConnection() == Connection::Differential)
        if (AIChannelSetting* partner = Row(PairPartner(thermo_.ThermoChannel())))
            partner->nAIChanTCType = static_cast<uint8_t>(type);
    RefreshGainList();
}

// The scale is one setting for every channel.
void GainRangeForm::ComboScale_Click()
{
    const int scale = view_.Selected("ComboScale");
    if (scale < 0)
        return;
    for (int32_t ch = 0; ch < ai_.MaxChanCount(); ++ch)
        if (AIChannelSetting* row = Row(ch))
            row->nAIChanTempScale = static_cast<uint8_t>(scale);
}

void GainRangeForm::ComboExpChan_Click()
{
    const int expansion = view_.Selected("ComboExpChan");
    const int32_t channel = Current();
    AIChannelSetting* row = Row(channel);
    if (expansion < 0 || row == nullptr)
        return;
    row->nAIChanExpChan = static_cast<uint8_t>(expansion);
    view_.SetCell(kList, channel, kExpChan, std::to_string(expansion));
}

void GainRangeForm::OptThermo_Click()
{
    EnableThermoSetting(true);
    view_.SetEnabled("FrameAIRange", false);
    view_.SetEnabled("ComboRange", false);
    const int32_t channel = Current();
    AIChannelSetting* row = Row(channel);
    if (row == nullptr)
        return;
    if (ReportsOwnChannels(ai_.DeviceName()))
        row->bAIChanIsThermo = true;
    if (!row->bAIChanIsThermo) {
        row->bAIChanIsThermo = true;
        // A differential pair is one thermocouple.
        if (ai_.SignalConnection() == Connection::Differential)
            if (AIChannelSetting* partner = Row(PairPartner(channel)))
                partner->bAIChanIsThermo = true;
        thermo_.setThermoChannel(channel);
        thermo_.setSignalConnection(ai_.SignalConnection());
    }
    RefreshGainList();
    const AIChannelSetting& now = setup_.AIChannel(channel);
    SelectAndClick("ComboTCType", now.nAIChanTCType);
    SelectAndClick("ComboScale", now.nAIChanTempScale);
    SelectAndClick("ComboExpChan", now.nAIChanExpChan);
}

void GainRangeForm::OptAI_Click()
{
    EnableThermoSetting(false);
    view_.SetEnabled("FrameAIRange", true);
    view_.SetEnabled("ComboRange", true);
    const int32_t channel = Current();
    AIChannelSetting* row = Row(channel);
    if (row == nullptr)
        return;
    if (ReportsOwnChannels(ai_.DeviceName()))
        row->bAIChanIsThermo = false;
    if (row->bAIChanIsThermo) {
        row->bAIChanIsThermo = false;
        if (thermo_.SignalConnection() == Connection::Differential)
            if (AIChannelSetting* partner = Row(PairPartner(thermo_.ThermoChannel())))
                partner->bAIChanIsThermo = false;
    }
    RefreshGainList();
    InputRange r;
    ai_.GetChannelRange(channel, r.low, r.high, r.code);
    view_.SetCell(kList, channel, kRangeOrType, RangeText(r.low, r.high));
    view_.SetCell(kList, channel, kExpChan, "NA");
    SelectChannelRange(channel);
}

void GainRangeForm::optSingle_Click()
{
    if (!view_.IsEnabled("optSingle"))
        return;
    try {
        thermo_.setSignalConnection(Connection::SingleEnded);
        ai_.setSignalConnection(Connection::SingleEnded);
        RefreshGainList();
    } catch (const std::exception& error) {
        prompts_.MsgBox(error.what(), "");
    }
}

void GainRangeForm::optDifferent_Click()
{
    if (!view_.IsEnabled("optDifferent") || ReportsOwnChannels(ai_.DeviceName()))
        return;
    try {
        thermo_.setSignalConnection(Connection::Differential);
        ai_.setSignalConnection(Connection::Differential);
        CopyPairSettings(setup_, Current());
        if (RecheckKindAfterPairing(thermo_.DeviceName()))
            SwitchOn(IsThermo(Current()) ? "OptThermo" : "OptAI");
        RefreshGainList();
    } catch (const std::exception& error) {
        const std::string message = ai_.ErrorMessage();
        prompts_.MsgBox(message.empty() ? error.what() : message, "");
    }
}

void GainRangeForm::OKButton_Click() { view_.Close(); }

} // namespace ondrel
