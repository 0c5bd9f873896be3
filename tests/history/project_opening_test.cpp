#include "history/replay_fixture.h"
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>

namespace ondrel::testing {
namespace {

namespace fs = std::filesystem;

class ProjectOpeningTest : public ReplayTest {
protected:
    // Writes a description of raw bytes beside valid data and opens it.
    void OpenBytes(const std::vector<std::byte>& bytes)
    {
        const std::string dir = folder / "bad";
        fs::create_directories(dir);
        WriteFile(dir + "/Project.onp", bytes);
        WriteFile(dir + "/AI.ond", AIData(10, 2));
        Open(dir + "/Project.onp");
    }
    std::vector<std::byte> Spec(const std::function<void(IndexSpec&)>& change)
    {
        IndexSpec spec;
        change(spec);
        return IndexBytes(spec).bytes();
    }
};

TEST_F(ProjectOpeningTest, OpeningSetsUpTheWindowChartTimerAndSpeedForRealTime)
{
    IndexSpec spec;
    spec.aiChans = 3;
    const std::string project = Save(folder / "p", spec, AIData(1000, 3), {});
    Open(project);

    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(state.bHistoryMode && state.bHisFileExist);
    EXPECT_EQ(state.szHisProjectFile, project);
    EXPECT_EQ(state.nHisAIChanCount, 3);
    EXPECT_EQ(state.aiPlots.at(2).name, "AI2");
    EXPECT_EQ(graph.Plots().Count(), 3);
    EXPECT_TRUE(view.State("mode switch") && view.State("his controls"));
    EXPECT_FALSE(view.State("set frame") || view.State("start") || view.State("save as"));
    EXPECT_EQ(view.calls.at(2), "mode caption Acquisition");
    // 100 scans per second: 20 s of chart is 2000 points; speed 100 is one scan every 10 ms.
    EXPECT_EQ(graph.ChartLength(), 2000);
    EXPECT_DOUBLE_EQ(speed.Value(), 100.0);
    EXPECT_EQ(state.nHisPlayStep, 1);
    EXPECT_EQ(timer.entries.at(kHistoryTimer).interval, 10);
    EXPECT_FALSE(timer.entries.at(kHistoryTimer).enabled);
    EXPECT_EQ(graph.Axes().Item(kTimeAxis).Maximum(), 10.0);
    EXPECT_EQ(led.Value(), 1.0);

    // A second project reuses the timer entry instead of adding another.
    Open(Save(folder / "q", spec, AIData(10, 3), {}));
    EXPECT_EQ(timer.adds, 1);
    EXPECT_EQ(state.nHisDataScanCount, 10);
}

TEST_F(ProjectOpeningTest, CancelAndAMissingFileChangeNothingAndSayNothing)
{
    view.answer.reset();
    replay.BtnHistory_Click();
    Open(folder / "nothing.onp");
    EXPECT_FALSE(state.bHistoryMode);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(view.calls, (std::vector<std::string>{"open dialog", "open dialog"}));
}

TEST_F(ProjectOpeningTest, ADescriptionThatCannotBeReplayedIsRefusedBeforeAnythingChanges)
{
    const auto good = Spec([](IndexSpec&) {});
    auto cutShort = good;
    cutShort.resize(good.size() - 3); // inside the scan interval
    const std::vector<std::vector<std::byte>> refused = {
        cutShort,
        std::vector<std::byte>(good.begin(), good.begin() + 5), // inside a flag
        good,                                                   // patched below
        Spec([](IndexSpec& s) {
            s.di = true;
            s.diChans = 1;
            s.portMasks = {1};
        }), // then patched below
        Spec([](IndexSpec& s) {
            s.ai = true;
            s.aiChans = 0;
        }), // AI without channels
        Spec([](IndexSpec& s) { s.scanCount = -1; }),
        Spec([](IndexSpec& s) { s.scanInterval = 0.0; }),
        Spec([](IndexSpec& s) { s.scanInterval = -0.01; }),
        Spec([](IndexSpec& s) { s.scanInterval = std::numeric_limits<double>::quiet_NaN(); }),
        Spec([](IndexSpec& s) {
            s.paths.reset();
            s.scanCount = 0;
        }), // patched below
    };
    auto negativePorts = refused[3];
    // DIPortCount follows fields 1-6 (16 bytes), two AI records "AI0", "AI1"
    // (12 each), AIDevChanCount and its 16 kinds, one DI record "DI0": make it -1.
    const size_t diPortCount = 16 + 2 * 12 + 4 + 16 + 12;
    for (size_t i = 0; i < 4; ++i)
        negativePorts[diPortCount + i] = std::byte{0xFF};
    auto neverStopped = refused[9];
    neverStopped.resize(neverStopped.size() - 12); // no ScanCount, no ScanInterval

    auto tooManyPlots = good;
    tooManyPlots[8 + 3] = std::byte{0x10}; // AIChanCount 0x10000002: more records than bytes

    auto all = refused;
    all[2] = tooManyPlots;
    all[3] = negativePorts;
    all[9] = neverStopped;
    for (size_t i = 0; i < all.size(); ++i) {
        SCOPED_TRACE("description " + std::to_string(i));
        prompts.messages.clear();
        view.calls.clear();
        OpenBytes(all[i]);
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].title, "BtnHistory");
        EXPECT_NE(prompts.messages[0].text.find("Project description"), std::string::npos);
        EXPECT_FALSE(state.bHistoryMode);
        EXPECT_FALSE(state.bHisFileExist);
        EXPECT_EQ(view.calls, (std::vector<std::string>{"open dialog"}));
        EXPECT_FALSE(timer.exist(kHistoryTimer));
    }
}

