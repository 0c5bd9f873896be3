#include "demo_support.h"
#include "kro/devices/all_devices_ai.h"
#include "kro/devices/all_devices_dio.h"
#include "kro/devices/all_devices_thermo.h"
#include "kro/devices/sigrok/sigrok_device.h"
#include "kro/devices/sigrok/sigrok_host.h"
#include "kro/devices/sigrok/sigrok_thermo.h"
#include "devices/buffered_support.h"
#include "support/recorded_prompts.h"
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <libsigrok/libsigrok.h>

namespace kro {
namespace {

TEST(DemoDeviceList, EachKindTheDemoOffersIsOneLineUnderOneNumberAfterTheSimulatedCards)
{
    const auto number = testing::demoNumber(DeviceKind::AnalogInput);
    ASSERT_TRUE(number);
    EXPECT_EQ(testing::demoNumber(DeviceKind::DigitalInput), number);
    EXPECT_FALSE(testing::demoNumber(DeviceKind::Thermocouple)); // its channels measure volts

    const std::vector<std::string> lines = deviceLines(DeviceRegistry::standard());
    const std::vector<std::string> simulated = deviceLines(DeviceRegistry::standard().backend(0));
    ASSERT_GT(lines.size(), simulated.size());
    EXPECT_TRUE(std::equal(simulated.begin(), simulated.end(), lines.begin()));
    const std::string n = std::to_string(*number);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), n + "\tAI\tsigrok: Demo device"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), n + "\tDI\tsigrok: Demo device"), 1);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "0\tAI\t" + aiCatalogue()[0].name), lines.end());
}

// Sets the demo's logic pattern (its "Logic" channel group's pattern).
void setLogicPattern(int32_t number, const char* pattern)
{
    sr_dev_inst* device = testing::sigrokBackend().find(number)->instance();
    SigrokHost::instance().call([&] {
        for (GSList* g = sr_dev_inst_channel_groups_get(device); g != nullptr; g = g->next) {
            auto* group = static_cast<sr_channel_group*>(g->data);
            if (std::string(group->name) == "Logic")
                sr_config_set(device, group, SR_CONF_PATTERN_MODE, g_variant_new_string(pattern));
        }
    });
}

TEST(DemoDigitalInput, TheLogicChannelsAreOnePortReadFromTheNewestSampleAlsoDuringABufferedRun)
{
    const auto number = testing::demoNumber(DeviceKind::DigitalInput);
    ASSERT_TRUE(number);
    ondrel::testing::RecordedPrompts prompts;
    prompts.deviceAnswers.push_back(*number);
    AllDevicesDIO dio(DeviceRegistry::standard(), &prompts);
    dio.SelectDevice();
    ASSERT_EQ(prompts.choosers.size(), 1u);
    EXPECT_EQ(prompts.choosers[0].devices.front().name, dioCatalogue()[0].name);
    EXPECT_EQ(dio.DeviceName(), testing::kDemoName);
    EXPECT_EQ(dio.PortCount(), 1); // D0 .. D7

    std::vector<uint8_t> bytes;
    int32_t first = 0, count = 1;
    // The demo's logic patterns "all-high" and "all-low" set every line.
    for (const auto& [pattern, expected] : {std::pair{"all-high", 0xFF}, std::pair{"all-low", 0x00}}) {
        setLogicPattern(*number, pattern);
        const bool seen = testing::waitFor(
            [&] { return dio.ReadPorts(bytes, first, count) && bytes.size() == 1u && bytes[0] == expected; });
        EXPECT_TRUE(seen) << pattern << ": " << dio.ErrorMessage();
    }
    setLogicPattern(*number, "sigrok");
    first = 1;
    EXPECT_FALSE(dio.ReadPorts(bytes, first, count));
    EXPECT_NE(dio.ErrorMessage().find("beyond"), std::string::npos);

    // The AI component runs the same instrument buffered: the ports still read.
    AllDevicesAI ai(DeviceRegistry::standard(), nullptr);
    ai.SelectDeviceNumber(*number);
    ai.setChanCount(1);
    ai.setSampleRate(1000.0);
    int32_t samples = 20000;
    bool cyclic = false;
    ai.StartFAI(samples, cyclic);
    first = 0;
    for (int read = 0; read < 3; ++read)
        EXPECT_TRUE(dio.ReadPorts(bytes, first, count)) << dio.ErrorMessage();
    ai.StopFAI(0);
}

// Sets what the demo's channel A0 measures: its square wave of +-10 then
// comes as degrees Celsius when it is temperature.
void setA0Quantity(int32_t number, uint32_t quantity, uint64_t flags)
{
    SigrokDevice& device = *testing::sigrokBackend().find(number);
    SigrokHost::instance().call([&] {
        for (GSList* g = sr_dev_inst_channel_groups_get(device.instance()); g != nullptr; g = g->next) {
            auto* group = static_cast<sr_channel_group*>(g->data);
            if (std::string(group->name) == "A0")
                sr_config_set(device.instance(), group, SR_CONF_MEASURED_QUANTITY,
                              g_variant_new("(ut)", static_cast<guint32>(quantity), static_cast<guint64>(flags)));
        }
    });
    device.stopPolling(); // no value of the old quantity is kept as the newest
}

