#include "kro/devices/sim_dio.h"
#include "kro/devices/sim_signal.h"
#include "kro/devices/sim_thermo.h"
#include <climits>
#include <gtest/gtest.h>

using namespace kro;
using ondrel::ComponentError;
using ondrel::Connection;
using ondrel::TemperatureScale;
using ondrel::Thermocouple;

TEST(SimDIO, ReadsAMovingPatternFromTheRequestedPorts)
{
    SimDIO dio;
    ASSERT_EQ(dio.DeviceNumber(), card::Di3Ports);
    EXPECT_EQ(dio.PortCount(), 3);
    std::vector<uint8_t> bytes;
    int32_t first = 1, count = 2;
    for (int64_t read = 0; read < 3; ++read) {
        ASSERT_TRUE(dio.ReadPorts(bytes, first, count));
        ASSERT_EQ(bytes.size(), 2u);
        EXPECT_EQ(bytes[0], SimSignal::diPort(1, read));
        EXPECT_EQ(bytes[1], SimSignal::diPort(2, read));
    }
    EXPECT_NE(SimSignal::diPort(1, 0), SimSignal::diPort(1, 1));
}

TEST(SimDIO, RefusesPortsBeyondTheCardWithoutAllocating)
{
    SimDIO dio;
    std::vector<uint8_t> bytes;
    struct Case {
        int32_t first, count;
    };
    for (const Case c : {Case{2, 2}, Case{3, 1}, Case{-1, 1}, Case{0, -1}, Case{1, INT_MAX}, Case{INT_MAX, 1}}) {
        int32_t first = c.first, count = c.count;
        EXPECT_FALSE(dio.ReadPorts(bytes, first, count)) << c.first << " " << c.count;
        EXPECT_FALSE(dio.ErrorMessage().empty());
        EXPECT_TRUE(bytes.empty());
    }

    dio.SelectDeviceNumber(card::Di0Ports);
    EXPECT_EQ(dio.PortCount(), 0);
    int32_t first = 0, count = 1;
    EXPECT_FALSE(dio.ReadPorts(bytes, first, count));

    dio.SelectDeviceNumber(-1);
    EXPECT_LT(dio.DeviceNumber(), 0);
    EXPECT_EQ(dio.DeviceName(), "No Device");
    count = 0;
    EXPECT_FALSE(dio.ReadPorts(bytes, first, count));
    EXPECT_THROW(dio.SelectDeviceNumber(7), ComponentError);
}

TEST(SimThermo, AnswersNoDeviceUntilAThermocoupleCardNumberIsPut)
{
    SimThermo thermo;
    EXPECT_LT(thermo.DeviceNumber(), 0);
    EXPECT_EQ(thermo.DeviceName(), "No Device");
    // The settings dialogs address every channel even without a device.
    EXPECT_NO_THROW(thermo.setThermoChannel(12));
    EXPECT_NO_THROW(thermo.setSignalConnection(Connection::SingleEnded));
    EXPECT_THROW(thermo.Temperature(), ComponentError);
    EXPECT_FALSE(thermo.ErrorMessage().empty());

    thermo.setDeviceNumber(card::Differential16); // not thermocouple-capable
    EXPECT_EQ(thermo.DeviceName(), "No Device");
    EXPECT_LT(thermo.DeviceNumber(), 0);

    for (const int32_t n : {card::Thermo5340, card::Thermo5348, card::Thermo9948}) {
        thermo.setDeviceNumber(n);
        EXPECT_EQ(thermo.DeviceNumber(), n);
        EXPECT_EQ(thermo.DeviceName(), findAiCard(n)->name);
    }
    thermo.setDeviceNumber(-1);
    EXPECT_EQ(thermo.DeviceName(), "No Device");
}

TEST(SimThermo, ReportsTheChannelTemperatureInTheChosenScale)
{
    // Two components read in step: the same reading in Celsius and another scale.
    const auto& c = *findAiCard(card::Thermo5340);
    for (const TemperatureScale scale : {TemperatureScale::Celsius, TemperatureScale::Fahrenheit,
                                         TemperatureScale::Rankine, TemperatureScale::Kelvin}) {
        SimThermo celsius, other;
        for (SimThermo* t : {&celsius, &other}) {
            t->setDeviceNumber(card::Thermo5340);
            t->setThermoChannel(3);
            t->setExpChan(2);
            t->setTCType(Thermocouple::K);
        }
        other.setTempScale(scale);
        for (int64_t read = 0; read < 5; ++read) {
            const double tc = celsius.Temperature();
            EXPECT_DOUBLE_EQ(tc, SimSignal::celsius(c, 3, 2, read));
            EXPECT_DOUBLE_EQ(other.Temperature(), SimSignal::toScale(tc, scale));
        }
    }
    SimThermo k;
    k.setDeviceNumber(card::Thermo5340);
    k.setTempScale(TemperatureScale::Kelvin);
    EXPECT_NEAR(k.Temperature(), SimSignal::celsius(c, 0, 0, 0) + 273.15, 1e-9);
}

TEST(SimThermo, KeepsSettingsPerChannelAndChecksThem)
{
    SimThermo t;
    t.setDeviceNumber(card::Thermo5340);
    t.setThermoChannel(4);
    t.setTCType(Thermocouple::E);
    t.setTempScale(TemperatureScale::Rankine);
    t.setThermoChannel(5);
    EXPECT_EQ(t.TCType(), Thermocouple::J);
    t.setThermoChannel(4);
    EXPECT_EQ(t.TCType(), Thermocouple::E);
    EXPECT_EQ(t.TempScale(), TemperatureScale::Rankine);

    EXPECT_THROW(t.setTCType(static_cast<Thermocouple>(7)), ComponentError);
    EXPECT_THROW(t.setTempScale(static_cast<TemperatureScale>(4)), ComponentError);
    EXPECT_THROW(t.setExpChan(16), ComponentError);
    EXPECT_THROW(t.setThermoChannel(16), ComponentError);
    int32_t ch = 3;
    EXPECT_NO_THROW(t.SetThermoChannelRange(ch, -0.005, 0.005));
    EXPECT_THROW(t.SetThermoChannelRange(ch, -1, 1), ComponentError);
    ch = 16;
    EXPECT_THROW(t.SetThermoChannelRange(ch, -0.005, 0.005), ComponentError);
}

TEST(SimThermo, ConnectionFollowsTheCard)
{
    SimThermo t;
    t.setDeviceNumber(card::Thermo5340); // pairs, like its analog side
    t.setThermoChannel(7);
    t.setSignalConnection(Connection::Differential);
    t.setThermoChannel(6);
    EXPECT_EQ(t.SignalConnection(), Connection::Differential);
    t.setThermoChannel(8);
    EXPECT_EQ(t.SignalConnection(), Connection::SingleEnded);

    t.setDeviceNumber(card::Thermo5348); // differential, two inputs per analog channel
    int32_t ch = 30;
    EXPECT_NO_THROW(t.SetThermoChannelRange(ch, -0.005, 0.005));
    t.setThermoChannel(30);
    EXPECT_EQ(t.SignalConnection(), Connection::Differential);
    t.setSignalConnection(Connection::SingleEnded);
    EXPECT_EQ(t.SignalConnection(), Connection::Differential);

    t.setDeviceNumber(card::Thermo9948);
    t.setSignalConnection(Connection::Differential);
    EXPECT_EQ(t.SignalConnection(), Connection::SingleEnded);
    EXPECT_THROW(t.setSignalConnection(static_cast<Connection>(2)), ComponentError);
}