TEST_F(ProjectOpeningTest, ARefusedDescriptionLeavesTheOpenProjectAsItWas)
{
    IndexSpec spec;
    spec.aiChans = 2;
    Open(Save(folder / "p", spec, AIData(100, 2), {}));
    Play();
    Tick();
    const auto shown = valuesOf(PlotAt(1));
    view.calls.clear();

    OpenBytes(Spec([](IndexSpec& s) { s.scanInterval = 0.0; }));
    EXPECT_EQ(prompts.messages.back().title, "BtnHistory");
    EXPECT_TRUE(state.bHistoryMode);
    EXPECT_EQ(state.szHisProjectFile, folder / "p/Project.onp");
    EXPECT_EQ(graph.Plots().Count(), 2);
    EXPECT_EQ(valuesOf(PlotAt(1)), shown);
    EXPECT_TRUE(replay.IsPlaying());
    Tick(); // the replay goes on where it was
    EXPECT_EQ(valuesOf(PlotAt(1)).size(), 2u);
}

TEST_F(ProjectOpeningTest, AMissingDataFileIsReportedAndNeverCreated)
{
    IndexSpec spec;
    spec.di = true;
    spec.diChans = 1;
    spec.portMasks = {1};
    const std::string dir = folder / "p";
    spec.paths = {{dir + "/AI.ond", dir + "/DI.ond"}};
    fs::create_directories(dir);
    WriteFile(dir + "/Project.onp", IndexBytes(spec).bytes()); // neither data file is there
    Open(dir + "/Project.onp");

    // Both under the AI procedure's title; the DI file's with its own description.
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[0], (RecordedPrompts::Message{"CreateFile Fails ", "ReadHisAIFile"}));
    EXPECT_EQ(prompts.messages[1].title, "ReadHisAIFile");
    EXPECT_NE(prompts.messages[1].text.find(std::strerror(ENOENT)), std::string::npos) << prompts.messages[1].text;
    EXPECT_NE(prompts.messages[1].text.find(dir + "/DI.ond"), std::string::npos) << prompts.messages[1].text;
    EXPECT_FALSE(fs::exists(dir + "/AI.ond"));
    EXPECT_FALSE(fs::exists(dir + "/DI.ond"));
    // The project is open all the same; replay finds nothing and stops at once.
    EXPECT_TRUE(state.bHistoryMode);
    Play();
    Tick();
    EXPECT_FALSE(replay.IsPlaying());
    EXPECT_DOUBLE_EQ(position.Value(), 0.1);
}

