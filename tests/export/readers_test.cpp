// Every export format read back by the tool its users read it with: pandas
// for the CSV, h5py for HDF5, sigrok-cli for the sigrok session. The
// comparison (tests/export/read_back.py) reads the recording's own files, not
// what the program makes of them. A reader that is missing fails the test.
#include "common/scratch_folder.h"
#include "support/project_files.h"
#include "ondrel/export/csv_exporter.h"
#include "ondrel/export/export_formats.h"
#include "ondrel/export/project_export.h"
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/wait.h>

namespace ondrel {
namespace {

namespace fs = std::filesystem;

std::string Text(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs `command`, its output into `log`; the exit status.
int RunCommand(const std::string& command, const std::string& log)
{
    const int status = std::system((command + " >" + log + " 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// F32 samples of every kind a float can be: tiny and huge, negative zero,
// subnormal, values that need all nine digits; never infinite or NaN.
std::vector<std::byte> VariedFloats(int64_t count, uint32_t seed)
{
    ExpectedBytes b;
    uint32_t state = seed;
    for (int64_t i = 0; i < count; ++i) {
        state = state * 1664525u + 1013904223u;
        uint32_t bits = state;
        if (((bits >> 23) & 0xFF) == 0xFF) // not infinite or NaN
            bits ^= 0x00800000u;
        float value = 0;
        std::memcpy(&value, &bits, 4);
        b.f32(i % 97 == 5 ? -0.0f : value);
    }
    return b.bytes();
}

// Scans of two channels: a smooth signal, whose high bytes compress, and
// varied floats, which do not.
std::vector<std::byte> SmoothAndVaried(int64_t scans)
{
    const std::vector<std::byte> varied = VariedFloats(scans, 11);
    ExpectedBytes b;
    for (int64_t s = 0; s < scans; ++s) {
        b.f32(static_cast<float>(std::sin(0.0003 * static_cast<double>(s)) * 2.5));
        float value = 0;
        std::memcpy(&value, varied.data() + 4 * s, 4);
        b.f32(value);
    }
    return b.bytes();
}

std::vector<std::byte> Counts(int64_t count)
{
    ExpectedBytes b;
    for (int64_t i = 0; i < count; ++i)
        b.i32(static_cast<int32_t>(i * 2654435761u) >> 8);
    return b.bytes();
}

std::vector<uint8_t> PortBytes(int64_t count)
{
    std::vector<uint8_t> bytes(static_cast<size_t>(count));
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>((i * 37) ^ (i >> 7));
    return bytes;
}

// The formats this build writes that have a reader to check them: every one
// but the text.
std::vector<std::pair<ExportFormat, std::string>> ReadFormats()
{
    std::vector<std::pair<ExportFormat, std::string>> formats;
    for (const ExportFormatInfo& info : OfferedFormats())
        if (info.format != ExportFormat::Text)
            formats.emplace_back(info.format, std::string(info.name));
    return formats;
}

class Readers : public ::testing::Test {
protected:
    ScratchFolder folder;

    // A recording in its own folder, its data files beside the description.
    std::string Save(const std::string& name, testing::IndexSpec spec, const std::vector<std::byte>& ai,
                     const std::vector<std::byte>& di = {})
    {
        const std::string dir = folder / name;
        fs::create_directory(dir);
        spec.paths = std::pair{dir + "/AI.ond", dir + "/DI.ond"};
        testing::WriteFile(dir + "/Project.onp", testing::IndexBytes(spec).bytes());
        if (spec.ai)
            testing::WriteFile(dir + "/AI.ond", ai);
        if (spec.di)
            testing::WriteFile(dir + "/DI.ond", di);
        return dir;
    }

    // AI and DI of three varied channels, names outside ASCII and with
    // quotes and commas, a thermocouple, two DI ports of which some lines
    // are shown, recorded in buffered mode.
    std::string Mixed()
    {
        testing::IndexSpec spec;
        spec.soft = false;
        spec.aiChans = 3;
        spec.aiNames = {"Temp\xE9rature", "a,\"b\"", "Druck [bar]"};
        spec.aiKinds = {0, 1, 0, 0};
        spec.di = true;
        spec.diChans = 4;
        spec.portMasks = {0, 0x81, 0x06};
        spec.scanCount = 700;
        spec.scanInterval = 0.001;
        return Save("mixed", spec, VariedFloats(700 * 3, 7), testing::DIData(1, 2, PortBytes(2 * 700)));
    }

    // Reads `out` back with the reader of `format` ("csv", "hdf5", "sr").
    void ExpectReadBack(const std::string& format, const std::string& project, const std::string& out)
    {
        const std::string log = folder / "read_back.log";
        EXPECT_EQ(RunCommand("/usr/bin/python3 " READ_BACK " " + format + " " + project + " " + out, log), 0)
            << format << " " << project << ":\n"
            << Text(log);
    }

    void ExportAndReadBack(const std::string& project, ExportFormat format, const std::string& name, bool ai, bool di)
    {
        const std::string out = project + "/out-" + name;
        ASSERT_EQ(ExportProject({project + "/Project.onp", out, ai, di, '.', format}, {}), ExportOutcome::Written);
        ExpectReadBack(name, project, out);
    }
};

TEST(CsvFields, AreQuotedOnlyWhereRfc4180WantsIt)
{
    EXPECT_EQ(CsvField("AI0"), "AI0");
    EXPECT_EQ(CsvField("Température"), "Température");
    EXPECT_EQ(CsvField(" spaced "), " spaced ");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("two\r\nlines"), "\"two\r\nlines\"");
    EXPECT_EQ(CsvField(""), "");
}

TEST(ExportFormats, TheTextComesFirstAndEveryBuiltFormatIsNamed)
{
    const auto& formats = OfferedFormats();
    ASSERT_EQ(formats.size(), 2u + BUILT_WITH_HDF5 + BUILT_WITH_SIGROK);
    EXPECT_EQ(formats[0].caption, "Tab-separated text (*.xlt)");
    EXPECT_EQ(FormatNamed("xlt"), ExportFormat::Text);
    EXPECT_EQ(FormatNamed("csv"), ExportFormat::Csv);
    EXPECT_EQ(FormatNamed("hdf5").has_value(), BUILT_WITH_HDF5 == 1);
    EXPECT_EQ(FormatNamed("sr").has_value(), BUILT_WITH_SIGROK == 1);
    EXPECT_EQ(FormatNamed("XLT"), std::nullopt);
}

TEST_F(Readers, OndrelConvertWritesEachFormatAsItsReaderExpects)
{
    const std::string project = Mixed();
    const std::string log = folder / "convert.log";
    for (const auto& [ignored, format] : ReadFormats()) {
        SCOPED_TRACE(format);
        const std::string out = folder / ("cli-" + format);
        ASSERT_EQ(RunCommand(
                      std::string(ONDREL_CONVERT) + " --format " + format + " " + project + "/Project.onp " + out, log),
                  0)
            << Text(log);
        ExpectReadBack(format, project, out);
    }
    EXPECT_TRUE(fs::exists(folder / "cli-csv/AI.csv") && fs::exists(folder / "cli-csv/DI.csv"));
    if (BUILT_WITH_HDF5) {
        EXPECT_EQ(fs::directory_iterator(folder / "cli-hdf5")->path().filename(), "recording.h5");
    }
    if (BUILT_WITH_SIGROK) {
        EXPECT_EQ(fs::directory_iterator(folder / "cli-sr")->path().filename(), "recording.sr");
    }
    // The CSV names its columns as the chart's plots, in UTF-8, quoted where needed.
    const std::string csv = Text(folder / "cli-csv/AI.csv");
    EXPECT_EQ(csv.substr(0, csv.find("\r\n0,")), "time_s,Température,\"a,\"\"b\"\"\",Druck [bar]");
    EXPECT_EQ(Text(folder / "cli-csv/DI.csv").substr(0, 25), "time_s,1:0,1:7,2:1,2:2\r\n0");
}

TEST_F(Readers, ACountsRecordingKeepsItsIntegers)
{
    testing::IndexSpec spec;
    spec.floats = false;
    spec.aiChans = 4;
    spec.scanCount = 500;
    const std::string project = Save("counts", spec, Counts(500 * 4));
    for (const auto& [format, name] : ReadFormats())
        ExportAndReadBack(project, format, name, true, false);
    EXPECT_EQ(Text(project + "/out-csv/AI.csv").substr(0, 15), "time_s,AI0,AI1,");
}

TEST_F(Readers, ARecordingWithoutScansGivesEmptyTablesTheReadersOpen)
{
    testing::IndexSpec spec;
    spec.di = true;
    spec.diChans = 1;
    spec.portMasks = {0x01};
    spec.scanCount = 0;
    const std::string project = Save("empty", spec, {}, testing::DIData(0, 1, {}));
    for (const auto& [format, name] : ReadFormats()) {
        SCOPED_TRACE(name);
        ExportAndReadBack(project, format, name, true, true);
    }
}

TEST_F(Readers, ADIOnlyRecording)
{
    testing::IndexSpec spec;
    spec.ai = false;
    spec.di = true;
    spec.diChans = 3;
    spec.portMasks = {0x0B, 0, 0x80};
    spec.scanCount = 900;
    // One port more of the next scan than whole scans: only whole ones are written.
    std::vector<uint8_t> ports = PortBytes(3 * 900 + 1);
    const std::string project = Save("di", spec, {}, testing::DIData(0, 3, ports));
    for (const auto& [format, name] : ReadFormats())
        ExportAndReadBack(project, format, name, false, true);
}

// More than a read block of the export, a write round of HDF5 and a chunk of
// the session for each channel: 2 channels x 600,000 scans of F32 (4.8 MB)
// and one DI port.
TEST_F(Readers, ARecordingLargerThanEveryBlockTheExportWorksIn)
{
    testing::IndexSpec spec;
    spec.aiChans = 2;
    spec.di = true;
    spec.diChans = 8;
    spec.portMasks = {0xFF};
    spec.scanCount = 600000;
    spec.scanInterval = 1e-5;
    const std::string project = Save("large", spec, SmoothAndVaried(600000), testing::DIData(0, 1, PortBytes(600000)));
    for (const auto& [format, name] : ReadFormats())
        ExportAndReadBack(project, format, name, true, true);
}

TEST_F(Readers, ACancelledExportLeavesNothingInAnyFormat)
{
    testing::IndexSpec spec;
    spec.aiChans = 4;
    spec.di = true;
    spec.diChans = 1;
    spec.portMasks = {1};
    spec.scanCount = 100000; // 1.6 MB: several reports
    const std::string project =
        Save("cancel", spec, VariedFloats(100000 * 4, 3), testing::DIData(0, 1, PortBytes(100000)));
    for (const auto& [format, name] : ReadFormats()) {
        SCOPED_TRACE(name);
        for (int reports : {1, 5}) {
            int seen = 0;
            EXPECT_EQ(ExportProject({project + "/Project.onp", project + "/out", true, true, '.', format},
                                    [&](double) { return ++seen < reports; }),
                      ExportOutcome::Cancelled);
            for (const auto& entry : fs::directory_iterator(project)) {
                const std::string name = entry.path().filename().string();
                EXPECT_TRUE(name == "Project.onp" || name == "AI.ond" || name == "DI.ond") << name;
            }
        }
    }
}

} // namespace
} // namespace ondrel
