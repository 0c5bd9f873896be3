#pragma once
#include "ondrel/common/prompts.h"
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace ondrel::testing {

// Records every message the window would have shown, instead of showing it.
class RecordedPrompts final : public IPrompts {
public:
    struct Message {
        std::string text;
        std::string title;
        bool operator==(const Message&) const = default;
    };

    void MsgBox(const std::string& text, const std::string& title) override
    {
        messages.push_back({text, title});
        if (whileShown)
            whileShown(); // what happens while the operator reads it
    }

    std::optional<FolderChoice> ChooseSaveFolder(const std::string& drive, const std::string& dir) override
    {
        chooserOpenedAt.push_back({drive, dir, {}});
        if (folderAnswers.empty())
            return std::nullopt;
        auto answer = folderAnswers.front();
        folderAnswers.pop_front();
        return answer;
    }

    std::optional<std::string> ChooseProjectFile(const std::string& dir) override
    {
        projectChooserOpenedAt.push_back(dir);
        if (projectAnswers.empty())
            return std::nullopt;
        auto answer = projectAnswers.front();
        projectAnswers.pop_front();
        return answer;
    }

    RecoveryAnswer AskRecovery(const std::string& text) override
    {
        recoveryQuestions.push_back(text);
        if (recoveryAnswers.empty())
            return RecoveryAnswer::Later;
        const RecoveryAnswer answer = recoveryAnswers.front();
        recoveryAnswers.pop_front();
        return answer;
    }
    std::optional<int32_t> ChooseDevice(const std::string& title, const std::vector<DeviceEntry>& devices,
                                        int32_t current) override
    {
        choosers.push_back({title, devices, current});
        if (deviceAnswers.empty())
            return std::nullopt;
        auto answer = deviceAnswers.front();
        deviceAnswers.pop_front();
        return answer;
    }

    std::optional<SerialDeviceChoice> AskSerialDevice(const std::vector<std::string>& drivers) override
    {
        serialDriversOffered.push_back(drivers);
        return Next(serialAnswers);
    }

    struct Chooser {
        std::string title;
        std::vector<DeviceEntry> devices;
        int32_t current = -1;
    };
    std::optional<uint32_t> ChooseColor(uint32_t initial) override
    {
        colorChooserOpenedWith.push_back(initial);
        return Next(colorAnswers);
    }

    std::optional<std::string> ChoosePictureFile() override { return Next(pictureAnswers); }

    std::optional<ExportChoice> ChooseExportFolder(const std::string& drive, const std::string& dir, bool hasAI,
                                                   bool hasDI) override
    {
        exportChooserOpenedWith.push_back({{drive, dir, {}}, hasAI, hasDI});
        return Next(exportAnswers);
    }

    // The work runs here and now; a report past `cancelAfterReports` answers stop.
    void RunWithProgress(const std::string& title, const std::function<void(const Progress&)>& work) override
    {
        progressTitles.push_back(title);
        int reports = 0;
        work([&](double) { return cancelAfterReports < 0 || ++reports <= cancelAfterReports; });
    }

    // Yes unless told otherwise: a test that does not care goes on as before.
    bool AskYesNo(const std::string& text) override
    {
        yesNoQuestions.push_back(text);
        if (yesNoAnswers.empty())
            return true;
        const bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer;
    }
    // Discard unless told otherwise, as the program did before it asked.
    UnsavedAnswer AskUnsavedRecording(const std::string& text) override
    {
        unsavedQuestions.push_back(text);
        if (unsavedAnswers.empty())
            return UnsavedAnswer::Discard;
        const UnsavedAnswer answer = unsavedAnswers.front();
        unsavedAnswers.pop_front();
        return answer;
    }

    std::vector<Message> messages;
    std::vector<std::string> yesNoQuestions;
    std::deque<bool> yesNoAnswers;
    std::vector<std::string> unsavedQuestions;
    std::deque<UnsavedAnswer> unsavedAnswers;
    std::function<void()> whileShown;                      // run inside each MsgBox
    std::deque<std::optional<FolderChoice>> folderAnswers; // nothing = cancel
    std::vector<FolderChoice> chooserOpenedAt;
    std::deque<std::optional<std::string>> projectAnswers; // nothing = cancel
    std::vector<std::string> projectChooserOpenedAt;
    std::deque<RecoveryAnswer> recoveryAnswers; // none left = Later
    std::vector<std::string> recoveryQuestions;
    std::deque<std::optional<int32_t>> deviceAnswers; // nothing = cancel
    std::vector<Chooser> choosers;
    std::vector<std::vector<std::string>> serialDriversOffered;
    std::deque<std::optional<SerialDeviceChoice>> serialAnswers; // nothing = cancel
    std::deque<std::optional<uint32_t>> colorAnswers;            // nothing = cancel
    std::vector<uint32_t> colorChooserOpenedWith;
    std::deque<std::optional<std::string>> pictureAnswers; // nothing = cancel
    std::deque<std::optional<ExportChoice>> exportAnswers; // nothing = cancel
    std::vector<ExportChoice> exportChooserOpenedWith;     // what the chooser was given
    std::vector<std::string> progressTitles;
    int cancelAfterReports = -1; // -1: never

private:
    template <typename T>
    static std::optional<T> Next(std::deque<std::optional<T>>& answers)
    {
        if (answers.empty())
            return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

} // namespace ondrel::testing
