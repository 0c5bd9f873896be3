#pragma once
#include "ondrel/history/scan_readers.h"
#include "ondrel/recording/project_description.h"
#include <cstdint>
#include <string>
#include <vector>

namespace ondrel {

// A saved recording as its readers and exporters see it: the checked
// description, and what it and the DI data file say about the channels.
struct RecordingInfo {
    std::string projectFile;                  // the "Project.onp"
    ProjectDescription description;           // as read, checked for replay
    bool ai = false, di = false;              // the kinds recorded
    bool polled = false;                      // SoftRecorded: polled AI, else buffered
    bool floatSamples = false;                // AI samples are F32 values, else Int32 counts
    int32_t aiChanCount = 0;                  // 0 without AI
    std::vector<std::string> aiNames;         // per AI channel, its chart plot's name
    std::vector<uint8_t> aiChannelKinds;      // per AI device channel: kVoltageChannel, kThermocoupleChannel
    std::vector<uint8_t> diPortMasks;         // per DI device port: the lines shown
    int32_t diPortStart = 0, diPortCount = 0; // from the DI data file; 0 until it is opened
    int32_t scanCount = 0;                    // as the description states it
    double scanInterval = 0.0;                // seconds between two scans
};

// Reads and checks `projectFile`'s description as replay does (ReadProjectInfo)
// without opening its data files. Throws as ReadProjectInfo.
RecordingInfo ReadRecordingInfo(const std::string& projectFile);
// The same from a description already read and checked.
RecordingInfo RecordingInfoOf(const std::string& projectFile, const ProjectDescription& description);

// A saved recording opened for reading in whole scans: the description, and the
// data files of the kinds asked for, found and checked as replay finds them.
class RecordingReader {
public:
    // Throws DescriptionFormatError for a description that cannot be replayed,
    // std::invalid_argument when a kind asked for is not recorded, and FileError
    // when a data file cannot be opened or is refused.
    RecordingReader(const std::string& projectFile, bool ai, bool di);
    // A recording already open (for replay): its description as read then and
    // new readers of the same open data files, so what is read is what was
    // opened, wherever its folder has gone since. A null reader, or one that
    // is not open, is a kind that cannot be read: FileError naming its file.
    RecordingReader(RecordingInfo info, const AIScanReader* ai, const DIScanReader* di);

    const RecordingInfo& Info() const { return info_; }
    AIScanReader& AI() { return ai_; }
    DIScanReader& DI() { return di_; }
    // The bytes of the data files opened, for progress.
    uint64_t DataBytes() const { return dataBytes_; }

private:
    void Refuse(bool ai, bool di) const;
    void CountData(bool ai, bool di);

    RecordingInfo info_;
    AIScanReader ai_;
    DIScanReader di_;
    uint64_t dataBytes_ = 0;
};

} // namespace ondrel
