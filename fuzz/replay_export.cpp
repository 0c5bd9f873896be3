// The recording reader and the text export together: a project folder in,
// text out, in process. The input is framed as a project folder:
//
//   UInt16 description length, UInt16 AI data length, the description
//   ("Project.onp"), the AI data ("AI.ond"), the DI data ("DI.ond", the rest).
//
// Whatever the bytes, the export writes or refuses them with a message; what
// it writes has one row per whole AI scan and one per DI scan the description
// states, as far as the DI data go; the reader hands out whole scans only.
#include "ondrel/export/project_export.h"
#include "ondrel/recording/description_reader.h"
#include "require.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using fuzz::require;

namespace {

namespace fs = std::filesystem;

// A folder of the target's own for the whole run, removed at exit.
struct ScratchFolder {
    ScratchFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "ondrel-fuzz-XXXXXX").string();
        require(::mkdtemp(pattern.data()) != nullptr, "a scratch folder");
        path = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    std::string path;
};

const std::string& Scratch()
{
    static const ScratchFolder folder;
    return folder.path;
}

void Write(const std::string& path, const uint8_t* data, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

size_t Rows(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    size_t rows = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
        ++rows;
    return rows;
}

size_t UInt16At(const uint8_t* data) { return data[0] | size_t{data[1]} << 8; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    const size_t descriptionBytes = std::min(UInt16At(data), size - 4);
    const size_t aiBytes = std::min(UInt16At(data + 2), size - 4 - descriptionBytes);
    const uint8_t* at = data + 4;
    const std::string folder = Scratch();
    const std::string project = folder + "/Project.onp";
    Write(project, at, descriptionBytes);
    Write(folder + "/AI.ond", at + descriptionBytes, aiBytes);
    Write(folder + "/DI.ond", at + descriptionBytes + aiBytes, size - 4 - descriptionBytes - aiBytes);
    fs::remove_all(folder + "/out");

    ondrel::RecordingInfo info;
    try {
        info = ondrel::ReadRecordingInfo(project);
        if (!info.ai && !info.di)
            return 0;
        // Whole scans in blocks of any size, as replay reads them.
        ondrel::RecordingReader reader(project, info.ai, info.di);
        const int64_t block = 1 + static_cast<int64_t>(size % 7);
        if (info.ai) {
            int64_t scans = 0;
            for (ondrel::AIScanBlock b = reader.AI().Read(block);; b = reader.AI().Read(block)) {
                require(b.firstScan == scans, "AI blocks follow each other");
                require(b.floats.size() + b.counts.size() == static_cast<size_t>(b.scans * info.aiChanCount),
                        "an AI block holds whole scans");
                scans += b.scans;
                if (b.end)
                    break;
            }
            require(scans == reader.AI().ScanCount(), "every whole AI scan is read");
        }
        if (info.di) {
            int64_t scans = 0;
            for (ondrel::DIScanBlock b = reader.DI().Read(block);; b = reader.DI().Read(block)) {
                require(b.ports.size() == static_cast<size_t>(b.scans * reader.DI().PortCount()),
                        "a DI block holds whole scans");
                require(b.cutOff.size() < static_cast<size_t>(reader.DI().PortCount()), "a cut-off scan is short");
                scans += b.scans;
                if (b.end)
                    break;
            }
            require(scans == reader.DI().ScanCount(), "every whole DI scan is read");
        }

        require(ondrel::ExportProject({project, folder + "/out", info.ai, info.di, '.'}, {})
                    == ondrel::ExportOutcome::Written,
                "an export without a cancel is written");
        if (info.ai) {
            const auto whole = static_cast<size_t>(reader.AI().ScanCount());
            require(Rows(folder + "/out/AI.xlt") == whole, "one AI row per whole scan");
        }
        if (info.di) {
            const auto whole = static_cast<size_t>(reader.DI().ScanCount());
            const auto stated = static_cast<size_t>(info.scanCount);
            require(Rows(folder + "/out/DI.xlt") == (whole >= stated ? stated : whole + 1),
                    "one DI row per stated scan, as far as the data go");
        }
    } catch (const ondrel::DescriptionFormatError&) {
    } catch (const ondrel::FileError&) {
    }
    return 0;
}
