#include "ondrel/history/recording_reader.h"

#include "ondrel/history/data_file_path.h"
#include "ondrel/history/project_index.h"

#include "ondrel/common/file_error.h"

#include <stdexcept>

namespace ondrel {

RecordingInfo ReadRecordingInfo(const std::string& projectFile)
{
    return RecordingInfoOf(projectFile, ReadProjectInfo(projectFile));
}

RecordingInfo RecordingInfoOf(const std::string& projectFile, const ProjectDescription& description)
{
    RecordingInfo info;
    info.projectFile = projectFile;
    info.description = description;
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
    Refuse(ai, di);
    const std::optional<SavedPaths>& paths = info_.description.paths;
    if (ai)
        ai_.Open(RecordedDataFile(projectFile, paths ? paths->aiFilePath : std::string{}, kAIDataFileName),
                 info_.aiChanCount, info_.floatSamples);
    if (di)
        di_.Open(RecordedDataFile(projectFile, paths ? paths->diFilePath : std::string{}, kDIDataFileName));
    CountData(ai, di);
}

RecordingReader::RecordingReader(RecordingInfo info, const AIScanReader* ai, const DIScanReader* di)
    : info_(std::move(info))
{
    Refuse(ai != nullptr, di != nullptr);
    const std::optional<SavedPaths>& paths = info_.description.paths;
    if (ai != nullptr && !ai->IsOpen())
        throw FileError("The recording's AI data could not be opened", paths ? paths->aiFilePath : kAIDataFileName);
    if (di != nullptr && !di->IsOpen())
        throw FileError("The recording's DI data could not be opened", paths ? paths->diFilePath : kDIDataFileName);
    if (ai != nullptr)
        ai_ = ai->Duplicate();
    if (di != nullptr)
        di_ = di->Duplicate();
    CountData(ai != nullptr, di != nullptr);
}

void RecordingReader::Refuse(bool ai, bool di) const
{
    if (ai && !info_.ai)
        throw std::invalid_argument("The recording holds no AI data");
    if (di && !info_.di)
        throw std::invalid_argument("The recording holds no DI data");
}

void RecordingReader::CountData(bool ai, bool di)
{
    if (ai)
        dataBytes_ += static_cast<uint64_t>(ai_.ScanCount() * ai_.BytesPerScan());
    if (di) {
        info_.diPortStart = di_.PortStart();
        info_.diPortCount = di_.PortCount();
        dataBytes_ += static_cast<uint64_t>(di_.ScanCount() * di_.PortCount());
    }
}

} // namespace ondrel
