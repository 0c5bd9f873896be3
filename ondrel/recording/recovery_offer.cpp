#include "ondrel/recording/recovery_offer.h"

#include "ondrel/common/file_paths.h"

#include <cstdio>
#include <ctime>
#include <exception>

namespace ondrel {

namespace {

std::string StartText(const std::optional<std::time_t>& start)
{
    if (!start)
        return "at an unknown time";
    std::tm local{};
    char text[32]{};
    if (::localtime_r(&*start, &local) == nullptr || std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) == 0)
        return "at an unknown time";
    return std::string("on ") + text;
}

std::string SizeText(uint64_t bytes)
{
    char text[32]{};
    if (bytes < 1024 * 1024)
        std::snprintf(text, sizeof text, "%.1f KB", static_cast<double>(bytes) / 1024.0);
    else
        std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return text;
}

} // namespace

std::string RecoveryQuestion(const InterruptedRun& run)
{
    return "A recording started " + StartText(run.startTime) + " was not saved before the program ended. It holds "
           + std::to_string(run.wholeScans) + " scans (" + SizeText(run.dataBytes) + ") in " + run.folder
           + ".\nSave it as a project, or discard it?";
}

void OfferInterruptedRuns(IPrompts& prompts, std::span<const std::string> parents)
{
    for (InterruptedRun& run : FindInterruptedRuns(parents)) {
        switch (prompts.AskRecovery(RecoveryQuestion(run))) {
        case RecoveryAnswer::Later:
            break;
        case RecoveryAnswer::Discard:
            DiscardInterruptedRun(run);
            break;
        case RecoveryAnswer::SaveAs: {
            const auto choice = prompts.ChooseSaveFolder(RootPath(), HomePath());
            if (!choice || choice->folderName.empty())
                break;
            const std::string target = FolderIn(choice->dir, choice->folderName);
            try {
                SaveInterruptedRun(run, target);
                DiscardInterruptedRun(run);
            } catch (const std::exception& error) {
                prompts.MsgBox(error.what(), "Recovery");
            }
            break;
        }
        }
    }
}

} // namespace ondrel
