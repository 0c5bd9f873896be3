#include "kro/display/kro_button.h"
#include "kro/display/kro_led.h"
#include "kro/display/kro_slider.h"
#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <vector>

namespace {

QAccessibleInterface* accessible(QWidget* widget)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    EXPECT_NE(iface, nullptr);
    return iface;
}

void doAction(QWidget* widget, const QString& action)
{
    QAccessibleActionInterface* actions = accessible(widget)->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(action)) << action.toStdString();
    actions->doAction(action);
}

// A window with a plain button ahead of `control`, which it takes over: Tab
// from the button must reach the control, and keys then go where a user's
// keys would.
class FocusWindow {
public:
    explicit FocusWindow(QWidget* control)
    {
        auto* layout = new QVBoxLayout(&window_);
        auto* before = new QPushButton("before", &window_);
        layout->addWidget(before);
        control->setParent(&window_);
        layout->addWidget(control);
        window_.resize(300, 200);
        window_.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window_));
        before->setFocus();
        key(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), control);
    }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(window_.windowHandle(), key, modifiers);
    }

private:
    QWidget window_;
};

struct SwitchLog : ondrel::IKroButtonEvents {
    explicit SwitchLog(const kro::KroButton& button) : button_(button) {}
    void SwitchChanged(bool value) override
    {
        flips.push_back(value);
        // The program reads Value when it hears of a flip: it must already agree.
        valueAtEvent.push_back(button_.Value());
    }
    const kro::KroButton& button_;
    std::vector<bool> flips;
    std::vector<bool> valueAtEvent;
};

TEST(KroButtonAccess, MouseKeyboardAndAccessibilityFlipsAllRaiseSwitchChanged)
{
    auto* button = new kro::KroButton;
    SwitchLog log(*button);
    button->setEvents(&log);
    FocusWindow window(button);
    QAccessibleInterface* iface = accessible(button);

    QTest::mouseClick(button, Qt::LeftButton);
    window.key(Qt::Key_Space);
    doAction(button, QAccessibleActionInterface::toggleAction());
    doAction(button, QAccessibleActionInterface::pressAction());
    button->toggle(); // whoever flips it, the program hears of it

    EXPECT_EQ(log.flips, (std::vector<bool>{true, false, true, false, true}));
    EXPECT_EQ(log.valueAtEvent, log.flips);
    EXPECT_TRUE(button->Value());
    EXPECT_TRUE(iface->state().checked);
}

TEST(KroButtonAccess, PutsAreSilentAndADisabledSwitchRefusesEveryWay)
{
    auto* button = new kro::KroButton;
    SwitchLog log(*button);
    button->setEvents(&log);
    FocusWindow window(button);
    QAccessibleInterface* iface = accessible(button);

    button->setValue(true);
    EXPECT_TRUE(iface->state().checked);
    button->setValue(false);
    EXPECT_FALSE(iface->state().checked);
    EXPECT_TRUE(log.flips.empty());

    button->setEnabled(false);
    QTest::mouseClick(button, Qt::LeftButton);
    window.key(Qt::Key_Space);
    doAction(button, QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(button->Value());
    EXPECT_TRUE(log.flips.empty());
}

TEST(KroButtonAccess, IsACheckableToggleNamedByTheWindowOrItsCaption)
{
    kro::KroButton button;
    QAccessibleInterface* iface = accessible(&button);
    EXPECT_EQ(iface->role(), QAccessible::CheckBox);
    EXPECT_TRUE(iface->state().checkable);
    EXPECT_TRUE(iface->state().focusable);

    button.setText("&AI");
    EXPECT_EQ(iface->text(QAccessible::Name), "AI");
    button.setAccessibleName("AI acquisition");
    EXPECT_EQ(iface->text(QAccessible::Name), "AI acquisition");
}

// Bright green pixels in the top and the bottom half of the picture.
std::pair<int, int> litPixels(QWidget& widget)
{
    const QImage image = widget.grab().toImage();
    std::pair<int, int> lit{0, 0};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.green() > 150 && c.red() < 120 && c.blue() < 120)
                (y < image.height() / 2 ? lit.first : lit.second) += 1;
        }
    return lit;
}

TEST(KroButtonAccess, ASwitchTooSmallForTextShowsItsStateAsALitOrDarkKnob)
{
    // The window's switches are 252 x 612 twips: 17 x 41 pixels, ON at the top.
    kro::KroButton button;
    button.resize(17, 41);
    EXPECT_FALSE(button.showsText());
    button.setValue(true);
    const auto on = litPixels(button);
    EXPECT_GT(on.first, 20);
    EXPECT_EQ(on.second, 0);
    button.setValue(false);
    const auto off = litPixels(button);
    EXPECT_EQ(off.first + off.second, 0);

    button.resize(64, 26);
    EXPECT_TRUE(button.showsText());
}

