#include "kro/display/kro_button.h"
#include "kro/display/kro_led.h"
#include "kro/display/kro_slider.h"
#include "ondrel/components/component_error.h"
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct SwitchLog : ondrel::IKroButtonEvents {
    void SwitchChanged(bool value) override { flips.push_back(value); }
    std::vector<bool> flips;
};

struct SpinLog : ondrel::IKroLEDEvents {
    void Spin(bool up) override { spins.push_back(up); }
    std::vector<bool> spins;
};

struct SliderLog : ondrel::IKroSliderEvents {
    explicit SliderLog(const kro::KroSlider& slider) : slider_(slider) {}
    void ValueChanged(double value) override
    {
        values.push_back(value);
        enabledAtEvent.push_back(slider_.Enabled());
    }
    const kro::KroSlider& slider_;
    std::vector<double> values;
    std::vector<bool> enabledAtEvent;
};

TEST(KroButton, OnlyUserFlipsRaiseTheEvent)
{
    kro::KroButton button;
    SwitchLog log;
    button.setEvents(&log);
    button.show();

    button.setValue(true);
    EXPECT_TRUE(button.Value());
    EXPECT_TRUE(log.flips.empty());

    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_FALSE(button.Value());
    QTest::keyClick(&button, Qt::Key_Space);
    EXPECT_TRUE(button.Value());
    EXPECT_EQ(log.flips, (std::vector<bool>{false, true}));

    button.setEnabled(false);
    EXPECT_FALSE(button.Enabled());
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_TRUE(button.Value());
    EXPECT_EQ(log.flips.size(), 2u);
}

TEST(KroLED, SpinButtonsRaiseUpAndDownWithoutChangingTheValue)
{
    kro::KroLED led;
    SpinLog log;
    led.setEvents(&log);
    led.show();
    led.setValue(1.0);

    QTest::mouseClick(led.upButton(), Qt::LeftButton);
    QTest::mouseClick(led.downButton(), Qt::LeftButton);
    EXPECT_EQ(log.spins, (std::vector<bool>{true, false}));
    EXPECT_EQ(led.Value(), 1.0);

    led.setEnabled(false);
    QTest::mouseClick(led.upButton(), Qt::LeftButton);
    EXPECT_EQ(log.spins.size(), 2u);
    EXPECT_FALSE(led.Enabled());
}

TEST(KroLED, ShowsTheValueAndHonoursLimitsUnlessBothAreZero)
{
    kro::KroLED led;
    led.setValue(0.2);
    EXPECT_EQ(led.text(), "0.2");
    led.setValue(1e-6);
    EXPECT_EQ(led.Value(), 1e-6);

    led.setMinimum(0.0);
    led.setMaximum(0.0);
    led.setValue(12345.0);
    EXPECT_EQ(led.Value(), 12345.0);

    led.setMinimum(1.0);
    led.setMaximum(100.0);
    led.setValue(125.0);
    EXPECT_EQ(led.Value(), 100.0);
    EXPECT_THROW(led.setValue(std::nan("")), ondrel::ComponentError);
}

class Slider : public ::testing::Test {
protected:
    Slider() : log(slider)
    {
        slider.setEvents(&log);
        slider.setMin(0);
        slider.setMax(100);
        slider.show();
    }
    kro::KroSlider slider;
    SliderLog log;
};

TEST_F(Slider, PutsRaiseTheEventEvenForTheSameValueAndWhileDisabled)
{
    slider.setValue(0.0);
    slider.setValue(0.0);
    slider.setEnabled(false);
    slider.setValue(50.5);
    EXPECT_EQ(log.values, (std::vector<double>{0.0, 0.0, 50.5}));
    EXPECT_EQ(log.enabledAtEvent, (std::vector<bool>{true, true, false}));
    EXPECT_EQ(slider.Value(), 50.5);
}

TEST_F(Slider, UserMovesRaiseTheEventWithTheNewValue)
{
    slider.setValue(10.0);
    log.values.clear();
    slider.slider()->setFocus();
    QTest::keyClick(slider.slider(), Qt::Key_Right);
    EXPECT_EQ(slider.Value(), 11.0);
    EXPECT_EQ(log.values, (std::vector<double>{11.0}));

    slider.setEnabled(false);
    QTest::keyClick(slider.slider(), Qt::Key_Right);
    EXPECT_EQ(log.values.size(), 1u);
}

TEST_F(Slider, ValuesStayWithinTheRange)
{
    slider.setMin(1);
    slider.setMax(2000000);
    slider.setValue(4000000.0);
    EXPECT_EQ(slider.Value(), 2000000.0);
    slider.setValue(-3.0);
    EXPECT_EQ(slider.Value(), 1.0);
    EXPECT_THROW(slider.setValue(std::nan("")), ondrel::ComponentError);
}

TEST_F(Slider, ScaleIsTheSlidersRange)
{
    ondrel::IKroAxis& scale = slider.Scale();
    EXPECT_EQ(scale.Maximum(), 100.0);
    scale.SetRange(1.0, 500.0);
    EXPECT_EQ(slider.Min(), 1);
    EXPECT_EQ(slider.Max(), 500);
    scale.Element(0).setVisible(false);
    EXPECT_EQ(slider.slider()->tickPosition(), QSlider::NoTicks);
    EXPECT_THROW(scale.Element(2), ondrel::ComponentError);
}

} // namespace
