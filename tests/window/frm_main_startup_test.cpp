#include "support/recorded_prompts.h"
#include "support/frm_main_probe.h"
#include "support/test_components.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/window/frm_main.h"
#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QTreeWidget>
#include <filesystem>
#include <gtest/gtest.h>

namespace ondrel {
namespace {

namespace fs = std::filesystem;

struct Window {
    testing::TestComponents components;
    testing::RecordedPrompts prompts;
    ManualClock clock;
    std::unique_ptr<FrmMain> form;

    Window() { form = std::make_unique<FrmMain>(components, prompts, clock); }
};

QString Caption(QWidget* widget)
{
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    if (auto* box = qobject_cast<QGroupBox*>(widget))
        return box->title();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    return {};
}

TEST(FrmMainStartup, SessionDefaultsAndTablesComeFromTheDevices)
{
    Window w;
    const AcquisitionSetup& s = testing::Inside(*w.form).setup();
    EXPECT_EQ(w.form->windowTitle(), "Ondrel 2.0");
    EXPECT_EQ(s.nTimerInterval, 100);
    EXPECT_EQ(s.nAISampleCnt, 4096);
    EXPECT_FALSE(s.bFAICyclic);
    EXPECT_TRUE(s.bSoftMode);
    EXPECT_DOUBLE_EQ(testing::Inside(*w.form).timeBase().dDIVValue, 1.0);
    EXPECT_FALSE(testing::Inside(*w.form).run().IsRunning());
    EXPECT_EQ(s.nDIMaxPortCount, 3);
    EXPECT_TRUE(w.prompts.messages.empty());

    // Channel rows run 0..MaxChanCount, port masks 0..PortCount, DI lines
    // 0..PortCount * 8.
    EXPECT_EQ(s.aiChannels.size(), static_cast<size_t>(w.components.ai->MaxChanCount()) + 1);
    EXPECT_EQ(s.nDIPortMask.size(), 4u);
    EXPECT_EQ(s.diLines.size(), 25u);
    EXPECT_EQ(s.aiChannels[3].szAIChanName, "AI 3");
    EXPECT_EQ(s.aiChannels[0].nAIChanColor, 0x0000FFu);
    EXPECT_EQ(s.aiChannels[8].nAIChanColor, 0x80000016u);
    EXPECT_FALSE(s.aiChannels[5].bAIChanIsThermo);
    EXPECT_EQ(s.diLines[13].szDIChanName, "DI 1:5");
    EXPECT_EQ(s.diLines[0].nDIChanColor, 16777215u);
    EXPECT_EQ(s.diLines[8].nDIChanColor, 65535u);
}

TEST(FrmMainStartup, ChartHasFourTitledAxesAndNoPlotsWithNothingSwitchedOn)
{
    Window w;
    IKroGraph& graph = testing::Inside(*w.form).KroGraph1();
    ASSERT_EQ(graph.Axes().Count(), 4);
    EXPECT_EQ(graph.Axes().Item(0).Title(), "Second");
    EXPECT_EQ(graph.Axes().Item(1).Title(), "AI Data");
    EXPECT_EQ(graph.Axes().Item(2).Title(), "DI Data");
    EXPECT_EQ(graph.Axes().Item(3).Title(), "Temperature Data");
    EXPECT_DOUBLE_EQ(graph.Axes().Item(0).Minimum(), 0.0);
    EXPECT_DOUBLE_EQ(graph.Axes().Item(0).Maximum(), 10.0);
    EXPECT_FALSE(graph.Axes().Item(3).Element(0).Visible());
    // The AI plots are there from start-up; nothing is listed while AI and DI are off.
    EXPECT_EQ(graph.Plots().Count(), w.components.ai->ChanCount());
    EXPECT_EQ(w.form->findChild<QTreeWidget*>("ListView1")->topLevelItemCount(), 0);
}

TEST(FrmMainStartup, ControlsCarryTheirNamesAndCaptions)
{
    Window w;
    const std::map<QString, QString> captions{{"FrameHis", "History Playback"},
                                              {"FrameSet", "Device"},
                                              {"FrameCmd", "Signal"},
                                              {"FrameGraph", "Graph"},
                                              {"BtnSet", "&Setting..."},
                                              {"CkAISave2Disk", "AI Save2Disk"},
                                              {"CkDISave2Disk", "DI Save2Disk"},
                                              {"BtnHistory", "&History..."},
                                              {"BtnStart", "Start"},
                                              {"BtnModeSwitch", "History Mode"},
                                              {"BtnSaveAs", "Save As"},
                                              {"BtnExit", "&Exit"},
                                              {"BtnGraphSet", "Setting..."},
                                              {"BtnClearGraph", "Clear Graph"},
                                              {"BtnHisConvert", "Convert"},
                                              {"Label8", "sec/div"},
                                              {"Label3", "Plots Line Style"},
                                              {"Label15", "Slow"},
                                              {"Label16", "Play Speed"},
                                              {"Label14", "High"},
                                              {"Label1", "0%"},
                                              {"Label2", "50%"},
                                              {"Label6", "100%"},
                                              {"Label7", "On"},
                                              {"Label9", "Off"},
                                              {"Label18", "AI"},
                                              {"Label17", "DI"}};
    for (const auto& [name, caption] : captions) {
        auto* widget = w.form->findChild<QWidget*>(name);
        ASSERT_NE(widget, nullptr) << name.toStdString();
        EXPECT_EQ(Caption(widget), caption) << name.toStdString();
    }
    for (const char* name :
         {"KroGraph1", "KroSliderR", "KroSliderV", "KroButton1", "KroButton2", "KroLED1", "ListView1", "FrameListView",
          "Picture1", "Picture4", "ChkPlay", "BtnAccelerate", "BtnStop"})
        EXPECT_NE(w.form->findChild<QWidget*>(name), nullptr) << name;

    // Idle state after start-up: save boxes, Save As and the replay controls are off.
    for (const char* name :
         {"CkAISave2Disk", "CkDISave2Disk", "BtnSaveAs", "BtnModeSwitch", "FrameHis", "ChkPlay", "BtnHisConvert"})
        EXPECT_FALSE(w.form->findChild<QWidget*>(name)->isEnabled()) << name;
    EXPECT_TRUE(w.form->findChild<QWidget*>("BtnStart")->isEnabled());
}

TEST(FrmMainStartup, OpensAtTheMinimumSizeWithTheLayoutApplied)
{
    Window w;
    w.form->show(); // the first display lays the window out
    EXPECT_EQ(w.form->width(), w.form->Px(kMinFormWidth));
    EXPECT_EQ(w.form->height(), w.form->Px(kMinFormHeight));
    const FormGeometry& g = testing::Inside(*w.form).geometryTwips();
    EXPECT_EQ(g.at("KroGraph1").width, 9600);
    EXPECT_EQ(g.at("FrameSet").top, 5120);
    auto* start = w.form->findChild<QWidget*>("BtnStart");
    EXPECT_EQ(start->x(), w.form->Px(9900));
    EXPECT_EQ(start->y(), w.form->Px(4315));

    // Shrinking below the minimum snaps back to it.
    w.form->resize(w.form->Px(12000), w.form->Px(7000));
    EXPECT_EQ(w.form->width(), w.form->Px(kMinFormWidth));
    EXPECT_EQ(w.form->height(), w.form->Px(kMinFormHeight));
}

TEST(FrmMainStartup, WorkingFolderHoldsThreeOpenFilesAndIsGoneAfterClosing)
{
    Window w;
    const fs::path folder = testing::Inside(*w.form).files()->Folder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.filename().string().rfind("on", 0), 0u);
    EXPECT_TRUE(fs::is_directory(folder));
    for (const char* name : {"Project.ond", "AI.ond", "DI.ond"})
        EXPECT_TRUE(fs::exists(folder / name)) << name;
    EXPECT_EQ(testing::Inside(*w.form).files()->FAIFileName(), (folder / "FAI.ond").string());