struct SpinLog : ondrel::IKroLEDEvents {
    void Spin(bool up) override { spins.push_back(up); }
    std::vector<bool> spins;
};

TEST(KroLEDAccess, UpAndDownKeysAndAccessibilityActionsSpinAsTheButtonsDo)
{
    auto* led = new kro::KroLED;
    SpinLog log;
    led->setEvents(&log);
    led->setValue(1.0);
    FocusWindow window(led);

    window.key(Qt::Key_Up);
    window.key(Qt::Key_Down);
    QTest::mouseClick(led->upButton(), Qt::LeftButton);
    doAction(led, QAccessibleActionInterface::increaseAction());
    doAction(led, QAccessibleActionInterface::decreaseAction());
    doAction(led->downButton(), QAccessibleActionInterface::pressAction());
    EXPECT_EQ(log.spins, (std::vector<bool>{true, false, true, true, false, false}));
    EXPECT_EQ(led->Value(), 1.0); // the program decides the value

    led->setEnabled(false);
    QTest::keyClick(led, Qt::Key_Up);
    doAction(led, QAccessibleActionInterface::increaseAction());
    EXPECT_EQ(log.spins.size(), 6u);
}

TEST(KroLEDAccess, ExposesItsValueAndLimitsAndRefusesValuesFromOutside)
{
    kro::KroLED led;
    SpinLog log;
    led.setEvents(&log);
    QAccessibleInterface* iface = accessible(&led);
    EXPECT_EQ(iface->role(), QAccessible::SpinBox);
    QAccessibleValueInterface* value = iface->valueInterface();
    ASSERT_NE(value, nullptr);

    led.setMinimum(1e-6);
    led.setMaximum(100.0);
    led.setValue(0.2);
    EXPECT_EQ(value->currentValue().toDouble(), 0.2);
    EXPECT_EQ(value->minimumValue().toDouble(), 1e-6);
    EXPECT_EQ(value->maximumValue().toDouble(), 100.0);
    EXPECT_EQ(iface->text(QAccessible::Value), "0.2");

    value->setCurrentValue(5.0);
    EXPECT_EQ(led.Value(), 0.2);
    EXPECT_TRUE(log.spins.empty());

    led.setMinimum(0.0);
    led.setMaximum(0.0);
    EXPECT_LT(value->minimumValue().toDouble(), -1e300);
    EXPECT_GT(value->maximumValue().toDouble(), 1e300);
}

TEST(KroLEDAccess, SpinButtonsAreItsChildrenNamedIncreaseAndDecrease)
{
    kro::KroLED led;
    QAccessibleInterface* iface = accessible(&led);
    ASSERT_EQ(iface->childCount(), 2);
    EXPECT_EQ(iface->child(0)->text(QAccessible::Name), "Increase");
    EXPECT_EQ(iface->child(1)->text(QAccessible::Name), "Decrease");
    EXPECT_EQ(iface->indexOfChild(iface->child(1)), 1);
    EXPECT_EQ(iface->child(0)->parent(), iface);
}

TEST(KroLEDAccess, DigitsThatDoNotFitShrinkOrGiveWayButAreNeverClipped)
{
    QWidget frame; // placed like the window places it, without a layout
    frame.resize(200, 100);
    kro::KroLED& led = *new kro::KroLED(&frame);
    led.resize(113, 33); // the window's read-out: 1692 x 492 twips
    frame.show();
    led.setValue(0.00032);
    EXPECT_EQ(led.shownText(), "0.00032");
    EXPECT_EQ(led.text(), "0.00032");

    led.resize(40, 33);
    const QString shown = led.shownText();
    EXPECT_TRUE(shown == "0.00032" || shown == QString(QChar(0x2026))) << shown.toStdString();
    EXPECT_LE(QFontMetrics(led.shownFont()).horizontalAdvance(shown), 40 - 16);
    EXPECT_EQ(led.text(), "0.00032");
}

struct SliderLog : ondrel::IKroSliderEvents {
    void ValueChanged(double value) override { values.push_back(value); }
    std::vector<double> values;
};

class SliderAccess : public ::testing::Test {
protected:
    SliderAccess() : slider(new kro::KroSlider)
    {
        slider->setEvents(&log);
        slider->setMin(0);
        slider->setMax(100);
        slider->setValue(50.0);
        log.values.clear();
    }
    ~SliderAccess() override { delete slider; }
    QPointer<kro::KroSlider> slider;
    SliderLog log;
};

