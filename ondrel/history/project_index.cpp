#include "ondrel/history/project_index.h"

#include "ondrel/history/regular_file.h"
#include "ondrel/recording/description_reader.h"
#include "ondrel/common/file_error.h"

#include <cmath>
#include <vector>

namespace ondrel {
namespace {

// Far above any description a recording writes (a few hundred plot records);
// a larger file is not a description, and is not read into memory.
constexpr uint64_t kMaxDescriptionBytes = 16u << 20;

std::vector<std::byte> ReadWholeFile(const std::string& path)
{
    RegularFile file;
    file.Open(path, LastLink::Follow);
    const uint64_t size = file.Size();
    if (size > kMaxDescriptionBytes)
        throw DescriptionFormatError("Project description: the file is too large to be a description ("
                                     + std::to_string(size) + " bytes)");
    std::vector<std::byte> bytes(static_cast<size_t>(size));
    bytes.resize(file.Read(bytes));
    return bytes;
}

[[noreturn]] void Refuse(const std::string& problem)
{
    throw DescriptionFormatError("Project description: " + problem);
}

} // namespace

ProjectDescription ReadProjectInfo(const std::string& projectFile)
{
    ProjectDescription description = ParseProjectDescription(ReadWholeFile(projectFile));
    const RunDescription& run = description.run;
    // A flag with no channels behind it describes data that cannot be laid out.
    if (run.aiRecorded && run.aiChanCount <= 0)
        Refuse("AI is recorded but AIChanCount is " + std::to_string(run.aiChanCount));
    if (run.diRecorded && run.diChanCount <= 0)
        Refuse("DI is recorded but DIChanCount is " + std::to_string(run.diChanCount));
    // Replay builds one chart plot per channel; no device comes near these.
    if (run.aiRecorded && run.aiChanCount > kMaxAIChannels)
        Refuse("AIChanCount is " + std::to_string(run.aiChanCount) + "; a recording holds at most "
               + std::to_string(kMaxAIChannels) + " AI channels");
    if (run.diRecorded && run.diChanCount > kMaxDILines)
        Refuse("DIChanCount is " + std::to_string(run.diChanCount) + "; a recording holds at most "
               + std::to_string(kMaxDILines) + " DI lines");
    if (!description.end)
        Refuse("ScanCount and ScanInterval are missing (the run was never stopped)");
    if (description.end->scanCount < 0)
        Refuse("ScanCount is negative");
    const double interval = description.end->scanInterval;
    if (!std::isfinite(interval) || interval <= 0.0)
        Refuse("ScanInterval is not a positive number of seconds");
    return description;
}

} // namespace ondrel
