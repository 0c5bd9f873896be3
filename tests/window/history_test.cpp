#include "window/window_fixture.h"
#include "display/graph_points.h"
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>

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
        form->run().BtnStart_Click();
        ASSERT_TRUE(waitFor([&] { return form->run().status().nScanCount >= 4; }));
        clock.Advance(400);
        form->run().BtnStart_Click();
        prompts.folderAnswers.push_back(FolderChoice{"/", target.path().toStdString(), "run1"});
        form->saveAs().BtnSaveAs_Click();
        ASSERT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;
        project = (fs::path(target.path().toStdString()) / "run1" / "Project.onp").string();
    }
    QPushButton* Button(const char* name) { return form->findChild<QPushButton*>(name); }
    int32_t Points(int plot) { return form->KroGraph1().Plots().Item(plot).PointCount(); }
    // Straight to the window, as the platform's drag and drop hands it over.
    void Deliver(QDropEvent& drop) { static_cast<QObject*>(form.get())->event(&drop); }
};

TEST_F(HistoryWindow, OpenPlayPauseStopAndBackToAcquisition)
{
    prompts.projectAnswers.push_back(project);
    Button("BtnHistory")->click();
    ASSERT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;
    EXPECT_TRUE(form->replay().bHistoryMode);
    EXPECT_EQ(Button("BtnModeSwitch")->text(), "Acquisition");
    EXPECT_TRUE(Enabled("ChkPlay"));
    EXPECT_FALSE(Enabled("BtnStart"));
    // The recording's plots come back with their names: 4 AI then 3 DI lines.
    ASSERT_EQ(form->KroGraph1().Plots().Count(), 4 + 3);
    EXPECT_EQ(form->KroGraph1().Plots().Item(4).Name(), "DI 0:0");

    Button("ChkPlay")->click();
    EXPECT_EQ(Button("ChkPlay")->accessibleName(), "Pause");
    // Replay plays the scans the clock says are due.
    ASSERT_TRUE(waitFor([&] {
        clock.Advance(20);
        return Points(0) >= 2 && Points(4) >= 2;
    }));
    Button("ChkPlay")->click();   // pause
    EXPECT_EQ(Button("ChkPlay")->accessibleName(), "Play");
    Button("BtnStop")->click();
    EXPECT_FALSE(form->replayControl().IsPlaying());

    Button("BtnModeSwitch")->click();
    EXPECT_FALSE(form->replay().bHistoryMode);
    EXPECT_TRUE(Enabled("BtnStart"));
    EXPECT_FALSE(Enabled("ChkPlay"));
    // A new run works after replay.
    form->run().BtnStart_Click();
    EXPECT_TRUE(form->run().IsRunning());
    form->run().BtnStart_Click();
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;
}

TEST_F(HistoryWindow, AProjectDroppedOnTheWindowOrNamedAtStartOpens)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(project))});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    Deliver(drop);
    EXPECT_TRUE(form->replay().bHistoryMode) << (prompts.messages.empty() ? "" : prompts.messages[0].text);
    EXPECT_TRUE(prompts.projectChooserOpenedAt.empty());

    Button("BtnModeSwitch")->click();
    form->OpenProject(project);
    EXPECT_TRUE(form->replay().bHistoryMode);

    // A file that is not a project is not taken.
    Button("BtnModeSwitch")->click();
    data.setUrls({QUrl::fromLocalFile(target.path() + "/run1/AI.ond")});
    QDropEvent other(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    Deliver(other);
    EXPECT_FALSE(form->replay().bHistoryMode);
}

TEST_F(HistoryWindow, AMissingProjectNamedAtStartIsReportedAndNothingChanges)
{
    form->OpenProject(target.path().toStdString() + "/gone/Project.onp");
    EXPECT_FALSE(form->replay().bHistoryMode);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, "BtnHistory");
    EXPECT_TRUE(Enabled("BtnStart"));
}

} // namespace
} // namespace ondrel
