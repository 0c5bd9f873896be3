#include "window/window_fixture.h"
#include "support/frm_main_probe.h"
#include "display/graph_points.h"
#include "kro/display/kro_led.h"
#include <QDir>
#include <QDropEvent>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>
#include <clocale>

namespace ondrel {
namespace {

namespace fs = std::filesystem;

// A polled AI+DI run recorded, saved, and opened again for replay in the window.
class HistoryWindow : public testing::WindowTest {
protected:
    QTemporaryDir target;
    std::string project;

    void SetUp() override
    {
        Open();
        SelectDILines();
        FlipAI(true);
        FlipDI(true);
        Tick("CkAISave2Disk");
        Tick("CkDISave2Disk");
        testing::Inside(*form).run().BtnStart_Click();
        ASSERT_TRUE(waitFor([&] { return testing::Inside(*form).run().status().nScanCount >= 4; }));
        clock.Advance(400);
        testing::Inside(*form).run().BtnStart_Click();
        prompts.folderAnswers.push_back(FolderChoice{"/", target.path().toStdString(), "run1"});
        testing::Inside(*form).saveAs().BtnSaveAs_Click();
        ASSERT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;
        project = (fs::path(target.path().toStdString()) / "run1" / "Project.onp").string();
    }
    QPushButton* Button(const char* name) { return form->findChild<QPushButton*>(name); }
    static std::string FileText(const std::string& path)
    {
        const auto bytes = FileBytes(path);
        return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
    }
    int32_t Points(int plot) { return testing::Inside(*form).KroGraph1().Plots().Item(plot).PointCount(); }
    // Straight to the window, as the platform's drag and drop hands it over.
    void Deliver(QDropEvent& drop) { static_cast<QObject*>(form.get())->event(&drop); }
};

TEST_F(HistoryWindow, OpenPlayPauseStopAndBackToAcquisition)
{
    prompts.projectAnswers.push_back(project);
    Button("BtnHistory")->click();
    ASSERT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;
    EXPECT_TRUE(testing::Inside(*form).replay().bHistoryMode);
    EXPECT_EQ(Button("BtnModeSwitch")->text(), "Acquisition");
    EXPECT_TRUE(Enabled("ChkPlay"));
    EXPECT_FALSE(Enabled("BtnStart"));
    // The recording's plots come back with their names: 4 AI then 3 DI lines.
    ASSERT_EQ(testing::Inside(*form).KroGraph1().Plots().Count(), 4 + 3);
    EXPECT_EQ(testing::Inside(*form).KroGraph1().Plots().Item(4).Name(), "DI 0:0");

    Button("ChkPlay")->click();
    EXPECT_EQ(Button("ChkPlay")->accessibleName(), "Pause");
    // Replay plays the scans the clock says are due.
    ASSERT_TRUE(waitFor([&] {
        clock.Advance(20);
        return Points(0) >= 2 && Points(4) >= 2;
    }));
    Button("ChkPlay")->click(); // pause
    EXPECT_EQ(Button("ChkPlay")->accessibleName(), "Play");
    Button("BtnStop")->click();
    EXPECT_FALSE(testing::Inside(*form).replayControl().IsPlaying());

    Button("BtnModeSwitch")->click();
    EXPECT_FALSE(testing::Inside(*form).replay().bHistoryMode);
    EXPECT_TRUE(Enabled("BtnStart"));
    EXPECT_FALSE(Enabled("ChkPlay"));
    // A new run works after replay.
    testing::Inside(*form).run().BtnStart_Click();
    EXPECT_TRUE(testing::Inside(*form).run().IsRunning());
    testing::Inside(*form).run().BtnStart_Click();
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;
}

TEST_F(HistoryWindow, LeavingHistoryModeOffersSaveAsOnlyWhenTheLastRunRecorded)
{
    // The run of SetUp recorded AI and DI.
    prompts.projectAnswers.push_back(project);
    Button("BtnHistory")->click();
    EXPECT_FALSE(Enabled("BtnSaveAs"));
    Button("BtnModeSwitch")->click();
    EXPECT_TRUE(Enabled("BtnSaveAs"));

    // A run with neither box ticked records nothing.
    for (const char* box : {"CkAISave2Disk", "CkDISave2Disk"}) {
        auto* check = form->findChild<QCheckBox*>(box);
        check->setChecked(false);
        emit check->clicked(false);
    }
    testing::Inside(*form).run().BtnStart_Click();
    ASSERT_TRUE(waitFor([&] { return testing::Inside(*form).run().status().nScanCount >= 2; }));
    testing::Inside(*form).run().BtnStart_Click();
    ASSERT_FALSE(Enabled("BtnSaveAs"));
    prompts.projectAnswers.push_back(project);
    Button("BtnHistory")->click();
    Button("BtnModeSwitch")->click();
    EXPECT_FALSE(Enabled("BtnSaveAs"));
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;
}

TEST_F(HistoryWindow, OpeningAProjectShowsOneSecondADivisionAndTheNextSpinStepsFromIt)
{
    auto& led = *form->findChild<kro::KroLED*>("KroLED1");
    led.upButton()->click();
    ASSERT_DOUBLE_EQ(testing::Inside(*form).timeBase().dDIVValue, 5.0);
    prompts.projectAnswers.push_back(project);
    Button("BtnHistory")->click();
    EXPECT_DOUBLE_EQ(testing::Inside(*form).timeBase().dDIVValue, 1.0);
    EXPECT_DOUBLE_EQ(led.Value(), 1.0);
    led.downButton()->click();
    EXPECT_DOUBLE_EQ(testing::Inside(*form).timeBase().dDIVValue, 0.2);
    EXPECT_DOUBLE_EQ(led.Value(), 0.2);
}

TEST_F(HistoryWindow, AProjectDroppedOnTheWindowOrNamedAtStartOpens)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(project))});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    Deliver(drop);
    EXPECT_TRUE(testing::Inside(*form).replay().bHistoryMode)
        << (prompts.messages.empty() ? "" : prompts.messages[0].text);
    EXPECT_TRUE(prompts.projectChooserOpenedAt.empty());

    Button("BtnModeSwitch")->click();
    form->OpenProject(project);
    EXPECT_TRUE(testing::Inside(*form).replay().bHistoryMode);

    // A file that is not a project is not taken.
    Button("BtnModeSwitch")->click();
    data.setUrls({QUrl::fromLocalFile(target.path() + "/run1/AI.ond")});
    QDropEvent other(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    Deliver(other);
    EXPECT_FALSE(testing::Inside(*form).replay().bHistoryMode);
}

