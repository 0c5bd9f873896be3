#include "ondrel/settings/device_probes.h"

namespace ondrel {

namespace {

// A card that refuses the probe value outright has no such choice either.
template <typename Code>
bool Takes(Code probe, IKroAI& ai, void (IKroAI::*set)(Code), Code (IKroAI::*get)() const)
{
    try {
        (ai.*set)(probe);
    } catch (const ComponentError&) {
        return false;
    }
    return (ai.*get)() == probe;
}

} // namespace

PacerProbe ProbePacer(IKroAI& ai)
{
    const Pacer saved = ai.PacerSource();
    if (!Takes(Pacer::Either, ai, &IKroAI::setPacerSource, &IKroAI::PacerSource))
        return {};
    ai.setPacerSource(saved);
    if (ai.PacerSource() == Pacer::Either) {
        ai.setPacerSource(Pacer::ExternalClock);
        return {true, Code(Pacer::ExternalClock)};
    }
    return {true, Code(ai.PacerSource())};
}

bool ProbeTrigger(IKroAI& ai)
{
    const Trigger saved = ai.TriggerMode();
    if (!Takes(Trigger::Delay, ai, &IKroAI::setTriggerMode, &IKroAI::TriggerMode))
        return false;
    ai.setTriggerMode(saved);
    return true;
}

} // namespace ondrel
