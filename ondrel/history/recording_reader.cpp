#include "ondrel/history/recording_reader.h"

#include "ondrel/history/data_file_path.h"
#include "ondrel/history/project_index.h"

#include <stdexcept>

namespace ondrel {

RecordingInfo ReadRecordingInfo(const std::string& projectFile)
{
    RecordingInfo info;
    info.projectFile = projectFile;
    info.description = ReadProjectInfo(projectFile);
    const RunDescription& run = info.description.run;
    info.ai = run.aiRecorded;
    info.di = run.diRecorded;
    info.polled = run.softRecorded;
    info.floatSamples = run.floatSamples;
    if (run.aiRecorded) {
        info.aiChanCount = run.aiChanCount;
        info.aiNames.resize(static_cast<size_t>(run.aiChanCount));
        if (run.ai) {
            for (size_t i = 0; i < info.aiNames.size() && i < run.ai->plots.size(); ++i)
                info.aiNames[i] = run.ai->plots[i].name;
            info.aiChannelKinds = run.ai->channelKinds;
        }
    }
    if (run.diRecorded && run.di)
        info.diPortMasks = run.di->portMasks;
    info.scanCount = info.description.end->scanCount;
    info.scanInterval = info.description.end->scanInterval;
    return info;
}

RecordingReader::RecordingReader(const std::string& projectFile, bool ai, bool di)
    : info_(ReadRecordingInfo(projectFile))
{
    if (ai && !info_.ai)
        throw std::invalid_argument("The recording holds no AI data");
    if (di && !info_.di)
        throw std::invalid_argument("The recording holds no DI data");
    const std::optional<SavedPaths>& paths = info_.description.paths;
    if (ai) {
        ai_.Open(RecordedDataFile(projectFile, paths ? paths->aiFilePath : std::string{}, kAIDataFileName),
                 info_.aiChanCount, info_.floatSamples);
        dataBytes_ += static_cast<uint64_t>(ai_.ScanCount() * ai_.BytesPerScan());
    }
    if (di) {
        di_.Open(RecordedDataFile(projectFile, paths ? paths->diFilePath : std::string{}, kDIDataFileName));
        info_.diPortStart = di_.PortStart();
        info_.diPortCount = di_.PortCount();
        dataBytes_ += static_cast<uint64_t>(di_.ScanCount() * di_.PortCount());
    }
}

} // namespace ondrel
