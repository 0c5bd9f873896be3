#pragma once
#include "ondrel/components/ai_device.h"

namespace ondrel {

// Whether the card offers a pacer choice, learnt by writing Either to
// PacerSource and reading it back, and the list position the choice shows. A
// card that takes Either gets its value back; one still at Either (external
// clock 0 in the old numbering) is rewritten as ExternalClock. Without a choice, position is -1 and the
// probed value is left as the card keeps it.
struct PacerProbe {
    bool offersChoice = false;
    int32_t position = -1;
};
PacerProbe ProbePacer(IKroAI& ai);

// Whether the card has triggers, learnt the same way through TriggerMode (by
// writing Delay); a
// card that has them gets its mode back.
bool ProbeTrigger(IKroAI& ai);

} // namespace ondrel
