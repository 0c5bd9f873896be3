#pragma once
#include "ondrel/common/prompts.h"

class QWidget;

namespace ondrel {

// The prompts a person sees: Qt message boxes over the main window.
class MessageBoxPrompts final : public IPrompts {
public:
    void setOwner(QWidget* owner) { owner_ = owner; }
    void MsgBox(const std::string& text, const std::string& title) override;
    std::optional<FolderChoice> ChooseSaveFolder(const std::string& drive, const std::string& dir) override;
    std::optional<std::string> ChooseProjectFile(const std::string& dir) override;
    RecoveryAnswer AskRecovery(const std::string& text) override;
    std::optional<int32_t> ChooseDevice(const std::string& title, const std::vector<DeviceEntry>& devices,
                                        int32_t current) override;
    std::optional<SerialDeviceChoice> AskSerialDevice(const std::vector<std::string>& drivers) override;
    std::optional<uint32_t> ChooseColor(uint32_t initial) override;
    std::optional<std::string> ChoosePictureFile() override;
    std::optional<ExportChoice> ChooseExportFolder(const std::string& drive, const std::string& dir, bool hasAI,
                                                   bool hasDI) override;
    void RunWithProgress(const std::string& title, const std::function<void(const Progress&)>& work) override;
    bool AskYesNo(const std::string& text) override;
    UnsavedAnswer AskUnsavedRecording(const std::string& text) override;

private:
    QWidget* owner_ = nullptr;
};

} // namespace ondrel
