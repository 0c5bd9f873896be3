#pragma once
#include "ondrel/components/device_prompts.h"
#include "ondrel/common/export_format.h"
#include "ondrel/common/progress.h"
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ondrel {

// A folder picked in the Save As chooser: the drive (a filesystem root here),
// the directory, and the name typed for the new folder.
struct FolderChoice {
    std::string drive;
    std::string dir;
    std::string folderName;
};

// A folder picked in the export chooser, the kinds of data to export and the
// format to write them in.
struct ExportChoice {
    FolderChoice folder;
    bool ai = false;
    bool di = false;
    ExportFormat format = ExportFormat::Text;
};

// What to do with a recording whose program ended before it shut down.
enum class RecoveryAnswer { SaveAs, Discard, Later };

// What to do with the last recording, not saved yet, when the program ends.
enum class UnsavedAnswer { SaveAs, Discard, Cancel };

// Everything modal the program asks or tells the user goes through here (the
// device components ask through the part they share, IDevicePrompts), so
// tests answer programmatically and nothing blocks them.
class IPrompts : public IDevicePrompts {
public:
    // The Save As folder chooser, opened at `drive` and `dir`; nothing when
    // cancelled.
    virtual std::optional<FolderChoice> ChooseSaveFolder(const std::string& drive, const std::string& dir) = 0;
    // The open dialog for a recorded project ("*.onp"), opened in `dir`; the
    // file chosen, or nothing when cancelled.
    virtual std::optional<std::string> ChooseProjectFile(const std::string& dir) = 0;
    // Offers an interrupted recording, described by `text`, to be saved or
    // discarded; Later keeps it for the next start.
    virtual RecoveryAnswer AskRecovery(const std::string& text) = 0;
    // The colour chooser opened on `initial` (a colour reference, R + 256*G +
    // 65536*B); the colour chosen, nothing when cancelled or failed.
    virtual std::optional<uint32_t> ChooseColor(uint32_t initial) = 0;
    // Where to save a picture of the chart (".png" or ".pdf"); nothing when cancelled.
    virtual std::optional<std::string> ChoosePictureFile() = 0;
    // The export chooser ("ConvertFileDialog"), opened at `drive` and `dir`:
    // "AI File" enabled and ticked when the recording has AI data, "DI File"
    // enabled when it has DI data and unticked, the formats this build writes
    // with the text first and chosen; nothing when cancelled.
    virtual std::optional<ExportChoice> ChooseExportFolder(const std::string& drive, const std::string& dir, bool hasAI,
                                                           bool hasDI) = 0;
    // Runs `work` off the window's thread and waits for it while the window
    // keeps repainting; after half a second a progress dialog with Cancel
    // shows. `work` gets the progress report to call; its exceptions come out
    // of here.
    virtual void RunWithProgress(const std::string& title, const std::function<void(const Progress&)>& work) = 0;
    // A question answered Yes or No, No being the default; true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
    // Offers the last recording, not saved yet, to be saved before the program
    // ends or discarded with it; Cancel keeps the program open.
    virtual UnsavedAnswer AskUnsavedRecording(const std::string& text) = 0;
};

} // namespace ondrel
