#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ondrel {

// The project description of one recording ("Project.ond" in the working
// folder, "Project.onp" once saved), in file order:
//
//   1 AIRecorded    Int16 -1/0       9 AI channel kinds  AIDevChanCount bytes
//   2 DIRecorded    Int16 -1/0      10 DI plot records   DIChanCount records
//   3 SoftRecorded  Int16 -1/0      11 DIPortCount       Int32
//   4 FloatSamples  Int16 -1/0      12 DI port masks     DIPortCount bytes
//   5 AIChanCount   Int32           13 ScanCount         Int32   (at Stop)
//   6 DIChanCount   Int32           14 ScanInterval      F64     (at Stop)
//   7 AI plot records AIChanCount   15 AIFilePath  bytes + one 0 byte (Save As)
//   8 AIDevChanCount  Int32         16 DIFilePath  bytes, no terminator (Save As)
//
// Fields 7-9 are present only when AIRecorded is true, 10-12 only when
// DIRecorded is true. A plot record is Int32 colour, Int32 line style, the name
// and one 0 byte. Little-endian throughout; text is single-byte (Latin-1); no
// header, magic or length prefix. Strings here are UTF-8; the file code converts.

// Field 9: one byte per AI device channel. Replay binds a plot to the
// temperature axis when its byte is kThermocoupleChannel.
inline constexpr uint8_t kVoltageChannel = 0;
inline constexpr uint8_t kThermocoupleChannel = 1;

struct PlotRecord {
    int32_t color = 0;
    int32_t lineStyle = 0;
    std::string name;

    bool operator==(const PlotRecord&) const = default;
};

// Fields 7-9. `plots` holds one record per scanned AI channel (chart plots
// 0 .. AIChanCount - 1); `channelKinds` one byte per device channel.
struct AIDescription {
    std::vector<PlotRecord> plots;
    std::vector<uint8_t> channelKinds;

    bool operator==(const AIDescription&) const = default;
};

// Fields 10-12. `plots` describes chart plots AIChanCount .. AIChanCount +
// DIChanCount - 1; `portMasks` holds one line mask per DI port of the device.
struct DIDescription {
    std::vector<PlotRecord> plots;
    std::vector<uint8_t> portMasks;

    bool operator==(const DIDescription&) const = default;
};

// Fields 1-12, written at Start. `ai` is present exactly when aiRecorded is
// true and `di` exactly when diRecorded is true.
struct RunDescription {
    bool aiRecorded = false;
    bool diRecorded = false;
    bool softRecorded = false;
    bool floatSamples = false;
    int32_t aiChanCount = 0; // written whether or not AI is recorded
    int32_t diChanCount = 0; // written whether or not DI is recorded
    std::optional<AIDescription> ai;
    std::optional<DIDescription> di;

    bool operator==(const RunDescription&) const = default;
};

// ScanCount is an Int32: a recording ends when it holds this many scans.
inline constexpr int64_t kMaxScanCount = INT32_MAX;

// Shown when a run reaches kMaxScanCount scans and stops recording.
inline constexpr const char* kRecordingFull =
    "The recording is full: a project holds at most 2147483647 scans. The run was stopped.";

// Fields 13-14, appended at Stop.
struct RunEnd {
    int32_t scanCount = 0;
    double scanInterval = 0.0; // seconds between two scans

    bool operator==(const RunEnd&) const = default;
};

// Fields 15-16, appended by Save As.
struct SavedPaths {
    std::string aiFilePath;
    std::string diFilePath;

    bool operator==(const SavedPaths&) const = default;
};

// A whole description as read back. `end` is missing when the run never
// stopped; `paths` is missing in a working folder's description.
struct ProjectDescription {
    RunDescription run;
    std::optional<RunEnd> end;
    std::optional<SavedPaths> paths;

    bool operator==(const ProjectDescription&) const = default;
};

} // namespace ondrel
