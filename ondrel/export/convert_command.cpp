#include "ondrel/export/convert_command.h"
#include "ondrel/export/number_text.h"
#include "ondrel/export/project_export.h"
#include "ondrel/export/export_formats.h"
#include "ondrel/common/file_paths.h"

namespace ondrel {

void ConvertCommand::BtnHisConvert_Click()
{
    // The chooser first opens in the user's home folder, then where the last
    // export went.
    if (memory_.szTextSaveDrive.empty()) {
        memory_.szTextSaveDrive = RootPath();
        memory_.szTextSaveDir = HomePath();
    }
    memory_.szTextSaveFolder.clear();
    const auto choice = prompts_.ChooseExportFolder(memory_.szTextSaveDrive, memory_.szTextSaveDir, recording_.HasAI(),
                                                    recording_.HasDI());
    if (!choice || choice->folder.folderName.empty())
        return;
    memory_.szTextSaveDrive = choice->folder.drive;
    memory_.szTextSaveDir = choice->folder.dir;
    memory_.szTextSaveFolder = choice->folder.folderName;
    memory_.bTextSaveAI = choice->ai;
    memory_.bTextSaveDI = choice->di;
    if (!choice->ai && !choice->di)
        return;

    const std::string folder = FolderIn(memory_.szTextSaveDir, memory_.szTextSaveFolder);
    try {
        // The recording that is open, as it was opened: not whatever the
        // project's path names by now.
        std::unique_ptr<RecordingReader> reader = recording_.ReaderFor(choice->ai, choice->di);
        const std::unique_ptr<IExporter> exporter = MakeExporter(choice->format, NumericLocaleDecimal());
        prompts_.RunWithProgress("Convert", [&](const Progress& progress) {
            ExportRecording(*reader, *exporter, {choice->ai, choice->di}, folder, progress);
        });
        // Replay reads its AI data from the start again, as after an export it always has.
        if (choice->ai)
            recording_.RewindAI();
    } catch (const CreateFolderError&) {
        prompts_.MsgBox("Create Directory Fail", "Ondrel");
    } catch (const std::exception& error) {
        prompts_.MsgBox(error.what(), "BtnHisConvert");
    }
}

} // namespace ondrel
