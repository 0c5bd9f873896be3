#pragma once
#include "ondrel/recording/interrupted_run.h"
#include "ondrel/common/prompts.h"

#include <span>
#include <string>

namespace ondrel {

// The offer for one interrupted run: when it started, how much it holds, where.
std::string RecoveryQuestion(const InterruptedRun& run);

// At start-up: offers every interrupted run in `parents` to be saved (into a
// folder the Save As chooser gives) or discarded. A run saved or discarded is
// removed with its folder; one kept for later, or whose saving failed (the
// message is shown, titled "Recovery"), stays where it is.
void OfferInterruptedRuns(IPrompts& prompts, std::span<const std::string> parents);

} // namespace ondrel
