#include "window/modal_steps.h"
#include "support/frm_main_probe.h"
#include "window/window_fixture.h"
#include "ondrel/window/dialogs/dlg_gain_range.h"
#include "ondrel/window/dialogs/frm_graph_set.h"
#include "ondrel/window/dialogs/frm_setting.h"
#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

namespace ondrel {
namespace {

// The dialogs as a keyboard-only user and a screen reader meet them.
class DialogKeyboard : public testing::WindowTest {
protected:
    void Activate(QWidget& dialog)
    {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    static std::string Focused()
    {
        QWidget* w = QApplication::focusWidget();
        return w ? w->objectName().toStdString() : "";
    }
    static std::string AccessibleName(const char* name, QWidget& dialog)
    {
        QWidget* w = dialog.findChild<QWidget*>(name);
        return w ? QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name).toStdString() : "";
    }
    // From the focused control, Tab once round the dialog: the controls met in
    // order, the tab bar and other parts of Qt's own left out.
    static std::vector<std::string> TabRound()
    {
        std::vector<std::string> met;
        QWidget* first = QApplication::focusWidget();
        for (int i = 0; i < 80 && QApplication::focusWidget() != nullptr; ++i) {
            if (!QApplication::focusWidget()->objectName().startsWith("qt_"))
                met.push_back(Focused());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (QApplication::focusWidget() == first)
                break;
        }
        return met;
    }
    // `order` without the controls the dialog shows disabled or not at all; of
    // a group of option buttons, Tab stops on the one chosen (arrows move on).
    static std::vector<std::string> Reachable(QWidget& dialog, std::initializer_list<const char*> order)
    {
        std::vector<std::string> reachable;
        for (const char* name : order) {
            QWidget* w = dialog.findChild<QWidget*>(name);
            auto* option = qobject_cast<QRadioButton*>(w);
            if (w != nullptr && w->isVisible() && w->isEnabled() && (option == nullptr || option->isChecked()))
                reachable.push_back(name);
        }
        return reachable;
    }
};

TEST_F(DialogKeyboard, TheSettingsDialogOpensOnItsFirstControlAndTabsInReadingOrder)
{
    Open();
    FrmSetting dialog({state(), testing::Inside(*form).KroAI1(), *components.dio, SetAIColors(), prompts},
                      *components.thermo, form.get());
    Activate(dialog);
    ASSERT_EQ(dialog.findChild<QTabWidget*>("SSTab1")->currentIndex(), 1);
    EXPECT_EQ(Focused(), "cmdAISelectDevice_1");
    EXPECT_EQ(AccessibleName("cmdAISelectDevice_1", dialog), "AI Select Device");
    EXPECT_EQ(AccessibleName("DISelectDevice", dialog), "DI Select Device");
    EXPECT_EQ(TabRound(),
              Reachable(dialog, {"cmdAISelectDevice_1", "txtAIScanStart_1", "txtAIScanNumber_1", "cmdRange_1",
                                 "DISelectDevice", "ComboDIPort", "CheckDIChannel_0", "CheckDIChannel_1",
                                 "CheckDIChannel_2", "CheckDIChannel_3", "CheckDIChannel_4", "CheckDIChannel_5",
                                 "CheckDIChannel_6", "CheckDIChannel_7", "txtAITimeInterval", "cmdDIOK"}));

    dialog.ShowTab(0);
    EXPECT_EQ(Focused(), "cmdAISelectDevice_0");
    EXPECT_EQ(AccessibleName("cmdAISelectDevice_0", dialog), "AI Select Device");
    EXPECT_EQ(TabRound(),
              Reachable(dialog, {"cmdAISelectDevice_0", "txtAIScanStart_0", "txtAIScanNumber_0", "cmdRange_0",
                                 "txtCount", "txtSampleRate", "cmbDataReturnType", "cmbPacerSource", "chkCylic",
                                 "cmbTriggerMode", "cmbTriggerEdge", "cmbTriggerSource", "txtTriggerDelayTime",
                                 "txtTriggerAfterTimeinAboveMode", "txtTriggerVoltage", "cmdFAIOK"}));
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;
}

TEST_F(DialogKeyboard, TheRangeDialogReadsFromItsChannelListDownTheSideColumn)
{
    Open();
    DlgGainRange dialog({state(), testing::Inside(*form).KroAI1(), *components.thermo, prompts, false}, form.get());
    Activate(dialog);
    EXPECT_EQ(Focused(), "lstViewGain");
    EXPECT_EQ(AccessibleName("lstViewGain", dialog), "Channels");
    EXPECT_EQ(TabRound(), Reachable(dialog, {"lstViewGain", "OptAI", "OptThermo", "ComboRange", "optSingle",
                                             "optDifferent", "ComboTCType", "ComboExpChan", "ComboScale", "OKButton"}));
}

TEST_F(DialogKeyboard, TheGraphSettingsDialogReadsPlotsThenXThenYThenItsButtons)
{
    Open();
    Activate(*form);
    testing::ModalSteps modal;
    std::vector<std::string> round;
    std::string first, x, y;
    modal.Then("frmGraphSet", [&](QDialog& dialog) {
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        first = Focused();
        x = AccessibleName("Frame1", dialog);
        y = AccessibleName("Frame2", dialog);
        round = TabRound();
        EXPECT_EQ(round, Reachable(dialog, {"lstPlots", "BtnColor", "CmbLineStyle", "chkXAutoS", "txtXMin", "txtXMax",
                                            "chkYAutoS", "txtYMin", "txtYMax", "BtnApply", "BtnCancel"}));
        dialog.reject();
    });
    form->findChild<QPushButton*>("BtnGraphSet")->click();
    EXPECT_TRUE(modal.Done());
    EXPECT_EQ(first, "lstPlots");
    EXPECT_EQ(x, "X");
    EXPECT_EQ(y, "Y");
}

} // namespace
} // namespace ondrel
