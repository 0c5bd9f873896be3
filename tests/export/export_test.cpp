#include "common/scratch_folder.h"
#include "recording/failing_writes.h"
#include "support/project_files.h"
#include "ondrel/export/number_text.h"
#include "ondrel/export/project_export.h"
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>

namespace ondrel {
namespace {

namespace fs = std::filesystem;
using testing::IndexBytes;
using testing::IndexSpec;
using testing::WriteFile;

// What the text files must hold, built with printf's general form, which is
// the form the files are specified in ("%.7G" for Single, "%.15G" for Double).
std::string General(double value, int digits)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*G", digits, value);
    return text;
}

std::string Text(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The n-th line of an export, rows split at CR LF.
std::string Line(const std::string& text, size_t n)
{
    size_t start = 0;
    for (size_t i = 0; i < n; ++i) {
        start = text.find("\r\n", start);
        if (start == std::string::npos)
            return {};
        start += 2;
    }
    const size_t end = text.find("\r\n", start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

class Export : public ::testing::Test {
protected:
    ScratchFolder folder;
    std::string project = folder / "Project.onp";

    // The data files lie beside the index, which names them by absolute path.
    void Save(IndexSpec spec, const std::vector<std::byte>& ai, const std::vector<std::byte>& di = {})
    {
        spec.paths = std::pair{folder / "AI.ond", folder / "DI.ond"};
        WriteFile(project, IndexBytes(spec).bytes());
        WriteFile(folder / "AI.ond", ai);
        if (spec.di)
            WriteFile(folder / "DI.ond", di);
    }
    ExportOutcome Run(bool ai, bool di, const Progress& progress = {})
    {
        return ExportProject({project, folder / "out", ai, di, '.'}, progress);
    }
};

TEST(NumberText, GeneralFormWithCapitalExponentAndTheLocalesSeparator)
{
    auto single = [](float v, char decimal = '.') {
        char text[kMaxNumberText];
        return std::string(text, AppendSingle(text, v, decimal));
    };
    auto real = [](double v) {
        char text[kMaxNumberText];
        return std::string(text, AppendDouble(text, v, '.'));
    };
    EXPECT_EQ(single(0.001f), "0.001");
    EXPECT_EQ(single(1e-5f), "1E-05");
    EXPECT_EQ(single(0.0001f), "0.0001");
    EXPECT_EQ(single(-2.5f), "-2.5");
    EXPECT_EQ(single(1e8f), "1E+08");
    EXPECT_EQ(single(1234567.0f), "1234567");
    EXPECT_EQ(single(12345678.0f), "1.234568E+07");
    EXPECT_EQ(single(0.1f), "0.1"); // seven digits hide the float's error
    EXPECT_EQ(single(-0.0f), "0");
    EXPECT_EQ(single(2.5f, ','), "2,5");
    EXPECT_EQ(real(0.1 + 0.2), "0.3");
    EXPECT_EQ(real(123456789012345.0), "123456789012345");
    EXPECT_EQ(real(1234567890123456.0), "1.23456789012346E+15");
    char text[kMaxNumberText];
    EXPECT_EQ(std::string(text, AppendInt32(text, -2147483647 - 1)), "-2147483648");
}

TEST_F(Export, EveryWholeScanIsOneRowAcrossTheReadBlocks)
{
    // 3 channels are 12 bytes a scan; scan 33,333 straddles the first 400,000 bytes.
    constexpr int64_t kScans = 100001;
    ExpectedBytes data;
    for (int64_t s = 0; s < kScans; ++s)
        for (int c = 0; c < 3; ++c)
            data.f32(static_cast<float>(s) * 0.5f - static_cast<float>(c) * 1.25e-6f);
    data.byte(1).byte(2).byte(3); // part of one more scan: not written
    IndexSpec spec;
    spec.aiChans = 3;
    spec.scanCount = static_cast<int32_t>(kScans);
    spec.scanInterval = 0.001;
    Save(spec, data.bytes());

    ASSERT_EQ(Run(true, false), ExportOutcome::Written);
    std::string expected = "Time\tAI0\tAI1\tAI2";
    double time = 0.0;
    for (int64_t s = 0; s < kScans; ++s) {
        time += 0.001;
        expected += "\r\n" + General(time, 15);
        for (int c = 0; c < 3; ++c)
            expected += "\t" + General(static_cast<float>(s) * 0.5f - static_cast<float>(c) * 1.25e-6f, 7);
    }
    const std::string written = Text(folder / "out/AI.xlt");
    ASSERT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected);
    EXPECT_EQ(Line(written, 1).substr(0, 6), "0.001\t");
    EXPECT_EQ(Line(written, 2).substr(0, 6), "0.002\t");
    EXPECT_FALSE(fs::exists(folder / "out/DI.xlt"));
}

TEST_F(Export, CountsAreWrittenAsIntegers)
{
    ExpectedBytes data;
    data.i32(0).i32(-32768).i32(65535).i32(2147483647);
    IndexSpec spec;
    spec.soft = false;
    spec.floats = false;
    spec.scanCount = 2;
    Save(spec, data.bytes());
    ASSERT_EQ(Run(true, false), ExportOutcome::Written);
    EXPECT_EQ(Text(folder / "out/AI.xlt"), "Time\tAI0\tAI1\r\n0.01\t0\t-32768\r\n0.02\t65535\t2147483647");
}

TEST_F(Export, PlotNamesAreWrittenInTheSingleByteCodePageTheyAreStoredIn)
{
    IndexSpec spec;
    spec.aiNames = {"Temp \xB0"
                    "C",
                    "\xC4nderung"}; // "Temp °C", "Änderung"
    spec.scanCount = 0;
    Save(spec, {});
    ASSERT_EQ(Run(true, false), ExportOutcome::Written);
    EXPECT_EQ(Text(folder / "out/AI.xlt"), "Time\tTemp \xB0"
                                           "C\t\xC4nderung"); // one byte each, not UTF-8
}

TEST_F(Export, DILinesAreTitledPortColonBitAndAShortFileEndsInItsRow)
{
    IndexSpec spec;
    spec.ai = false;
    spec.aiChans = 0;
    spec.di = true;
    spec.diChans = 3;
    spec.portMasks = {0x05, 0x80};
    spec.scanCount = 4;
    spec.scanInterval = 0.5;
    // Ports 0 and 1; three whole scans and half of a fourth.
    Save(spec, {}, testing::DIData(0, 2, {0x01, 0x80, 0x04, 0x00, 0x05, 0xFF, 0x00}));
    ASSERT_EQ(Run(false, true), ExportOutcome::Written);
    EXPECT_EQ(Text(folder / "out/DI.xlt"),
              "Time\t0:0\t0:2\t1:7\r\n0.5\t1\t0\t1\r\n1\t0\t1\t0\r\n1.5\t1\t1\t1\r\n2\t0\t0");
}

TEST_F(Export, ARecordingWithoutScansGivesTheHeaderAlone)
{
    IndexSpec spec;
    spec.scanCount = 0;
    Save(spec, {});
    ASSERT_EQ(Run(true, false), ExportOutcome::Written);
    EXPECT_EQ(Text(folder / "out/AI.xlt"), "Time\tAI0\tAI1");
}

TEST_F(Export, AnExistingFolderIsRefusedAndNothingIsWritten)
{
    Save(IndexSpec{}, testing::AIData(10, 2));
    fs::create_directory(folder / "out");
    WriteFile(folder / "out/AI.xlt", testing::AIData(1, 1));
    EXPECT_THROW(Run(true, false), CreateFolderError);
    EXPECT_EQ(fs::file_size(folder / "out/AI.xlt"), 4u);

    // A kind the recording does not hold is refused before any folder is made.
    fs::remove_all(folder / "out");
    EXPECT_THROW(Run(true, true), std::invalid_argument);
    EXPECT_FALSE(fs::exists(folder / "out"));
}

TEST_F(Export, ACancelledOrFailedExportLeavesNothing)
{
    IndexSpec spec;
    spec.di = true;
    spec.diChans = 1;
    spec.portMasks = {0x01};
    spec.scanCount = 200000;
    Save(spec, testing::AIData(200000, 2), testing::DIData(0, 1, std::vector<uint8_t>(200000, 1)));
    int reports = 0;
    EXPECT_EQ(Run(true, true, [&](double) { return ++reports < 3; }), ExportOutcome::Cancelled);
    EXPECT_EQ(reports, 3);
    EXPECT_FALSE(fs::exists(folder / "out"));

    // A DI file that is gone is found before anything is made.
    fs::remove(folder / "DI.ond");
    EXPECT_THROW(Run(true, true), FileError);
    EXPECT_FALSE(fs::exists(folder / "out"));
}

TEST_F(Export, EveryFailingWriteIsReportedAndLeavesNoFolder)
{
    // Enough text for several buffer flushes in both files.
    IndexSpec spec;
    spec.aiChans = 4;
    spec.di = true;
    spec.diChans = 8;
    spec.portMasks = {0xFF};
    spec.scanCount = 60000;
    Save(spec, testing::AIData(60000, 4), testing::DIData(0, 1, std::vector<uint8_t>(60000, 0x5A)));
    long writes = 0;
    {
        testing::FailingWrites count(0, 0);
        ASSERT_EQ(Run(true, true), ExportOutcome::Written);
        writes = testing::FailingWrites::Calls();
    }
    ASSERT_GT(writes, 3);
    fs::remove_all(folder / "out");
    for (int error : {ENOSPC, EIO}) {
        for (long k = 1; k <= writes; ++k) {
            testing::FailingWrites failing(k, error);
            try {
                Run(true, true);
                ADD_FAILURE() << "write " << k << " failed unnoticed";
            } catch (const FileError& failure) {
                EXPECT_EQ(failure.errorNumber(), error) << k;
            }
            EXPECT_FALSE(fs::exists(folder / "out")) << "write " << k;
        }
    }
}

} // namespace
} // namespace ondrel
