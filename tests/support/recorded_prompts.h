#pragma once
#include "ondrel/session/prompts.h"
#include <deque>
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

    std::vector<Message> messages;
    std::deque<std::optional<FolderChoice>> folderAnswers;   // nothing = cancel
    std::vector<FolderChoice> chooserOpenedAt;
    std::deque<std::optional<std::string>> projectAnswers;   // nothing = cancel
    std::vector<std::string> projectChooserOpenedAt;
    std::deque<RecoveryAnswer> recoveryAnswers;   // none left = Later
    std::vector<std::string> recoveryQuestions;
    std::deque<std::optional<int32_t>> deviceAnswers;         // nothing = cancel
    std::vector<Chooser> choosers;
    std::deque<std::optional<uint32_t>> colorAnswers;        // nothing = cancel
    std::vector<uint32_t> colorChooserOpenedWith;
    std::deque<std::optional<std::string>> pictureAnswers;   // nothing = cancel

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
