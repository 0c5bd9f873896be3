#include "devices/sigrok/demo_support.h"
#include "support/frm_main_probe.h"
#include "window/modal_steps.h"
#include "window/window_fixture.h"
#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>

namespace ondrel {
namespace {

template <typename T = QWidget>
T* Child(QWidget& parent, const char* name)
{
    T* widget = parent.findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

// A new user with no hardware, on the program's own components: the demo
// instrument chosen in the settings, a buffered run recorded, saved, replayed
// and exported; then its analog and logic channels polled.
class DemoSession : public testing::WindowTest {
protected:
    ProgramComponents program; // the factory the program itself uses
    testing::ModalSteps modal;
    QTemporaryDir target;

    void Click(const char* name) { Child<QAbstractButton>(*form, name)->click(); }
    std::string Messages() const { return prompts.messages.empty() ? "" : prompts.messages.front().text; }
};

TEST_F(DemoSession, FromTheSettingsToARecordingReplayedAndExportedThenPolled)
{
    const auto demo = kro::testing::demoNumber(kro::DeviceKind::AnalogInput);
    ASSERT_TRUE(demo) << "libsigrok's demo driver found no device";
    form = std::make_unique<FrmMain>(program, prompts, clock);

    prompts.deviceAnswers = {*demo};
    modal.Then("frmSetting", [](QDialog& d) {
        Child<QTabWidget>(d, "SSTab1")->setCurrentIndex(0);
        Child<QAbstractButton>(d, "cmdAISelectDevice_0")->click();
        Child<QLineEdit>(d, "txtAIScanNumber_0")->setText("4");
        Child<QLineEdit>(d, "txtSampleRate")->setText("100000");
        Child<QAbstractButton>(d, "cmdRange_0")->click(); // answered below, inside its own loop
        Child<QAbstractButton>(d, "cmdFAIOK")->click();
    });
    modal.Then("dlgGainRange", [](QDialog& d) {
        // The demo has no volts per division: the one fixed range, and no
        // thermocouples, since its channels measure volts.
        auto* ranges = Child<QComboBox>(d, "ComboRange");
        ASSERT_EQ(ranges->count(), 1);
        EXPECT_FALSE(Child(d, "OptThermo")->isEnabled());
        Child<QAbstractButton>(d, "OKButton")->click();
    });
    Click("BtnSet");
    ASSERT_TRUE(modal.Done());
    ASSERT_TRUE(prompts.messages.empty()) << Messages();
    EXPECT_EQ(testing::Inside(*form).KroAI1().DeviceName(), kro::testing::kDemoName);
    EXPECT_EQ(testing::Inside(*form).KroAI1().ChanCount(), 4);
    EXPECT_EQ(testing::Inside(*form).KroAI1().SampleRate(), 100000.0);
    EXPECT_FALSE(testing::Inside(*form).setup().bSoftMode);

    Tick("CkAISave2Disk");
    testing::Inside(*form).run().BtnStart_Click();
    ASSERT_TRUE(testing::Inside(*form).run().IsRunning()) << Messages();
    ASSERT_TRUE(waitFor([&] {
        return testing::Inside(*form).run().status().nScanCount >= 25000 || !testing::Inside(*form).run().IsRunning();
    }));
    ASSERT_TRUE(testing::Inside(*form).run().IsRunning()) << Messages();
    testing::Inside(*form).run().BtnStart_Click();
    ASSERT_TRUE(prompts.messages.empty()) << Messages();
    const auto values = FileValues<float>(testing::Inside(*form).files()->FAIFileName());
    ASSERT_EQ(static_cast<int64_t>(values.size()), testing::Inside(*form).run().status().nScanCount * 4);
    kro::testing::expectSquare(kro::testing::column(values, 4, 0));
    kro::testing::expectSawtooth(kro::testing::column(values, 4, 3));

    prompts.folderAnswers.push_back(FolderChoice{"/", target.path().toStdString(), "demo"});
    testing::Inside(*form).saveAs().BtnSaveAs_Click();
    ASSERT_TRUE(prompts.messages.empty()) << Messages();
    prompts.projectAnswers.push_back(target.path().toStdString() + "/demo/Project.onp");
    Click("BtnHistory");
    ASSERT_TRUE(prompts.messages.empty()) << Messages();
    ASSERT_TRUE(testing::Inside(*form).replay().bHistoryMode);
    EXPECT_EQ(testing::Inside(*form).KroGraph1().Plots().Count(), 4);
    prompts.exportAnswers.push_back(ExportChoice{{"/", target.path().toStdString(), "text"}, true, false});
    Click("BtnHisConvert");
    ASSERT_TRUE(prompts.messages.empty()) << Messages();
    const auto text = FileBytes(target.path().toStdString() + "/text/AI.xlt");
    const std::string head(reinterpret_cast<const char*>(text.data()), std::min<size_t>(text.size(), 80));
    EXPECT_EQ(head.substr(0, head.find("\r\n")), "Time\tAI 0\tAI 1\tAI 2\tAI 3");
    Click("BtnModeSwitch");
    ASSERT_FALSE(testing::Inside(*form).replay().bHistoryMode);

    prompts.deviceAnswers = {*demo};
    modal.Then("frmSetting", [](QDialog& d) {
        Child<QTabWidget>(d, "SSTab1")->setCurrentIndex(1);
        Child<QAbstractButton>(d, "DISelectDevice")->click();
        Child<QAbstractButton>(d, "CheckDIChannel_0")->click();
        Child<QAbstractButton>(d, "CheckDIChannel_3")->click();
        Child<QLineEdit>(d, "txtAITimeInterval")->setText("10");
        Child<QAbstractButton>(d, "cmdDIOK")->click();
    });
    Click("BtnSet");
    ASSERT_TRUE(modal.Done());
    ASSERT_TRUE(prompts.messages.empty()) << Messages();
    EXPECT_TRUE(testing::Inside(*form).setup().bSoftMode);
    EXPECT_EQ(testing::Inside(*form).setup().nTimerInterval, 10);
    testing::Inside(*form).KroButton2().setValue(true);
    testing::Inside(*form).run().KroButton2_SwitchChanged();
    ASSERT_TRUE(testing::Inside(*form).setup().bDIEnabled) << Messages();
    Tick("CkDISave2Disk");
    testing::Inside(*form).run().BtnStart_Click();
    ASSERT_TRUE(waitFor([&] {
        return testing::Inside(*form).run().status().nScanCount >= 5 || !testing::Inside(*form).run().IsRunning();
    }));
    testing::Inside(*form).run().BtnStart_Click();
    ASSERT_TRUE(prompts.messages.empty()) << Messages();
    EXPECT_GE(testing::Inside(*form).run().status().nScanCount, 5);
    EXPECT_GE(std::filesystem::file_size(testing::Inside(*form).files()->DIFileName()), 8u + 5u);
}

} // namespace
} // namespace ondrel