    w.form->close();
    EXPECT_FALSE(fs::exists(folder));
    w.form.reset(); // a second unload finds nothing to do
    EXPECT_FALSE(fs::exists(folder));
}

TEST(FrmMainStartup, DestroyingTheWindowWithoutClosingAlsoRemovesTheFolder)
{
    fs::path folder;
    {
        Window w;
        folder = testing::Inside(*w.form).files()->Folder();
        ASSERT_TRUE(fs::is_directory(folder));
    }
    EXPECT_FALSE(fs::exists(folder));
}

TEST(FrmMainStartup, WithoutDevicesStartUpStillMakesTheWorkingFolder)
{
    testing::TestComponents components;
    components.aiCard = -1;
    components.dioCard = -1;
    testing::RecordedPrompts prompts;
    ManualClock clock;
    FrmMain form(components, prompts, clock);
    EXPECT_TRUE(fs::is_directory(testing::Inside(form).files()->Folder()));
    EXPECT_TRUE(testing::Inside(form).setup().aiChannels.empty());
    EXPECT_EQ(testing::Inside(form).setup().nDIMaxPortCount, 0);
    EXPECT_EQ(testing::Inside(form).setup().nDIPortMask.size(), 1u);
    EXPECT_EQ(testing::Inside(form).KroGraph1().Plots().Count(), 0);
    EXPECT_TRUE(prompts.messages.empty());
}

} // namespace
} // namespace ondrel
