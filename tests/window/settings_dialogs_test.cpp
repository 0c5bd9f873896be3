#include "window/modal_steps.h"
#include "support/frm_main_probe.h"
#include "window/window_fixture.h"
#include "ondrel/window/dialogs/dlg_gain_range.h"
#include "ondrel/settings/dialog_controls.h"
#include "ondrel/window/dialogs/frm_setting.h"
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QScrollBar>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>

namespace ondrel {
namespace {

using Message = testing::RecordedPrompts::Message;

template <typename T = QWidget>
T* Child(QWidget& dialog, const char* name)
{
    T* widget = dialog.findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

void Choose(QWidget& dialog, const char* list, int position)
{
    auto* combo = Child<QComboBox>(dialog, list);
    combo->setCurrentIndex(position);
    emit combo->activated(position);
}

void LoseFocus(QWidget* box, Qt::FocusReason reason = Qt::TabFocusReason)
{
    QFocusEvent out(QEvent::FocusOut, reason);
    QApplication::sendEvent(box, &out);
}

class SettingsDialogs : public testing::WindowTest {
protected:
    testing::ModalSteps modal;
};

TEST_F(SettingsDialogs, SettingsDialogHasItsControlsChecksBoxesOnLeavingAndEscapeCancels)
{
    Open();
    FrmSetting dialog({state(), testing::Inside(*form).KroAI1(), *components.dio, SetAIColors(), prompts},
                      *components.thermo, form.get());
    EXPECT_EQ(dialog.windowTitle(), "Ondrel device setting");
    auto* tabs = Child<QTabWidget>(dialog, "SSTab1");
    EXPECT_EQ(tabs->tabText(0), "Fast AI");
    EXPECT_EQ(tabs->tabText(1), "SoftAI and/or DI");
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(Child<QGroupBox>(dialog, "Frame2_1")->title(), "AI Select Device");
    EXPECT_EQ(Child<QGroupBox>(dialog, "SoftSetting_1")->title(), "AI Channel Setting");
    EXPECT_EQ(Child<QLabel>(dialog, "labAIDeviceName_0")->text().toStdString(), components.ai->DeviceName());
    EXPECT_EQ(Child<QAbstractButton>(dialog, "cmdRange_0")->text(), "Set &Range");
    EXPECT_EQ(Child<QComboBox>(dialog, "cmbPacerSource")->itemText(1), "External clock 0");
    // Every box and list without a caption of its own is named for assistive technology.
    for (QWidget* control : dialog.findChildren<QWidget*>()) {
        auto* button = qobject_cast<QAbstractButton*>(control);
        const bool uncaptioned = qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control)
                                 || (button != nullptr && button->text().isEmpty());
        if (uncaptioned && !control->objectName().startsWith("qt_")) {
            EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
        }
    }

    auto* rate = Child<QLineEdit>(dialog, "txtSampleRate");
    rate->setText("abc");
    LoseFocus(rate, Qt::ActiveWindowFocusReason); // another window, not another control
    EXPECT_TRUE(prompts.messages.empty());
    LoseFocus(rate);
    EXPECT_EQ(prompts.messages, (std::vector<Message>{{"Please input a valide number", ""}}));
    EXPECT_EQ(rate->text(), "1");

    dialog.show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.form().result().outcome, SettingsResult::Outcome::Closed);
}

// Whether `widget` is a control of the kind the settings logic takes it for.
bool IsOfKind(QWidget* widget, ControlKind kind)
{
    switch (kind) {
    case ControlKind::Frame:
        return qobject_cast<QGroupBox*>(widget) != nullptr;
    case ControlKind::Label:
        return qobject_cast<QLabel*>(widget) != nullptr;
    case ControlKind::Box:
        return qobject_cast<QLineEdit*>(widget) != nullptr;
    case ControlKind::Button:
        return qobject_cast<QPushButton*>(widget) != nullptr;
    case ControlKind::Check:
        return qobject_cast<QCheckBox*>(widget) != nullptr;
    case ControlKind::Option:
        return qobject_cast<QRadioButton*>(widget) != nullptr;
    case ControlKind::List:
        return qobject_cast<QComboBox*>(widget) != nullptr;
    case ControlKind::Report:
        return qobject_cast<QTreeWidget*>(widget) != nullptr;
    }
    return false;
}

// The logic's tests run on views that know only the declared controls; each of
// them is in the real dialog, of its kind, and option buttons sit in their frame.
TEST_F(SettingsDialogs, EveryControlTheLogicAddressesIsInItsDialogAsDeclared)
{
    Open();
    FrmSetting settings({state(), testing::Inside(*form).KroAI1(), *components.dio, SetAIColors(), prompts},
                        *components.thermo, form.get());
    DlgGainRange range({state(), testing::Inside(*form).KroAI1(), *components.thermo, prompts, false}, nullptr);
    for (const auto& [dialog, declared] :
         {std::pair<QWidget*, const std::vector<DeclaredControl>*>{&settings, &SettingsDialogControls()},
          {&range, &GainRangeDialogControls()}}) {
        for (const DeclaredControl& control : *declared) {
            const std::string where = dialog->objectName().toStdString() + " " + control.name;
            auto* widget = dialog->findChild<QWidget*>(QString::fromStdString(control.name));
            ASSERT_NE(widget, nullptr) << where;
            EXPECT_TRUE(IsOfKind(widget, control.kind)) << where;
            if (control.kind == ControlKind::Option) {
                EXPECT_EQ(widget->parentWidget()->objectName().toStdString(), control.group) << where;
            }
        }
    }
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(SettingsDialogs, RangeDialogAppliesARowsChoicesFromTheKeyboardAndMouse)
{
    Open();
    DlgGainRange dialog({state(), testing::Inside(*form).KroAI1(), *components.thermo, prompts, false}, nullptr);
    EXPECT_EQ(dialog.windowTitle(), "Input Range");
    auto* list = Child<QTreeWidget>(dialog, "lstViewGain");
    ASSERT_EQ(list->topLevelItemCount(), 16);
    EXPECT_EQ(list->headerItem()->text(4), "Range|TCType");
    EXPECT_EQ(list->topLevelItem(2)->text(1), "Chan02");
    list->setCurrentItem(list->topLevelItem(2)); // arrow keys move the current row
    Choose(dialog, "ComboRange", 5);
    EXPECT_EQ(list->topLevelItem(2)->text(4), "4. ~ 20. mA");
    Child<QRadioButton>(dialog, "optDifferent")->click();
    components.ai->setChannel(3);
    EXPECT_EQ(components.ai->SignalConnection(), Connection::Differential);
    EXPECT_EQ(list->topLevelItem(3)->text(1), "Chan02");
    EXPECT_FALSE(Child(dialog, "OptThermo")->isEnabled());
    dialog.show();
    // The columns fit the list: no scroll bar across it for nothing.
    ASSERT_TRUE(waitFor([&] { return list->header()->length() > 0; }));
    EXPECT_LE(list->header()->length(), list->viewport()->width());
    EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0);
    Child<QAbstractButton>(dialog, "OKButton")->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(SettingsDialogs, RangeDialogWidensItsListToTheColumnsInALargeFont)
{
    Open();
    const QFont usual = QApplication::font();
    QFont large = usual;
    large.setPointSizeF(usual.pointSizeF() * 2);
    QApplication::setFont(large);
    DlgGainRange dialog({state(), testing::Inside(*form).KroAI1(), *components.thermo, prompts, false}, nullptr);
    dialog.show();
    auto* list = Child<QTreeWidget>(dialog, "lstViewGain");
    ASSERT_TRUE(waitFor([&] { return list->header()->length() > 0; }));
    EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0);
    QApplication::setFont(usual);
}

TEST_F(SettingsDialogs, ClosingThroughTheCloseBoxAfterChoosingADeviceKeepsOnlyTheChoice)
{
    Open();
    prompts.deviceAnswers = {kro::card::Basic};
    modal.Then("frmSetting", [](QDialog& d) {
        Child<QAbstractButton>(d, "cmdAISelectDevice_1")->click();
        Child<QLineEdit>(d, "txtAITimeInterval")->setText("10");
        d.close();
    });
    Child<QAbstractButton>(*form, "BtnSet")->click();
    EXPECT_TRUE(modal.Done());
    EXPECT_EQ(components.ai->DeviceNumber(), kro::card::Basic);
    EXPECT_EQ(state().nAISampleCnt, 4096);
    EXPECT_TRUE(state().bFAICyclic);
    EXPECT_EQ(state().nTimerInterval, 100);
    EXPECT_TRUE(state().bSoftMode);
    EXPECT_FALSE(testing::Inside(*form).KroButton1().Value());
    EXPECT_EQ(state().aiChannels.size(), 9u);
    EXPECT_EQ(testing::Inside(*form).KroGraph1().Plots().Count(), components.ai->ChanCount());
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(SettingsDialogs, ClosingThroughTheCloseBoxAfterChangingTheDICardSwitchesDIOff)
{
    Open();
    SelectDILines();
    FlipDI(true);
    ASSERT_TRUE(state().bDIEnabled);
    prompts.deviceAnswers = {kro::card::Di0Ports, kro::card::Di3Ports};
    modal.Then("frmSetting", [](QDialog& d) {
        Child<QTabWidget>(d, "SSTab1")->setCurrentIndex(1);
        Child<QAbstractButton>(d, "DISelectDevice")->click(); // another card
        Child<QAbstractButton>(d, "DISelectDevice")->click(); // and back: its lines were dropped
        d.close();
    });
    Child<QAbstractButton>(*form, "BtnSet")->click();
    EXPECT_TRUE(modal.Done());
    EXPECT_FALSE(testing::Inside(*form).KroButton2().Value());
    EXPECT_FALSE(state().bDIEnabled);
    EXPECT_FALSE(Enabled("CkDISave2Disk"));
    EXPECT_TRUE(prompts.messages.empty());
}

// A new operator's first session: choose the card, set up a buffered run with
// one channel on the current loop, record it; then poll two DI lines.
TEST_F(SettingsDialogs, FirstSessionFromSettingsToRecordedRuns)
{
    components.aiCard = kro::card::Basic;
    Open();
    prompts.deviceAnswers = {kro::card::Differential16};
    modal.Then("frmSetting", [](QDialog& d) {
        Child<QTabWidget>(d, "SSTab1")->setCurrentIndex(0);
        Child<QAbstractButton>(d, "cmdAISelectDevice_0")->click();
        Child<QLineEdit>(d, "txtAIScanNumber_0")->setText("4");
        Child<QLineEdit>(d, "txtSampleRate")->setText("10000");
        EXPECT_TRUE(Child<QAbstractButton>(d, "chkCylic")->isChecked());
        Child<QAbstractButton>(d, "cmdRange_0")->click(); // answered below, inside its own loop
        Child<QAbstractButton>(d, "cmdFAIOK")->click();
    });
    modal.Then("dlgGainRange", [](QDialog& d) {
        auto* list = Child<QTreeWidget>(d, "lstViewGain");
        list->setCurrentItem(list->topLevelItem(2));
        Choose(d, "ComboRange", 5);
        Child<QAbstractButton>(d, "OKButton")->click();
    });
    Child<QAbstractButton>(*form, "BtnSet")->click();
    ASSERT_TRUE(modal.Done());
    ASSERT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;

    kro::SimAI& ai = *components.ai;
    EXPECT_EQ(ai.DeviceNumber(), kro::card::Differential16);
    EXPECT_EQ(ai.ChanCount(), 4);
    EXPECT_EQ(ai.SampleRate(), 10000.0);
    EXPECT_TRUE(testing::Inside(*form).KroButton1().Value());
    EXPECT_TRUE(Enabled("CkAISave2Disk"));
    EXPECT_FALSE(state().bSoftMode);
    EXPECT_EQ(state().nAISampleCnt, 5000);
    EXPECT_EQ(testing::Inside(*form).KroGraph1().Plots().Count(), 4);

    Tick("CkAISave2Disk");
    testing::Inside(*form).run().BtnStart_Click();
    ASSERT_TRUE(testing::Inside(*form).run().status().isSystemRunning);
    ASSERT_TRUE(waitFor([&] { return testing::Inside(*form).run().status().nScanCount >= 2500; }));
    testing::Inside(*form).run().BtnStart_Click();
    ASSERT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;

    // Channel 2 measures on the 4..20 mA range, the others on the first range.
    const auto& card = *ai.card();
    std::vector<kro::SimRange> ranges(16, card.ranges[0]);
    ranges[2] = card.ranges[5];
    ASSERT_EQ(ranges[2].low, 4.0);
    ASSERT_EQ(ranges[2].high, 20.0);
    const auto values = FileValues<float>(testing::Inside(*form).files()->FAIFileName());
    const int32_t scans = testing::Inside(*form).run().status().nScanCount;
    ASSERT_EQ(values.size(), static_cast<size_t>(scans) * 4);
    const int64_t period = kro::SimSignal::bufferedPeriod(10000, 4);
    for (size_t k = 0; k < values.size(); ++k)
        ASSERT_EQ(values[k], static_cast<float>(
                                 kro::SimSignal::runSample(card, 0, 4, ranges, static_cast<int64_t>(k), period).value))
            << k;
    const ProjectDescription run1 = Description();
    ASSERT_TRUE(run1.run.ai.has_value());
    EXPECT_EQ(run1.run.ai->plots.size(), 4u);
    ASSERT_TRUE(run1.end.has_value());
    EXPECT_DOUBLE_EQ(run1.end->scanInterval, 4 / 10000.0); // 10 kS/s over 4 channels

    modal.Then("frmSetting", [](QDialog& d) {
        EXPECT_EQ(Child<QTabWidget>(d, "SSTab1")->currentIndex(), 0); // the tab confirmed last
        Child<QTabWidget>(d, "SSTab1")->setCurrentIndex(1);
        Choose(d, "ComboDIPort", 1);
        Child<QAbstractButton>(d, "CheckDIChannel_2")->click();
        Child<QAbstractButton>(d, "CheckDIChannel_5")->click();
        Child<QLineEdit>(d, "txtAITimeInterval")->setText("10");
        Child<QAbstractButton>(d, "cmdDIOK")->click();
    });
    Child<QAbstractButton>(*form, "BtnSet")->click();
    ASSERT_TRUE(modal.Done());
    EXPECT_TRUE(state().bSoftMode);
    EXPECT_EQ(state().nTimerInterval, 10);
    EXPECT_EQ(state().nDIChanCount, 2);
    EXPECT_EQ(testing::Inside(*form).KroGraph1().Plots().Count(), 6);

    FlipDI(true);
    ASSERT_TRUE(state().bDIEnabled) << prompts.messages.at(0).text;
    Tick("CkDISave2Disk");
    testing::Inside(*form).run().BtnStart_Click();
    ASSERT_TRUE(waitFor([&] { return testing::Inside(*form).run().status().nScanCount >= 3; }));
    testing::Inside(*form).run().BtnStart_Click();
    ASSERT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;
    const auto header = FileValues<int32_t>(testing::Inside(*form).files()->DIFileName());
    ASSERT_GE(header.size(), 2u);
    EXPECT_EQ(header[0], 1); // port start
    EXPECT_EQ(header[1], 1); // port count
}

} // namespace
} // namespace ondrel
