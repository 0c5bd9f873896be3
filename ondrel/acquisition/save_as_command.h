#pragma once
#include "ondrel/acquisition/run_status.h"
#include "ondrel/common/chooser_memory.h"
#include "ondrel/common/prompts.h"
#include <optional>
#include <string>

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
    // Save As; whether the recording was saved (not when the operator
    // cancelled or the copy failed, which is shown).
    bool SaveAs();
    // The last run recorded something that no Save As has copied out yet, and
    // that goes when the program ends.
    bool HasUnsavedRecording() const;

private:
    // The folder to save into, asked until it is new or the operator agrees to
    // replace the project it holds; nothing when cancelled.
    std::optional<std::string> ChooseTarget();

    IPrompts& prompts_;
    RecordingFiles* files_; // none when no working folder could be made
    const RunStatus& run_;
    ChooserMemory& memory_;
    std::optional<uint64_t> savedRun_; // the run last saved
};

} // namespace ondrel
