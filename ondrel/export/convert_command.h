#pragma once
#include "ondrel/history/opened_recording.h"
#include "ondrel/common/chooser_memory.h"
#include "ondrel/common/prompts.h"

namespace ondrel {

// Convert: the recording open for replay in the format the operator chooses
// (tab-separated text unless told otherwise), in a new folder, with progress
// and Cancel.
class ConvertCommand {
public:
    // The text's numbers are written with NumericLocaleDecimal(), as
    // ondrel-convert writes them.
    ConvertCommand(IPrompts& prompts, IOpenedRecording& recording, ChooserMemory& memory)
        : prompts_(prompts), recording_(recording), memory_(memory)
    {}

    void BtnHisConvert_Click();

private:
    IPrompts& prompts_;
    IOpenedRecording& recording_;
    ChooserMemory& memory_;
};

} // namespace ondrel
