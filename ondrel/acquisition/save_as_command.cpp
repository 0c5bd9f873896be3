#include "ondrel/acquisition/save_as_command.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/recording/save_as.h"
#include "ondrel/common/file_paths.h"
#include <filesystem>
#include <stdexcept>

namespace ondrel {

namespace {

// A folder that holds a saved project, whatever state its files are in.
bool HoldsProject(const std::string& folder)
{
    std::error_code error;
    return std::filesystem::symlink_status(std::filesystem::path(folder) / "Project.onp", error).type()
           != std::filesystem::file_type::not_found;
}

} // namespace

void SaveAsCommand::BtnSaveAs_Click() { SaveAs(); }

bool SaveAsCommand::HasUnsavedRecording() const
{
    return files_ != nullptr && run_.Recorded() && savedRun_ != run_.runsStarted;
}

std::optional<std::string> SaveAsCommand::ChooseTarget()
{
    // The chooser first opens in the user's home folder (an installed program's
    // own folder is no place for recordings), then where the last choice was made.
    if (memory_.szDrive.empty()) {
        memory_.szDrive = RootPath();
        memory_.szDir = HomePath();
    }
    for (;;) {
        const auto choice = prompts_.ChooseSaveFolder(memory_.szDrive, memory_.szDir);
        if (!choice || choice->folderName.empty())
            return std::nullopt;
        memory_.szDrive = choice->drive;
        memory_.szDir = choice->dir;
        const std::string folder = FolderIn(choice->dir, choice->folderName);
        // Saving over a project would lose it: the operator says so first, or
        // chooses again.
        if (!HoldsProject(folder) || prompts_.AskYesNo(folder + " already holds a project. Replace it?"))
            return folder;
    }
}

bool SaveAsCommand::SaveAs()
{
    memory_.szNewFolder.clear();
    const auto target = ChooseTarget();
    if (!target)
        return false;
    memory_.szNewFolder = *target;
    try {
        if (files_ == nullptr)
            throw std::runtime_error("There is no recording to save");
        files_->CloseProjectFile();
        const SavedRun saved{files_->ProjectFileName(), files_->AIFileName(), files_->FAIFileName(),
                             files_->DIFileName(),      run_.bAIDataSaved,    run_.bFAIDataSaved,
                             run_.bDIDataSaved};
        prompts_.RunWithProgress("Save As",
                                 [&](const Progress& progress) { SaveRunAs(saved, memory_.szNewFolder, progress); });
        savedRun_ = run_.runsStarted;
        return true;
    } catch (const Cancelled&) {
        // The target is as it was; the operator knows why.
    } catch (const std::exception& error) {
        prompts_.MsgBox(error.what(), "BtnSaveAs");
    }
    return false;
}

} // namespace ondrel