TEST_F(SliderAccess, KeysMoveTheFocusedSliderAsUserMoves)
{
    FocusWindow window(slider);
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Up, Qt::Key_Left, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown,
                        Qt::Key_End, Qt::Key_Home})
        window.key(key);
    EXPECT_EQ(log.values, (std::vector<double>{51.0, 52.0, 51.0, 50.0, 60.0, 50.0, 100.0, 0.0}));
    EXPECT_EQ(slider->Value(), 0.0);
}

TEST_F(SliderAccess, MouseAndAccessibilityMovesRaiseTheSameEvent)
{
    FocusWindow window(slider);
    QSlider* handle = slider->slider();
    // Drag the handle from the middle (value 50) towards the right end.
    const int grip = slider->minimumSizeHint().height() / 2;
    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(handle->width() / 2, grip));
    QTest::mouseMove(handle, QPoint(handle->width() * 9 / 10, grip));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(handle->width() * 9 / 10, grip));
    ASSERT_FALSE(log.values.empty());
    EXPECT_GT(log.values.back(), 80.0);
    EXPECT_EQ(slider->Value(), log.values.back());
    log.values.clear();

    QAccessibleValueInterface* value = accessible(slider)->valueInterface();
    ASSERT_NE(value, nullptr);
    value->setCurrentValue(30);
    doAction(slider, QAccessibleActionInterface::increaseAction());
    doAction(slider, QAccessibleActionInterface::decreaseAction());
    doAction(slider, QAccessibleActionInterface::decreaseAction());
    EXPECT_EQ(log.values, (std::vector<double>{30.0, 40.0, 30.0, 20.0}));
    EXPECT_EQ(value->currentValue().toDouble(), 20.0);

    slider->setEnabled(false);
    value->setCurrentValue(70);
    doAction(slider, QAccessibleActionInterface::increaseAction());
    EXPECT_EQ(slider->Value(), 20.0);
    EXPECT_EQ(log.values.size(), 4u);
}

TEST_F(SliderAccess, IsASliderWithItsRangeNamedByTheWindowOrItsCaption)
{
    QAccessibleInterface* iface = accessible(slider);
    EXPECT_EQ(iface->role(), QAccessible::Slider);
    EXPECT_EQ(iface->childCount(), 0);
    slider->setMin(1);
    slider->setMax(2000000);
    EXPECT_EQ(iface->valueInterface()->minimumValue().toInt(), 1);
    EXPECT_EQ(iface->valueInterface()->maximumValue().toInt(), 2000000);

    slider->setCaption("Ratio");
    EXPECT_EQ(iface->text(QAccessible::Name), "Ratio");
    slider->setAccessibleName("Replay position");
    EXPECT_EQ(iface->text(QAccessible::Name), "Replay position");
}

TEST_F(SliderAccess, DrawsOnlyTheScaleAndCaptionThatFit)
{
    QWidget frame; // placed like the window places it, without a layout
    frame.resize(400, 200);
    slider->setParent(&frame);
    frame.show();
    slider->setMin(1);
    slider->setMax(2000000);
    slider->setCaption("Ratio");
    slider->Scale().setTitle("Speed");
    slider->show();

    // The window's sliders: 3132 x 252 twips, 209 x 17 pixels.
    slider->resize(209, 17);
    EXPECT_FALSE(slider->showsTickMarks());
    EXPECT_FALSE(slider->showsCaption());
    EXPECT_FALSE(slider->showsScaleLabels());
    EXPECT_EQ(slider->slider()->tickPosition(), QSlider::NoTicks);

    slider->resize(300, 120);
    EXPECT_TRUE(slider->showsTickMarks());
    EXPECT_TRUE(slider->showsCaption());
    EXPECT_TRUE(slider->showsScaleLabels());
    EXPECT_TRUE(slider->showsScaleTitle());

    // Too narrow for "1", "Speed" and "2000000" side by side: the title goes first.
    const QFontMetrics metrics(slider->font());
    slider->resize(metrics.horizontalAdvance("1  2000000") + 8, 120);
    EXPECT_TRUE(slider->showsScaleLabels());
    EXPECT_FALSE(slider->showsScaleTitle());
    slider->resize(metrics.horizontalAdvance("2000000") / 2, 120);
    EXPECT_FALSE(slider->showsScaleLabels());

    // What the Scale hides stays hidden whatever the room.
    slider->resize(300, 120);
    slider->Scale().Element(1).setVisible(false);
    EXPECT_FALSE(slider->showsScaleLabels());
}

} // namespace
