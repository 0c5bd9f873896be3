#include "kro/display/kro_graph.h"
#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <qcustomplot.h>
#include <vector>

namespace {

struct ButtonLog : ondrel::IKroGraphEvents {
    void MouseButton(int16_t& button, int32_t shift, float& x, float& y) override
    {
        presses.push_back({button, shift, QPointF(x, y)});
    }
    struct Press {
        int16_t button;
        int32_t shift;
        QPointF at;
    };
    std::vector<Press> presses;
};

// The chart in a window behind a plain button, reached with Tab.
class ChartKeys : public ::testing::Test {
protected:
    ChartKeys()
    {
        auto* layout = new QVBoxLayout(&window);
        auto* before = new QPushButton("before", &window);
        layout->addWidget(before);
        graph = new kro::KroGraph(&window);
        layout->addWidget(graph);
        graph->setEvents(&log);
        window.resize(600, 400);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        graph->customPlot()->replot(); // lays out the axis rectangle
        before->setFocus();
        key(Qt::Key_Tab);
    }

    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(window.windowHandle(), key, modifiers);
    }

    QWidget window;
    kro::KroGraph* graph;
    ButtonLog log;
};

TEST_F(ChartKeys, MenuKeyAndShiftF10RaiseTheRightButtonEventInThePlottingArea)
{
    ASSERT_EQ(QApplication::focusWidget(), graph);
    key(Qt::Key_Menu);
    key(Qt::Key_F10, Qt::ShiftModifier);
    key(Qt::Key_Menu, Qt::ControlModifier);
    key(Qt::Key_F10); // F10 alone is not the menu key

    ASSERT_EQ(log.presses.size(), 3u);
    const QRectF area = graph->customPlot()->axisRect()->rect();
    for (const auto& press : log.presses) {
        EXPECT_EQ(press.button, 2);
        EXPECT_TRUE(area.contains(press.at));
    }
    EXPECT_EQ(log.presses[0].shift, 0);
    EXPECT_EQ(log.presses[1].shift, 0); // the Shift of Shift+F10 is part of the key
    EXPECT_EQ(log.presses[2].shift, 2);
}

TEST_F(ChartKeys, APlatformsKeyboardContextMenuEventDoesNotOpenASecondMenu)
{
    // Platforms that turn the menu key into a context-menu event deliver the
    // key press as well: one key, one menu.
    QContextMenuEvent fromKey(QContextMenuEvent::Keyboard, QPoint(10, 10));
    QApplication::sendEvent(graph, &fromKey);
    EXPECT_TRUE(fromKey.isAccepted()); // taken in, not passed on to the window
    key(Qt::Key_Menu);
    EXPECT_EQ(log.presses.size(), 1u);
}

TEST_F(ChartKeys, AClickOnThePlotFocusesTheChartAndADisabledChartRaisesNothing)
{
    QWidget* plot = graph->customPlot();
    window.findChild<QPushButton*>()->setFocus();
    QTest::mouseClick(plot, Qt::LeftButton, {}, plot->rect().center());
    EXPECT_EQ(QApplication::focusWidget(), graph);
    EXPECT_TRUE(log.presses.size() == 1u && log.presses[0].button == 1);

    log.presses.clear();
    graph->setEnabled(false);
    graph->requestMenu();
    QAccessible::queryAccessibleInterface(graph)->actionInterface()->doAction(
        QAccessibleActionInterface::showMenuAction());
    EXPECT_TRUE(log.presses.empty());
}

TEST_F(ChartKeys, IsANamedChartDescribedByItsPlotsWithTheMenuAsAnAction)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(graph);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Chart);
    EXPECT_EQ(iface->childCount(), 0);
    graph->setAccessibleName("Waveforms");
    EXPECT_EQ(iface->text(QAccessible::Name), "Waveforms");

    EXPECT_EQ(iface->text(QAccessible::Description), "No plots");
    graph->Plots().Add().setName("AI 0");
    ondrel::IKroPlot& digital = graph->Plots().Add();
    digital.setName("DI 0:1");
    EXPECT_EQ(iface->text(QAccessible::Description), "Plots: AI 0, DI 0:1");
    digital.setVisible(false);
    EXPECT_EQ(iface->text(QAccessible::Description), "Plots: AI 0, DI 0:1 (hidden)");
    graph->Plots().RemoveAll();
    EXPECT_EQ(iface->text(QAccessible::Description), "No plots");

    ASSERT_TRUE(iface->actionInterface()->actionNames().contains(QAccessibleActionInterface::showMenuAction()));
    iface->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
    ASSERT_EQ(log.presses.size(), 1u);
    EXPECT_EQ(log.presses[0].button, 2);
}

} // namespace