TEST_F(HistoryWindow, AProjectIsNotTakenWhileAReplayPlaysOrIsPaused)
{
    prompts.projectAnswers.push_back(project);
    Button("BtnHistory")->click();
    ASSERT_TRUE(testing::Inside(*form).replay().bHistoryMode);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(project))});
    for (const bool paused : {false, true}) {
        Button("ChkPlay")->click(); // plays, then pauses
        ASSERT_EQ(testing::Inside(*form).replay().isHisPlayPaused, paused);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        static_cast<QObject*>(form.get())->event(&enter);
        EXPECT_FALSE(enter.isAccepted()) << paused;
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        Deliver(drop);
        form->OpenProject(project);
        // Still the replay as it was: playing or paused, the commands as they were.
        EXPECT_EQ(testing::Inside(*form).replayControl().IsPlaying(), !paused) << paused;
        EXPECT_EQ(testing::Inside(*form).replay().isHisPlayPaused, paused);
        EXPECT_FALSE(Enabled("BtnHistory"));
    }
    Button("BtnStop")->click();
    EXPECT_TRUE(Enabled("BtnHistory"));
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;
}

TEST_F(HistoryWindow, AMissingProjectNamedAtStartIsReportedAndNothingChanges)
{
    form->OpenProject(target.path().toStdString() + "/gone/Project.onp");
    EXPECT_FALSE(testing::Inside(*form).replay().bHistoryMode);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, "BtnHistory");
    EXPECT_TRUE(Enabled("BtnStart"));
}

TEST_F(HistoryWindow, ConvertWritesTheRecordingThatIsOpenWhereverItsFolderWentSince)
{
    prompts.projectAnswers.push_back(project);
    Button("BtnHistory")->click();
    ASSERT_TRUE(testing::Inside(*form).replay().bHistoryMode);
    const std::string dir = target.path().toStdString();
    prompts.exportAnswers.push_back(ExportChoice{{"/", dir, "before"}, true, true});
    Button("BtnHisConvert")->click();
    ASSERT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;

    // The folder moved away and another recording's description in its place.
    fs::rename(dir + "/run1", dir + "/moved");
    fs::create_directory(dir + "/run1");
    fs::copy_file(dir + "/moved/Project.onp", dir + "/run1/Project.onp");
    prompts.exportAnswers.push_back(ExportChoice{{"/", dir, "after"}, true, true});
    Button("BtnHisConvert")->click();
    ASSERT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;
    EXPECT_EQ(FileText(dir + "/after/AI.xlt"), FileText(dir + "/before/AI.xlt"));
    EXPECT_EQ(FileText(dir + "/after/DI.xlt"), FileText(dir + "/before/DI.xlt"));
}

