#include "ondrel/acquisition/soft_polling.h"
#include "ondrel/components/component_error.h"
#include "ondrel/graph/chart_length.h"
#include "ondrel/graph/plot_setup.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/common/channel_map.h"
#include "ondrel/common/device_family.h"
#include "ondrel/common/rounding.h"

namespace ondrel {

namespace {

bool IsThermo(const AcquisitionSetup& setup, int32_t physical) { return setup.AIChannel(physical).bAIChanIsThermo; }

constexpr double kThermoRangeLow = -0.005;
constexpr double kThermoRangeHigh = 0.005;

} // namespace

void SoftPolling::SoftPoolStart(const std::function<void()>& tick)
{
    const AcquisitionSetup& s = c_.setup;
    if (s.bDIEnabled) {
        IKroAxis& di = c_.graph.Axes().Item(kDIAxis);
        di.setAutoScale(false);
        di.SetRange(15.0 * s.nDIPortStart - 1, 15.0 * s.nDIPortStart + 30.0 * s.nDIPortCount - 1);
    }
    c_.timeBase.dDIVValue = 10.0 / 10.0;
    c_.led.setValue(1.0);

    IKroAxis& time = c_.graph.Axes().Item(kTimeAxis);
    time.SetRange(0, 10);
    c_.graph.setChartLength(PolledStartChartLength(s.nTimerInterval, time.Maximum() - time.Minimum()));

    if (s.bAIEnabled) {
        if (c_.ai.DeviceNumber() < 0) {
            c_.stopRun();
            throw ComponentError("No AI device is selected");
        }
        if (c_.thermo.DeviceNumber() >= 0)
            PrepareThermoChannels();
    }
    if (s.bDIEnabled) {
        if (c_.dio.DeviceNumber() < 0) {
            c_.stopRun();
            throw ComponentError("No DI device is selected");
        }
        c_.Files().WriteDIHeader(s.nDIPortStart, s.nDIPortCount);
    }

    c_.pollingThread.Start(s.nTimerInterval, tick);
}

void SoftPolling::PrepareThermoChannels()
{
    const std::string name = c_.ai.DeviceName();
    const int32_t maxChan = c_.ai.MaxChanCount();
    const std::vector<int32_t> connection = c_.setup.AIConnections();
    for (int32_t p : PlotPhysicalChannels(name, maxChan, connection, c_.ai.ChanStart(), c_.ai.ChanCount())) {
        if (!IsThermo(c_.setup, p))
            continue;
        if (!ReportsOwnChannels(name)) {
            int32_t channel = p;
            c_.thermo.SetThermoChannelRange(channel, kThermoRangeLow, kThermoRangeHigh);
            c_.thermo.setThermoChannel(p);
        } else if (DoublesDifferentialThermoChannel(name)) {
            int32_t channel = c_.ai.SignalConnection() == Connection::Differential ? 2 * p : p;
            c_.thermo.SetThermoChannelRange(channel, kThermoRangeLow, kThermoRangeHigh);
        }
    }
}

void SoftPolling::SoftPoolTimerPorc()
{
    c_.run.nSoftTickCount += 1;
    if ((c_.setup.bAIEnabled && c_.setup.bAISaveToDisk) || (c_.setup.bDIEnabled && c_.setup.bDISaveToDisk))
        c_.Files().BeginPolledScan();
    if (c_.setup.bAIEnabled)
        PollAI();
    if (c_.setup.bDIEnabled && !PollDI())
        throw ReadFailure(c_.dio.ErrorMessage());
    c_.run.nScanCount += 1;
}

float SoftPolling::TimeStamp() const
{
    return static_cast<float>(ElapsedMs(c_.run.nStartTicks, c_.clock.TickCount()) / 1000.0);
}

int32_t SoftPolling::ThermoChannelNumber(int32_t physical, const std::string& deviceName)
{
    if (DoublesDifferentialThermoChannel(deviceName) && c_.ai.SignalConnection() == Connection::Differential)
        return 2 * physical;
    return physical;
}

void SoftPolling::PollAI()
{
    const std::string name = c_.ai.DeviceName();
    const int32_t maxChan = c_.ai.MaxChanCount();
    const int32_t chanStart = c_.ai.ChanStart();
    const int32_t chanCount = c_.ai.ChanCount();
    c_.setup.AIConnections(connections_);
    const auto& connection = connections_;
    const int32_t effective = EffectiveChannelCount(name, maxChan, connection);

    bool allThermo = false;
    if (ReportsOwnChannels(name) && effective > 0) {
        allThermo = true;
        for (int32_t i = 0; i < chanCount && allThermo; ++i)
            allThermo = IsThermo(c_.setup, (chanStart + i) % effective);
    }
    std::vector<double> values =
        allThermo ? std::vector<double>(static_cast<size_t>(chanCount), 0.0) : c_.ai.ReadScan(true);
    values.resize(static_cast<size_t>(std::max(chanCount, 0)), 0.0);

    const int32_t first = LogicalChannel(name, maxChan, connection, chanStart);
    for (int32_t i = 0; i < chanCount; ++i) {
        int32_t logical = effective > 0 ? (first + i) % effective : 0;
        const int32_t p = PhysicalChannel(name, maxChan, connection, logical);
        const AIChannelSetting& channel = c_.setup.AIChannel(p);
        if (!channel.bAIChanIsThermo)
            continue;
        c_.thermo.setThermoChannel(ThermoChannelNumber(p, name));
        c_.thermo.setTCType(static_cast<Thermocouple>(channel.nAIChanTCType));
        c_.thermo.setTempScale(static_cast<TemperatureScale>(channel.nAIChanTempScale));
        c_.thermo.setExpChan(channel.nAIChanExpChan);
        values[static_cast<size_t>(i)] = c_.thermo.Temperature();
    }

    const float t = TimeStamp();
    scan_.assign(values.begin(), values.end());
    chart_.PlotAI(t, scan_);
    if (c_.setup.bAISaveToDisk) {
        c_.Files().AppendAIRecord(scan_);
        c_.run.bAIDataSaved = true;
    }
}

bool SoftPolling::PollDI()
{
    AcquisitionSetup& s = c_.setup; // the card may correct the port range it is given
    ports_.assign(static_cast<size_t>(std::max(s.nDIPortCount, 0)), 0);
    if (!c_.dio.ReadPorts(ports_, s.nDIPortStart, s.nDIPortCount))
        return false;
    const double t = ElapsedMs(c_.run.nStartTicks, c_.clock.TickCount()) / 1000.0;
    const int32_t firstPlot = c_.ai.ChanCount();
    levels_.clear();
    for (int32_t b = 0; b < s.nDIPortCount && static_cast<size_t>(b) < ports_.size(); ++b) {
        const int32_t port = s.nDIPortStart + b;
        const uint8_t mask = s.PortMask(port);
        for (int32_t k = 0; k < 8; ++k) {
            const uint8_t bit = static_cast<uint8_t>(1u << k);
            if ((mask & bit) != bit)
                continue;
            // Lines stack 1.5 apart within a port, ports a further 3 apart.
            levels_.push_back(((ports_[static_cast<size_t>(b)] & bit) ? 1.0 : 0.0) + 1.5 * (8 * port + k) + 3.0 * port);
        }
    }
    chart_.PlotDI(t, firstPlot, levels_);
    if (s.bDISaveToDisk) {
        c_.Files().AppendDIRecord(ports_);
        c_.run.bDIDataSaved = true;
    }
    return true;
}

} // namespace ondrel
