#include "ondrel/acquisition/save_as_command.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/recording/save_as.h"
#include "ondrel/session/file_paths.h"
#include <stdexcept>

namespace ondrel {

void SaveAsCommand::BtnSaveAs_Click()
{
    memory_.szNewFolder.clear();
    // The chooser first opens in the user's home folder (an installed program's
    // own folder is no place for recordings), then where the last choice was made.
    if (memory_.szDrive.empty()) {
        memory_.szDrive = RootPath();
        memory_.szDir = HomePath();
    }
    const auto choice = prompts_.ChooseSaveFolder(memory_.szDrive, memory_.szDir);
    if (!choice || choice->folderName.empty())
        return;
    memory_.szDrive = choice->drive;
    memory_.szDir = choice->dir;
    memory_.szNewFolder = choice->dir;
    if (!memory_.szNewFolder.ends_with('/'))
        memory_.szNewFolder += '/';
    memory_.szNewFolder += choice->folderName;
    try {
        if (files_ == nullptr)
            throw std::runtime_error("There is no recording to save");
        files_->CloseProjectFile();
        const SavedRun saved{files_->ProjectFileName(), files_->AIFileName(), files_->FAIFileName(),
                             files_->DIFileName(),      run_.bAIDataSaved,    run_.bFAIDataSaved,
                             run_.bDIDataSaved};
        prompts_.RunWithProgress("Save As",
                                 [&](const Progress& progress) { SaveRunAs(saved, memory_.szNewFolder, progress); });
    } catch (const Cancelled&) {
        // The target is as it was; the operator knows why.
    } catch (const std::exception& error) {
        prompts_.MsgBox(error.what(), "BtnSaveAs");
    }
}

} // namespace ondrel
