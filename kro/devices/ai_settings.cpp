#include "kro/devices/ai_settings.h"
#include "kro/devices/device_error.h"
#include <cmath>

namespace kro {

void AiSettings::setDataReturnType(ondrel::SampleData type)
{
    if (type != ondrel::SampleData::RawCounts && type != ondrel::SampleData::Scaled)
        failWith(errorMessage_, "DataReturnType: " + std::to_string(ondrel::Code(type))
                                    + " is neither 1 (raw counts) nor 2 (scaled values)");
    dataReturnType_ = type;
}

void AiSettings::requireIdle(const char* what)
{
    if (bufferedRunActive())
        failWith(errorMessage_, std::string(what) + ": buffered acquisition is running");
}

void AiSettings::setTriggerAfterTime(double ms)
{
    if (!std::isfinite(ms) || ms < 0)
        failWith(errorMessage_, "TriggerAfterTime: " + messageNumber(ms) + " ms is not a valid time");
    triggerAfterTime_ = ms;
}

void AiSettings::setTriggerDelayTime(double ms)
{
    if (!std::isfinite(ms) || ms < 0)
        failWith(errorMessage_, "TriggerDelayTime: " + messageNumber(ms) + " ms is not a valid time");
    triggerDelayTime_ = ms;
}

void AiSettings::setTriggerVoltage(double volts)
{
    if (!std::isfinite(volts) || volts < -10.0 || volts > 10.0)
        failWith(errorMessage_, "TriggerVoltage: " + messageNumber(volts) + " V is outside -10 .. 10 V");
    triggerVoltage_ = volts;
}

void AiSettings::setTriggerEdge(ondrel::Edge edge)
{
    if (edge != ondrel::Edge::Rising && edge != ondrel::Edge::Falling)
        failWith(errorMessage_, "TriggerEdge: " + std::to_string(ondrel::Code(edge)) + " is not a trigger edge");
    triggerEdge_ = edge;
}

void AiSettings::setTriggerSource(ondrel::TriggerInput source)
{
    if (source < ondrel::TriggerInput::Digital || source > ondrel::TriggerInput::AI3)
        failWith(errorMessage_, "TriggerSource: " + std::to_string(ondrel::Code(source)) + " is not a trigger source");
    triggerSource_ = source;
}

void AiSettings::deliver(const FaiDelivery& d)
{
    if (d.kind == FaiDelivery::Kind::Failed)
        errorMessage_ = d.message;
    if (d.kind == FaiDelivery::Kind::Failed || d.kind == FaiDelivery::Kind::Finished)
        runEnded();
    if (sink_ != nullptr)
        forwardDelivery(d, *sink_);
}

} // namespace kro
