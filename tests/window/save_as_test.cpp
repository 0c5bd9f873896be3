#include "window/window_fixture.h"
#include "support/frm_main_probe.h"
#include <QDir>
#include <QTemporaryDir>

namespace ondrel {
namespace {

namespace fs = std::filesystem;

class SaveAs : public testing::WindowTest {
protected:
    QTemporaryDir target;

    void RecordPolledRun()
    {
        Open();
        FlipAI(true);
        Tick("CkAISave2Disk");
        testing::Inside(*form).run().BtnStart_Click();
        ASSERT_TRUE(waitFor([&] { return testing::Inside(*form).run().status().nScanCount >= 2; }));
        testing::Inside(*form).run().BtnStart_Click();
    }
    void Answer(const std::string& name)
    {
        prompts.folderAnswers.push_back(FolderChoice{"/", target.path().toStdString(), name});
    }
    std::string Saved(const std::string& name, const char* file)
    {
        return (fs::path(target.path().toStdString()) / name / file).string();
    }
};

TEST_F(SaveAs, CopiesTheRunAndAppendsTheDataPaths)
{
    RecordPolledRun();
    Answer("run1");
    testing::Inside(*form).saveAs().BtnSaveAs_Click();
    ASSERT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;

    EXPECT_EQ(FileBytes(Saved("run1", "AI.ond")), FileBytes(testing::Inside(*form).files()->AIFileName()));
    EXPECT_FALSE(fs::exists(Saved("run1", "DI.ond"))); // no DI recorded, no copy
    const auto working = FileBytes(testing::Inside(*form).files()->ProjectFileName());
    const auto saved = FileBytes(Saved("run1", "Project.onp"));
    ASSERT_GT(saved.size(), working.size());
    EXPECT_TRUE(std::equal(working.begin(), working.end(), saved.begin()));
    const ProjectDescription d = ParseProjectDescription(saved);
    ASSERT_TRUE(d.paths.has_value());
    EXPECT_EQ(d.paths->aiFilePath, Saved("run1", "AI.ond"));
    EXPECT_EQ(d.paths->diFilePath, Saved("run1", "DI.ond"));
    EXPECT_EQ(d.end->scanCount, testing::Inside(*form).run().status().nScanCount);

    // The next run still records: Start reopens the working description.
    testing::Inside(*form).run().BtnStart_Click();
    EXPECT_TRUE(testing::Inside(*form).run().status().isSystemRunning);
    testing::Inside(*form).run().BtnStart_Click();
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(SaveAs, BufferedDataIsSavedUnderTheAINameAndFlaggedAsBuffered)
{
    Open();
    state().bSoftMode = false;
    components.ai->setSampleRate(100000);
    FlipAI(true);
    Tick("CkAISave2Disk");
    testing::Inside(*form).run().BtnStart_Click();
    ASSERT_TRUE(waitFor([&] { return !testing::Inside(*form).run().status().isSystemRunning; }));
    Answer("buffered");
    testing::Inside(*form).saveAs().BtnSaveAs_Click();
    EXPECT_EQ(FileBytes(Saved("buffered", "AI.ond")), FileBytes(testing::Inside(*form).files()->FAIFileName()));
    EXPECT_FALSE(ParseProjectDescription(FileBytes(Saved("buffered", "Project.onp"))).run.softRecorded);
}

TEST_F(SaveAs, AWholePathTypedAsTheNameSavesThereAndNotInsideTheChoosersFolder)
{
    RecordPolledRun();
    QTemporaryDir elsewhere;
    const std::string whole = (fs::path(elsewhere.path().toStdString()) / "run2").string();
    Answer(whole);
    testing::Inside(*form).saveAs().BtnSaveAs_Click();
    ASSERT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;
    EXPECT_TRUE(fs::is_regular_file(fs::path(whole) / "Project.onp"));
    EXPECT_TRUE(fs::is_empty(target.path().toStdString()));
}

TEST_F(SaveAs, ChooserKeepsTheLastPlaceAndCancelChangesNothing)
{
    RecordPolledRun();
    testing::Inside(*form).saveAs().BtnSaveAs_Click(); // cancelled
    Answer("");                                        // an empty name counts as cancelled
    testing::Inside(*form).saveAs().BtnSaveAs_Click();
    EXPECT_TRUE(QDir(target.path()).isEmpty());
    Answer("again");
    testing::Inside(*form).saveAs().BtnSaveAs_Click();
    testing::Inside(*form).saveAs().BtnSaveAs_Click();
    ASSERT_EQ(prompts.chooserOpenedAt.size(), 4u);
    EXPECT_EQ(prompts.chooserOpenedAt[0].dir, QDir::homePath().toStdString());
    EXPECT_EQ(prompts.chooserOpenedAt[3].dir, target.path().toStdString());
    EXPECT_TRUE(testing::Inside(*form).choosers().szNewFolder.empty());
}

TEST_F(SaveAs, SavingOverAProjectAsksFirstAndNoChoosesAgain)
{
    RecordPolledRun();
    Answer("run");
    testing::Inside(*form).saveAs().BtnSaveAs_Click();
    EXPECT_TRUE(prompts.yesNoQuestions.empty()); // a new folder needs no question
    const auto before = FileBytes(Saved("run", "AI.ond"));

    testing::Inside(*form).run().BtnStart_Click();
    ASSERT_TRUE(waitFor([&] { return testing::Inside(*form).run().status().nScanCount >= 4; }));
    testing::Inside(*form).run().BtnStart_Click();
    const std::string folder = target.path().toStdString() + "/run";
    Answer("run");
    prompts.yesNoAnswers = {false};
    testing::Inside(*form).saveAs().BtnSaveAs_Click(); // No, then the chooser again, cancelled
    EXPECT_EQ(prompts.yesNoQuestions, std::vector<std::string>{folder + " already holds a project. Replace it?"});
    EXPECT_EQ(prompts.chooserOpenedAt.size(), 3u);
    EXPECT_EQ(prompts.chooserOpenedAt.back().dir, target.path().toStdString());
    EXPECT_EQ(FileBytes(Saved("run", "AI.ond")), before);

    Answer("run");
    prompts.yesNoAnswers = {true};
    testing::Inside(*form).saveAs().BtnSaveAs_Click();
    EXPECT_EQ(FileBytes(Saved("run", "AI.ond")), FileBytes(testing::Inside(*form).files()->AIFileName()));
    EXPECT_NE(FileBytes(Saved("run", "AI.ond")), before);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(SaveAs, ClosingWithAnUnsavedRecordingOffersItAndCancelKeepsTheProgramOpen)
{
    RecordPolledRun();
    const std::string working = testing::Inside(*form).files()->AIFileName();
    form->show();
    prompts.unsavedAnswers = {UnsavedAnswer::Cancel};
    EXPECT_FALSE(form->close());
    EXPECT_EQ(prompts.unsavedQuestions, std::vector<std::string>{"The last recording has not been saved."});
    EXPECT_TRUE(fs::exists(working));

    // Save As from the question, then the program ends; a saved run asks nothing.
    prompts.unsavedAnswers = {UnsavedAnswer::SaveAs};
    Answer("kept");
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(fs::exists(Saved("kept", "Project.onp")));
    EXPECT_EQ(prompts.unsavedQuestions.size(), 2u);
}

TEST_F(SaveAs, NothingIsAskedAtExitWhenTheLastRunIsSavedOrRecordedNothing)
{
    RecordPolledRun();
    Answer("saved");
    testing::Inside(*form).saveAs().BtnSaveAs_Click();
    form->show();
    EXPECT_TRUE(form->close());

    Open(); // a session whose run recorded nothing
    FlipAI(true);
    testing::Inside(*form).run().BtnStart_Click();
    ASSERT_TRUE(waitFor([&] { return testing::Inside(*form).run().status().nScanCount >= 2; }));
    testing::Inside(*form).run().BtnStart_Click();
    form->show();
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(prompts.unsavedQuestions.empty());
}

TEST_F(SaveAs, AFailedCopyIsReportedAndLeavesAnEarlierProjectWhole)
{
    RecordPolledRun();
    Answer("run");
    testing::Inside(*form).saveAs().BtnSaveAs_Click();
    const auto before = FileBytes(Saved("run", "Project.onp"));
    const auto dataBefore = FileBytes(Saved("run", "AI.ond"));

    fs::remove(testing::Inside(*form).files()->AIFileName()); // the data to copy is gone
    Answer("run");
    testing::Inside(*form).saveAs().BtnSaveAs_Click();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, "BtnSaveAs");
    EXPECT_EQ(FileBytes(Saved("run", "Project.onp")), before);
    EXPECT_EQ(FileBytes(Saved("run", "AI.ond")), dataBefore);
    EXPECT_FALSE(fs::exists(Saved("run", "AI.ond.partial")));

    // Into a folder that has no description yet: none appears.
    Answer("fresh");
    testing::Inside(*form).saveAs().BtnSaveAs_Click();
    EXPECT_FALSE(fs::exists(Saved("fresh", "Project.onp")));
}

TEST_F(SaveAs, ACancelledCopyLeavesAnEarlierProjectAsItWas)
{
    RecordPolledRun();
    Answer("run1");
    testing::Inside(*form).saveAs().BtnSaveAs_Click();
    const auto before = FileBytes(Saved("run1", "Project.onp"));
    const auto data = FileBytes(Saved("run1", "AI.ond"));

    // A longer run saved over it, cancelled at its first progress report.
    testing::Inside(*form).run().BtnStart_Click();
    ASSERT_TRUE(waitFor([&] { return testing::Inside(*form).run().status().nScanCount >= 4; }));
    testing::Inside(*form).run().BtnStart_Click();
    prompts.cancelAfterReports = 0;
    Answer("run1");
    testing::Inside(*form).saveAs().BtnSaveAs_Click();
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;
    EXPECT_EQ(prompts.progressTitles.back(), "Save As");
    EXPECT_EQ(FileBytes(Saved("run1", "Project.onp")), before);
    EXPECT_EQ(FileBytes(Saved("run1", "AI.ond")), data);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(target.path().toStdString() + "/run1"))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"AI.ond", "Project.onp"}));

    // Into a new folder: the folder is not left behind.
    Answer("run2");
    testing::Inside(*form).saveAs().BtnSaveAs_Click();
    EXPECT_FALSE(fs::exists(target.path().toStdString() + "/run2"));
}

} // namespace
} // namespace ondrel