TEST(DemoThermocouple, AChannelMeasuringTemperatureIsAThermocoupleReadInTheChosenScale)
{
    const auto number = testing::demoNumber(DeviceKind::AnalogInput);
    ASSERT_TRUE(number);
    AllDevicesThermo thermo(DeviceRegistry::standard());
    thermo.setDeviceNumber(*number); // its channels measure volts
    EXPECT_EQ(thermo.DeviceName(), "No Device");

    setA0Quantity(*number, SR_MQ_TEMPERATURE, 0);
    EXPECT_EQ(testing::demoNumber(DeviceKind::Thermocouple), number);
    const auto lines = deviceLines(DeviceRegistry::standard());
    EXPECT_EQ(std::count(lines.begin(), lines.end(), std::to_string(*number) + "\tthermocouple\tsigrok: Demo device"),
              1);
    thermo.setDeviceNumber(*number);
    ASSERT_EQ(thermo.DeviceName(), testing::kDemoName);
    thermo.setThermoChannel(0);
    thermo.setTempScale(ondrel::TemperatureScale::Kelvin);
    const double kelvin = thermo.Temperature();
    EXPECT_TRUE(std::abs(kelvin - 263.15) < 1e-3 || std::abs(kelvin - 283.15) < 1e-3) << kelvin;
    thermo.setTempScale(ondrel::TemperatureScale::Fahrenheit);
    const double fahrenheit = thermo.Temperature();
    EXPECT_TRUE(std::abs(fahrenheit - 14.0) < 1e-3 || std::abs(fahrenheit - 50.0) < 1e-3) << fahrenheit;
    thermo.setThermoChannel(1); // A1 still measures volts
    try {
        thermo.Temperature();
        ADD_FAILURE() << "a voltage read as a temperature";
    } catch (const ondrel::ComponentError& error) {
        EXPECT_NE(std::string(error.what()).find("measures no temperature"), std::string::npos) << error.what();
    }
    setA0Quantity(*number, SR_MQ_VOLTAGE, SR_MQFLAG_DC); // as the demo starts

    thermo.setDeviceNumber(card::Thermo5340);
    EXPECT_EQ(thermo.DeviceName(), aiCatalogue()[card::Thermo5340].name);
}

TEST(SerialInstrument, AnInstrumentThatDoesNotAnswerIsReportedAndTheDeviceStaysAsItWas)
{
    const auto drivers = SigrokHost::instance().serialDrivers();
    ASSERT_FALSE(drivers.empty());
    ondrel::testing::RecordedPrompts prompts;
    AllDevicesAI ai(DeviceRegistry::standard(), &prompts);
    const std::string before = ai.DeviceName();

    for (const auto& [driver, reason] : {std::pair{drivers.front(), std::string("answered on /nonexistent/ttyQ9")},
                                         std::pair{std::string("no-such-driver"), std::string("no driver")}}) {
        prompts.deviceAnswers.push_back(std::nullopt); // filled in below
        ai.SelectDevice();
        const auto& offered = prompts.choosers.back().devices;
        ASSERT_EQ(offered.back().name, kAddSerialDevice);
        prompts.deviceAnswers.push_back(offered.back().number);
        prompts.serialAnswers.push_back(ondrel::SerialDeviceChoice{driver, "/nonexistent/ttyQ9"});
        ai.SelectDevice();
        EXPECT_EQ(prompts.serialDriversOffered.back(), drivers);
        ASSERT_FALSE(prompts.messages.empty());
        EXPECT_NE(prompts.messages.back().text.find(reason), std::string::npos) << prompts.messages.back().text;
        EXPECT_EQ(ai.DeviceName(), before);
    }

    const size_t shown = prompts.messages.size();
    prompts.deviceAnswers.push_back(prompts.choosers.back().devices.back().number);
    prompts.serialAnswers.push_back(std::nullopt); // cancelled
    ai.SelectDevice();
    EXPECT_EQ(prompts.messages.size(), shown);
    EXPECT_EQ(ai.DeviceName(), before);
}

TEST(SigrokTemperature, UnitsConvertToCelsiusAndAVoltageIsNoTemperature)
{
    double c = 0;
    ASSERT_TRUE(toCelsius(212.0, SR_UNIT_FAHRENHEIT, c));
    EXPECT_NEAR(c, 100.0, 1e-9);
    ASSERT_TRUE(toCelsius(273.15, SR_UNIT_KELVIN, c));
    EXPECT_NEAR(c, 0.0, 1e-9);
    ASSERT_TRUE(toCelsius(21.5, SR_UNIT_CELSIUS, c));
    EXPECT_EQ(c, 21.5);
    EXPECT_FALSE(toCelsius(1.0, SR_UNIT_VOLT, c));
}

} // namespace
} // namespace kro
