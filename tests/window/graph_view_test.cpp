#include "window_fixture.h"
#include "support/frm_main_probe.h"
#include "kro/display/kro_graph.h"
#include "kro/display/kro_led.h"
#include "ondrel/graph/plot_setup.h"
#include "ondrel/window/dialogs/frm_graph_set.h"
#include "ondrel/window/graph_view.h"
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest/QTest>
#include <qcustomplot.h>

namespace ondrel::testing {
namespace {

constexpr ColorRef kRed = 0x0000FF;

class GraphViewTest : public WindowTest {
protected:
    kro::KroGraph& chart() { return *form->findChild<kro::KroGraph*>("KroGraph1"); }
    kro::KroLED& led() { return *form->findChild<kro::KroLED*>("KroLED1"); }
    IKroAxis& time() { return Inside(*form).KroGraph1().Axes().Item(kTimeAxis); }
    IKroPlot& plot(int i) { return Inside(*form).KroGraph1().Plots().Item(i); }
    void StartBuffered(double rate, int32_t channels)
    {
        state().bSoftMode = false;
        FlipAI(true);
        components.ai->setChanStart(0);
        components.ai->setChanCount(channels);
        components.ai->setSampleRate(rate);
        state().bFAICyclic = true;
        state().nAISampleCnt = 4096;
        Inside(*form).plots().SetupPlots(false, true);
        Inside(*form).run().BtnStart_Click();
        ASSERT_TRUE(Inside(*form).run().status().isSystemRunning);
    }
    // Runs `drive` on the graph settings dialog once it is open, then opens it.
    void WithGraphSettings(std::function<void(FrmGraphSet&)> drive)
    {
        QTimer::singleShot(0, form.get(), [this, drive] {
            auto* dialog = form->findChild<FrmGraphSet*>("frmGraphSet");
            ASSERT_NE(dialog, nullptr);
            drive(*dialog);
        });
        form->findChild<QPushButton*>("BtnGraphSet")->click();
    }
};

TEST_F(GraphViewTest, SpinDuringABufferedRunKeepsOnePointPerScanAcrossTenDivisions)
{
    Open();
    StartBuffered(10000.0, 4);
    led().downButton()->click();
    EXPECT_DOUBLE_EQ(Inside(*form).timeBase().dDIVValue, 0.2);
    EXPECT_DOUBLE_EQ(led().Value(), 0.2);
    EXPECT_EQ(Inside(*form).KroGraph1().ChartLength(), 5000);
    ASSERT_TRUE(waitFor([&] { return plot(0).PointCount() == 5000; }, 10000));
    EXPECT_NEAR(time().Maximum() - time().Minimum(), 2.0, 1e-9);
    Inside(*form).run().BtnStart_Click();
}

TEST_F(GraphViewTest, ClearGraphDuringARunEmptiesTheChartAndDrawingGoesOn)
{
    Open();
    StartBuffered(10000.0, 4);
    ASSERT_TRUE(waitFor([&] { return plot(0).PointCount() > 4000; }, 10000));
    form->findChild<QPushButton*>("BtnClearGraph")->click();
    EXPECT_EQ(plot(0).PointCount(), 0);
    ASSERT_TRUE(waitFor([&] { return plot(0).PointCount() > 0; }, 10000));
    EXPECT_TRUE(Inside(*form).run().status().isSystemRunning);
    Inside(*form).run().BtnStart_Click();
}

TEST_F(GraphViewTest, RightClickOpensTheMouseModeMenuAndAZoomSetsTheTimeBase)
{
    Open();
    QMenu* menu = Inside(*form).graphView().Menufile();
    QWidget* surface = chart().customPlot();
    const QPoint centre = chart().customPlot()->axisRect()->rect().center();
    QTest::mouseClick(surface, Qt::LeftButton, {}, centre);
    EXPECT_FALSE(menu->isVisible());
    QTest::mouseClick(surface, Qt::RightButton, {}, centre);
    ASSERT_TRUE(waitFor([&] { return menu->isVisible(); }));
    menu->findChild<QAction*>("xz")->trigger();
    menu->hide();
    EXPECT_EQ(Inside(*form).KroGraph1().MouseMode(), MouseAction::ZoomX);

    // A user zoom to 2 .. 4 seconds: a tenth of the span on the read-out.
    chart().customPlot()->xAxis->setRange(2.0, 4.0);
    ASSERT_TRUE(waitFor([&] { return led().Value() == 0.2; }));
    EXPECT_DOUBLE_EQ(time().Minimum(), 2.0);

    // In a pan mode the same move leaves the time base alone.
    Inside(*form).KroGraph1().setMouseMode(MouseAction::PanXY);
    chart().customPlot()->xAxis->setRange(0.0, 8.0);
    // The range report is queued: once a later queued call has run, it has too.
    bool reported = false;
    QTimer::singleShot(0, [&] { reported = true; });
    ASSERT_TRUE(waitFor([&] { return reported; }));
    EXPECT_DOUBLE_EQ(led().Value(), 0.2);
}

TEST_F(GraphViewTest, GraphSettingsShowAWholeAxisLimit)
{
    Open();
    WithGraphSettings([](FrmGraphSet& dialog) {
        for (const char* name : {"txtXMin", "txtXMax", "txtYMin", "txtYMax"}) {
            auto* box = dialog.findChild<QLineEdit*>(name);
            box->setText("-8.79984741210938");
            QStyleOptionFrame option;
            option.initFrom(box);
            option.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
            const int shown = box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box).width() - 4;
            EXPECT_LE(box->fontMetrics().horizontalAdvance(box->text()), shown) << name;
        }
        dialog.reject();
    });
}

TEST_F(GraphViewTest, EachMouseModeItemSetsItsValueAndAMoveInXYPanKeepsTheTimeBase)
{
    Open();
    QMenu* menu = Inside(*form).graphView().Menufile();
    const std::vector<std::pair<const char*, MouseAction>> modes{
        {"None", MouseAction::None}, {"xp", MouseAction::PanX},  {"yp", MouseAction::PanY},
        {"xyp", MouseAction::PanXY}, {"xz", MouseAction::ZoomX}, {"yz", MouseAction::ZoomY},
        {"xyz", MouseAction::ZoomXY}};
    for (const auto& [item, mode] : modes) {
        menu->findChild<QAction*>(item)->trigger();
        EXPECT_EQ(Inside(*form).KroGraph1().MouseMode(), mode) << item;
    }

    menu->findChild<QAction*>("xyp")->trigger();
    chart().customPlot()->xAxis->setRange(2.0, 4.0);
    Inside(*form).graphView().RangeChanged(2.0, 4.0, 0.0, 0.0); // as the chart reports the move
    EXPECT_DOUBLE_EQ(Inside(*form).timeBase().dDIVValue, 1.0);
    EXPECT_DOUBLE_EQ(led().Value(), 1.0);
}

TEST_F(GraphViewTest, GraphSettingsOkRecolourRestylesAndSetsTheXRange)
{
    Open();
    FlipAI(true);
    Inside(*form).plots().SetupPlots(false, true);
    prompts.colorAnswers.push_back(kRed);
    WithGraphSettings([](FrmGraphSet& dialog) {
        dialog.findChild<QListWidget*>("lstPlots")->setCurrentRow(0);
        dialog.findChild<QPushButton*>("BtnColor")->click();
        auto* style = dialog.findChild<QComboBox*>("CmbLineStyle");
        style->setCurrentIndex(1);
        emit style->activated(1);
        for (auto [name, text] : {std::pair{"txtXMin", "2"}, std::pair{"txtXMax", "6"}}) {
            auto* box = dialog.findChild<QLineEdit*>(name);
            box->clear();
            QTest::keyClicks(box, text);
        }
        dialog.findChild<QPushButton*>("BtnApply")->click();
    });
    EXPECT_FALSE(form->findChild<FrmGraphSet*>("frmGraphSet"));
    EXPECT_DOUBLE_EQ(led().Value(), 0.4);
    EXPECT_DOUBLE_EQ(time().Minimum(), 2.0);
    EXPECT_DOUBLE_EQ(time().Maximum(), 6.0);
    EXPECT_EQ(plot(0).Color(), kRed);
    EXPECT_EQ(plot(0).LineStyle(), LineDash::Dash);
    QTreeWidgetItem* row = form->findChild<QTreeWidget*>("ListView1")->topLevelItem(0);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->foreground(1).color(), QColor(Qt::red));
    EXPECT_EQ(row->text(1).toStdString(),
              PlotListRows(Inside(*form).KroGraph1().Plots(), {false, true, false, 1})[0].linePicture);
}

TEST_F(GraphViewTest, GraphSettingsCancelChangesNothingAndStillRebuilds)
{
    Open();
    FlipAI(true);
    Inside(*form).plots().SetupPlots(false, true);
    const auto tables = state().aiChannels;
    const ColorRef before = plot(0).Color();
    plot(0).setColor(0x123456); // a stray colour on the chart, not in the tables
    prompts.colorAnswers.push_back(kRed);
    WithGraphSettings([](FrmGraphSet& dialog) {
        dialog.findChild<QListWidget*>("lstPlots")->setCurrentRow(0);
        dialog.findChild<QPushButton*>("BtnColor")->click();
        dialog.findChild<QPushButton*>("BtnCancel")->click();
    });
    ASSERT_EQ(state().aiChannels.size(), tables.size());
    for (size_t i = 0; i < tables.size(); ++i)
        EXPECT_EQ(state().aiChannels[i].nAIChanColor, tables[i].nAIChanColor) << i;
    EXPECT_EQ(plot(0).Color(), before); // rebuilt from the unchanged tables
}

} // namespace
} // namespace ondrel::testing
