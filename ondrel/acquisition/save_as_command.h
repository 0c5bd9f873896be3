#pragma once
#include "ondrel/acquisition/run_status.h"
#include "ondrel/session/chooser_memory.h"
#include "ondrel/session/prompts.h"

namespace ondrel {

class RecordingFiles;

// Save As: copies the last run out of the working folder into a project folder
// the operator chooses.
class SaveAsCommand {
public:
    SaveAsCommand(IPrompts& prompts, RecordingFiles* files, const RunStatus& run, ChooserMemory& memory)
        : prompts_(prompts), files_(files), run_(run), memory_(memory)
    {}

    void BtnSaveAs_Click();

private:
    IPrompts& prompts_;
    RecordingFiles* files_; // none when no working folder could be made
    const RunStatus& run_;
    ChooserMemory& memory_;
};

} // namespace ondrel