TEST_F(HistoryWindow, ConvertWritesTheFormatChosenInItsChooser)
{
    prompts.projectAnswers.push_back(project);
    Button("BtnHistory")->click();
    const std::string dir = target.path().toStdString();
    prompts.exportAnswers.push_back(ExportChoice{{"/", dir, "csv"}, true, true, ExportFormat::Csv});
    Button("BtnHisConvert")->click();
    ASSERT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;
    EXPECT_FALSE(fs::exists(dir + "/csv/AI.xlt"));
    const std::string ai = FileText(dir + "/csv/AI.csv");
    EXPECT_EQ(ai.substr(0, ai.find("\r\n")), "time_s,AI 0,AI 1,AI 2,AI 3");
    const std::string di = FileText(dir + "/csv/DI.csv");
    EXPECT_EQ(di.substr(0, di.find("\r\n")), "time_s,0:0,0:2,1:7");
}

TEST_F(HistoryWindow, ConvertWritesTheOpenRecordingAndRefusesAnExistingFolder)
{
    prompts.projectAnswers.push_back(project);
    Button("BtnHistory")->click();
    ASSERT_TRUE(Enabled("BtnHisConvert"));

    // The chooser offers AI ticked and DI to be asked for; both asked.
    const std::string dir = target.path().toStdString();
    prompts.exportAnswers.push_back(ExportChoice{{"/", dir, "text"}, true, true});
    Button("BtnHisConvert")->click();
    ASSERT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;
    ASSERT_EQ(prompts.exportChooserOpenedWith.size(), 1u);
    EXPECT_TRUE(prompts.exportChooserOpenedWith[0].ai);
    EXPECT_TRUE(prompts.exportChooserOpenedWith[0].di);
    const std::string ai = FileText(dir + "/text/AI.xlt");
    EXPECT_EQ(ai.substr(0, ai.find("\r\n")), "Time\tAI 0\tAI 1\tAI 2\tAI 3");
    const std::string di = FileText(dir + "/text/DI.xlt");
    EXPECT_EQ(di.substr(0, di.find("\r\n")), "Time\t0:0\t0:2\t1:7");

    // Again into the same folder: refused, nothing overwritten.
    prompts.exportAnswers.push_back(ExportChoice{{"/", dir, "text"}, true, false});
    Button("BtnHisConvert")->click();
    EXPECT_EQ(prompts.messages, (std::vector<testing::RecordedPrompts::Message>{{"Create Directory Fail", "Ondrel"}}));
    EXPECT_EQ(FileText(dir + "/text/AI.xlt"), ai);

    // Cancelled at its first report: the new folder is gone again.
    prompts.cancelAfterReports = 0;
    prompts.exportAnswers.push_back(ExportChoice{{"/", dir, "cancelled"}, true, true});
    Button("BtnHisConvert")->click();
    EXPECT_FALSE(fs::exists(dir + "/cancelled"));
    EXPECT_EQ(prompts.progressTitles.back(), "Convert");

    // Neither kind ticked: nothing is done, not even the folder.
    prompts.messages.clear();
    const size_t runs = prompts.progressTitles.size();
    prompts.exportAnswers.push_back(ExportChoice{{"/", dir, "nothing"}, false, false});
    Button("BtnHisConvert")->click();
    EXPECT_FALSE(fs::exists(dir + "/nothing"));
    EXPECT_EQ(prompts.progressTitles.size(), runs);
    EXPECT_TRUE(prompts.messages.empty());
}

// Qt's default locale writes "1,5"; the C library's LC_NUMERIC, which
// ondrel-convert also writes with, is what Convert follows.
class HistoryWindowInAnotherLocale : public HistoryWindow {
protected:
    QLocale before;
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        HistoryWindow::SetUp();
    }
    void TearDown() override { QLocale::setDefault(before); }
};

TEST_F(HistoryWindowInAnotherLocale, ConvertWritesTheCLibrarysDecimalSeparator)
{
    ASSERT_EQ(QLocale().decimalPoint(), ",");
    ASSERT_STREQ(std::localeconv()->decimal_point, ".");
    prompts.projectAnswers.push_back(project);
    Button("BtnHistory")->click();
    const std::string dir = target.path().toStdString();
    prompts.exportAnswers.push_back(ExportChoice{{"/", dir, "text"}, true, false});
    Button("BtnHisConvert")->click();
    ASSERT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;
    const std::string ai = FileText(dir + "/text/AI.xlt");
    const std::string rows = ai.substr(ai.find("\r\n"));
    EXPECT_NE(rows.find('.'), std::string::npos) << rows;
    EXPECT_EQ(rows.find(','), std::string::npos) << rows;
}

} // namespace
} // namespace ondrel
