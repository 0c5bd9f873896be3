#pragma once
#include "ondrel/history/replay_state.h"
#include "ondrel/session/chooser_memory.h"
#include "ondrel/session/prompts.h"

namespace ondrel {

// Convert: the recording open for replay as text files in a new folder the
// operator chooses, with progress and Cancel.
class ConvertCommand {
public:
    // `decimal` is the decimal separator of the user's locale.
    ConvertCommand(IPrompts& prompts, ReplayState& replay, ChooserMemory& memory, char decimal)
        : prompts_(prompts), replay_(replay), memory_(memory), decimal_(decimal)
    {}

    void BtnHisConvert_Click();

private:
    IPrompts& prompts_;
    ReplayState& replay_;
    ChooserMemory& memory_;
    char decimal_;
};

} // namespace ondrel
