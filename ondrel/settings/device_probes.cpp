#include "ondrel/settings/device_probes.h"

namespace ondrel {

namespace {

// A card that refuses the probe value outright has no such choice either.
template <typename Set>
bool TakesTwo(Set&& set, IKroAI& ai, int32_t (IKroAI::*get)() const)
{
    try {
        set(2);
    } catch (const ComponentError&) {
        return false;
    }
    return (ai.*get)() == 2;
}

} // namespace

PacerProbe ProbePacer(IKroAI& ai)
{
    const int32_t saved = ai.PacerSource();
    if (!TakesTwo([&](int32_t v) { ai.setPacerSource(v); }, ai, &IKroAI::PacerSource))
        return {};
    ai.setPacerSource(saved);
    if (ai.PacerSource() == 2) {
        ai.setPacerSource(1);
        return {true, 1};
    }
    return {true, ai.PacerSource()};
}

bool ProbeTrigger(IKroAI& ai)
{
    const int32_t saved = ai.TriggerMode();
    if (!TakesTwo([&](int32_t v) { ai.setTriggerMode(v); }, ai, &IKroAI::TriggerMode))
        return false;
    ai.setTriggerMode(saved);
    return true;
}

} // namespace ondrel
