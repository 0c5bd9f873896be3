#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace ondrel {

// A folder picked in the Save As chooser: the drive (a filesystem root here),
// the directory, and the name typed for the new folder.
struct FolderChoice {
    std::string drive;
    std::string dir;
    std::string folderName;
};

// Everything modal the program asks or tells the user goes through here, so
// tests answer programmatically and nothing blocks them.
class IPrompts {
public:
    virtual ~IPrompts() = default;
    // A message box with an OK button; an empty title means the program's name.
    virtual void MsgBox(const std::string& text, const std::string& title) = 0;
    // The Save As folder chooser, opened at `drive` and `dir`; nothing when
    // cancelled.
    virtual std::optional<FolderChoice> ChooseSaveFolder(const std::string& drive,
                                                         const std::string& dir) = 0;
    // The open dialog for a recorded project ("*.onp"), opened in `dir`; the
    // file chosen, or nothing when cancelled.
    virtual std::optional<std::string> ChooseProjectFile(const std::string& dir) = 0;
    // The colour chooser opened on `initial` (a colour reference, R + 256*G +
    // 65536*B); the colour chosen, nothing when cancelled or failed.
    virtual std::optional<uint32_t> ChooseColor(uint32_t initial) = 0;
    // Where to save a picture of the chart (".png" or ".pdf"); nothing when cancelled.
    virtual std::optional<std::string> ChoosePictureFile() = 0;
};

} // namespace ondrel