TEST_F(ProjectOpeningTest, IndexWithoutPathsAndADIPathWithoutTerminator)
{
    // A working folder's description: no path fields, so nothing to open.
    IndexSpec working;
    working.paths = {{"", ""}};
    auto bytes = IndexBytes(working).bytes();
    bytes.resize(bytes.size() - 1); // drop the AI path's 0 byte: no fields 15-16 at all
    OpenBytes(bytes);
    EXPECT_EQ(prompts.messages, (std::vector<RecordedPrompts::Message>{{"CreateFile Fails ", "ReadHisAIFile"}}));
    EXPECT_EQ(state.szHisAIFile, "");

    // The DI path runs to the end of the file.
    prompts.messages.clear();
    IndexSpec spec;
    spec.ai = false;
    spec.aiChans = 5; // stored, but AI is not recorded
    spec.di = true;
    spec.diChans = 2;
    spec.portMasks = {0x03};
    const std::string dir = folder / "d";
    spec.paths = {{dir + "/AI.ond", dir + "/DI.ond"}};
    Save(dir, spec, {}, DIData(0, 1, {1, 2, 3}));
    Open(dir + "/Project.onp");
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(state.szHisDIFile, dir + "/DI.ond");
    EXPECT_EQ(state.nHisAIChanCount, 0);
    EXPECT_EQ(state.nHisDIChanCount, 2);
    EXPECT_EQ(state.nHisDataScanCount, 3);
    // The DI axis: 15 x start - 1 to 15 x start + 30 x ports - 1.
    EXPECT_EQ(graph.Axes().Item(kDIAxis).Minimum(), -1.0);
    EXPECT_EQ(graph.Axes().Item(kDIAxis).Maximum(), 29.0);
}

TEST_F(ProjectOpeningTest, TheDIAxisStartsAtTheRecordingsFirstPort)
{
    IndexSpec spec;
    spec.ai = false;
    spec.di = true;
    spec.diChans = 2;
    spec.portMasks = {0x00, 0x00, 0x03};
    Open(Save(folder / "p", spec, {}, DIData(2, 1, {1, 2, 3})));
    ASSERT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;
    // From 15 x 2 - 1 to 15 x 2 + 30 x 1 - 1.
    EXPECT_FALSE(graph.Axes().Item(kDIAxis).AutoScale());
    EXPECT_EQ(graph.Axes().Item(kDIAxis).Minimum(), 29.0);
    EXPECT_EQ(graph.Axes().Item(kDIAxis).Maximum(), 59.0);
}

TEST_F(ProjectOpeningTest, ADIFileWhoseHeaderMakesNoSenseIsReported)
{
    IndexSpec spec;
    spec.ai = false;
    spec.di = true;
    spec.diChans = 1;
    spec.portMasks = {1};
    Open(Save(folder / "p", spec, {}, DIData(0, 0, {1, 2})));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, "ReadHisAIFile");
    EXPECT_NE(prompts.messages[0].text.find("port count 0"), std::string::npos);
}

TEST_F(ProjectOpeningTest, LeavingHistoryModeClosesTheFilesAndRestoresAcquisition)
{
    IndexSpec spec;
    Open(Save(folder / "p", spec, AIData(10, 2), {}));
    view.lastRunRecorded = true;
    view.calls.clear();
    replay.BtnModeSwitch_Click();
    EXPECT_FALSE(state.bHistoryMode);
    EXPECT_TRUE(state.bHisFileExist);
    EXPECT_EQ(view.calls,
              (std::vector<std::string>{"his controls off", "set frame on", "start on", "mode caption History Mode",
                                        "mode switch off", "cmd frame on", "save as on", "plots acquisition"}));
    EXPECT_FALSE(timer.entries.at(kHistoryTimer).enabled);
    EXPECT_TRUE(timer.exist(kHistoryTimer));
}

} // namespace
} // namespace ondrel::testing
