#include "comedi_support.h"
#include "kro/devices/all_devices_ai.h"
#include "kro/devices/all_devices_dio.h"
#include "kro/devices/all_devices_thermo.h"
#include "kro/devices/sim_catalogue.h"
#include <cerrno>
#include <cmath>
#include <comedilib.h>
#include <cstring>
#include <gtest/gtest.h>

namespace kro {
namespace {

using namespace kro::testing;

TEST(ComediBoards, EachBoardThatOpensIsListedAfterTheSimulatedCardsWithWhatItOffersAndNoThermocouples)
{
    Boards boards;
    const auto lines = deviceLines(*boards.registry);
    const std::vector<std::string> comedi(lines.end() - 3, lines.end());
    EXPECT_EQ(comedi, (std::vector<std::string>{"7\tAI\tcomedi: fake-pcimio-16", "7\tDI\tcomedi: fake-pcimio-16",
                                                "8\tDI\tcomedi: fake-dio-64"}));
    EXPECT_TRUE(boards.reports.empty());

    AllDevicesThermo thermo(*boards.registry);
    thermo.setDeviceNumber(kCard);
    EXPECT_EQ(thermo.DeviceName(), "No Device");

    Boards none(0); // a machine without cards lists nothing of them
    EXPECT_EQ(deviceLines(*none.registry), deviceLines(none.registry->backend(0)));
}

TEST(ComediBoards, ANodeTheUserMayNotOpenIsListedWithTheReasonAndOfferedNowhere)
{
    Boards boards(2, [] { fake_comedi::denyAccess(0); });
    const auto lines = deviceLines(*boards.registry);
    const std::string node = boards.nodes.filePath("comedi0").toStdString();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "7\tDI\tcomedi: fake-dio-64"); // the board that opens takes the first number
    const std::string& refused = lines.back();
    EXPECT_EQ(refused.rfind("-\tunavailable\t" + node + ": ", 0), 0u) << refused;
    EXPECT_NE(refused.find(std::strerror(EACCES)), std::string::npos) << refused;
    EXPECT_NE(refused.find("iocard"), std::string::npos) << refused; // the group the README names
    for (const auto& e : boards.registry->entries(DeviceKind::AnalogInput))
        EXPECT_EQ(e.name.find("comedi"), std::string::npos) << e.name;
}

TEST(ComediAnalogInput, ChannelsRangesAndReferencesComeFromTheBoardAndReadingsAreInItsUnits)
{
    Boards boards;
    AllDevicesAI ai(*boards.registry, nullptr);
    ai.SelectDeviceNumber(kCard);
    EXPECT_EQ(ai.DeviceName(), "comedi: fake-pcimio-16");
    EXPECT_EQ(ai.MaxChanCount(), 16);
    EXPECT_EQ(ai.AIResolution(), 16);
    EXPECT_FALSE(ondrel::DeviceDirectory::instance().capabilitiesOf(ai.DeviceName()).cardFamilyRules);

    std::vector<std::pair<double, double>> walked;
    double low = 0, high = 0;
    int32_t code = 0;
    for (ai.GetFirstRange(low, high, code); !(low == 0 && high == 0); ai.GetNextRange(low, high, code))
        walked.emplace_back(low, high);
    EXPECT_EQ(walked, (std::vector<std::pair<double, double>>{{-10, 10}, {-5, 5}, {-1, 1}, {4, 20}}));

    low = -5;
    high = 5;
    ai.SetChannelRange(3, low, high);
    ai.setChanStart(3);
    ai.setChanCount(2); // channels 3 and 4, the latter at -10 .. 10
    fake_comedi::setReading(3, 65535);
    fake_comedi::setReading(4, 16384);
    const auto volts = ai.ReadScan(true);
    ASSERT_EQ(volts.size(), 2u);
    EXPECT_EQ(volts[0], 5.0); // the rail reads as the range's end, not NaN
    EXPECT_NEAR(volts[1], -10.0 + 20.0 * 16384 / 65535, 1e-12);
    EXPECT_EQ(ai.ReadScan(false), (std::vector<double>{65535, 16384}));
    // Two channels through one converter: every reading waits for its input to settle.
    EXPECT_EQ(fake_comedi::settlingTimes(), (std::vector<unsigned>{10000, 10000, 10000, 10000}));

    // Single-ended by default; differential where the board's flags allow.
    EXPECT_EQ(fake_comedi::lastAref(), static_cast<unsigned>(AREF_GROUND));
    ai.setChannel(3);
    ai.setSignalConnection(ondrel::Connection::Differential);
    EXPECT_EQ(ai.SignalConnection(), ondrel::Connection::Differential);
    ai.setChanCount(1);
    ai.ReadScan(true);
    EXPECT_EQ(fake_comedi::lastAref(), static_cast<unsigned>(AREF_DIFF));
    EXPECT_EQ(fake_comedi::settlingTimes().back(), 0u); // one channel: nothing switches

    low = 0;
    high = 7;
    EXPECT_THROW(ai.SetChannelRange(3, low, high), ondrel::ComponentError);

    fake_comedi::unplug(0);
    EXPECT_THROW(ai.ReadScan(true), ondrel::ComponentError);
    EXPECT_NE(ai.ErrorMessage().find(std::strerror(ENODEV)), std::string::npos) << ai.ErrorMessage();
}

// Channel 5 has a table of its own, led by a range in no unit the program
// offers: its ranges are chosen from its own table, and the board is told
// their places in it, in polled reads and in a command's channel list alike.
TEST(ComediAnalogInput, AChannelWithARangeTableOfItsOwnIsSetAndReadInItsOwnTable)
{
    Boards boards(2, [] {
        fake_comedi::setRanges(5, {{0.0, 1.0, UNIT_none}, {-2.5, 2.5, UNIT_volt}, {-10.0, 10.0, UNIT_volt}});
    });
    AllDevicesAI ai(*boards.registry, nullptr);
    ai.SelectDeviceNumber(kCard);

    double low = -5, high = 5;
    EXPECT_THROW(ai.SetChannelRange(5, low, high), ondrel::ComponentError); // channel 0's, not 5's
    EXPECT_NE(ai.ErrorMessage().find("has no range -5 .. 5 on channel 5"), std::string::npos) << ai.ErrorMessage();
    ai.SetChannelRange(4, low, high); // the other channels keep theirs

    int32_t code = -1;
    ai.GetChannelRange(5, low, high, code); // the first range it offers
    EXPECT_EQ(std::pair(low, high), std::pair(-2.5, 2.5));
    low = -10;
    high = 10;
    ai.SetChannelRange(5, low, high);
    ai.GetChannelRange(5, low, high, code);
    EXPECT_EQ(std::pair(low, high), std::pair(-10.0, 10.0));

    ai.setChanStart(5);
    ai.setChanCount(1);
    fake_comedi::setReading(5, 49151);
    EXPECT_NEAR(ai.ReadScan(true).at(0), -10.0 + 20.0 * 49151 / 65535, 1e-12);
    EXPECT_EQ(fake_comedi::lastRange(), 2u); // its place in channel 5's table

    ai.setChanStart(4);
    ai.setChanCount(2);
    ai.setSampleRate(2000);
    int32_t samples = 200;
    bool cyclic = true;
    ai.StartFAI(samples, cyclic);
    const std::vector<unsigned> chanlist = fake_comedi::lastChanlist();
    ai.StopFAI(0);
    ASSERT_EQ(chanlist.size(), 2u);
    EXPECT_EQ(CR_RANGE(chanlist[0]), 1u); // channel 4 at -5 .. 5 in the shared table
    EXPECT_EQ(CR_RANGE(chanlist[1]), 2u);
}

TEST(ComediDigitalInput, PortsAreEightLinesFromLineZeroAndOnlyTheLinesReadAreMadeInputs)
{
    Boards boards;
    AllDevicesDIO dio(*boards.registry, nullptr);
    dio.SelectDeviceNumber(kDio);
    EXPECT_EQ(dio.PortCount(), 8);
    fake_comedi::setDigital(1, 0x0807060504030201ull);
    std::vector<uint8_t> bytes;
    int32_t first = 2, count = 3;
    ASSERT_TRUE(dio.ReadPorts(bytes, first, count)) << dio.ErrorMessage();
    EXPECT_EQ(bytes, (std::vector<uint8_t>{3, 4, 5}));
    first = 6;
    EXPECT_FALSE(dio.ReadPorts(bytes, first, count));
    EXPECT_NE(dio.ErrorMessage().find("beyond"), std::string::npos);

    // The card's digital I/O lines are set to input when read, and no others.
    dio.SelectDeviceNumber(kCard);
    EXPECT_EQ(dio.PortCount(), 1);
    fake_comedi::setDigital(0, 0xA5);
    first = 0;
    count = 1;
    ASSERT_TRUE(dio.ReadPorts(bytes, first, count)) << dio.ErrorMessage();
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0xA5}));
    EXPECT_EQ(fake_comedi::inputLines(0), (std::vector<unsigned>{0, 1, 2, 3, 4, 5, 6, 7}));
    ASSERT_TRUE(dio.ReadPorts(bytes, first, count));
    EXPECT_EQ(fake_comedi::inputLines(0).size(), 8u); // configured once

    fake_comedi::unplug(0);
    EXPECT_FALSE(dio.ReadPorts(bytes, first, count));
    EXPECT_NE(dio.ErrorMessage().find(std::strerror(ENODEV)), std::string::npos) << dio.ErrorMessage();
}

// Counts as the board's software calibration says: the fake's polynomial
// 0.5 + 0.001 (x - 32768) + 1e-8 (x - 32768)^2.
TEST(ComediAnalogInput, ASoftCalibratedBoardReadsThroughItsPolynomialAndWithoutItsFileByItsRange)
{
    QTemporaryDir dir;
    const std::string file = dir.filePath("fake-pcimio-16.cal").toStdString();
    QFile(QString::fromStdString(file)).open(QIODevice::WriteOnly);
    comedi_polynomial_t polynomial{};
    polynomial.coefficients[0] = 0.5;
    polynomial.coefficients[1] = 0.001;
    polynomial.coefficients[2] = 1e-8;
    polynomial.expansion_origin = 32768;
    polynomial.order = 2;
    const double x = 40000.0 - 32768.0;

    Boards calibrated(2, [&] { fake_comedi::setSoftCalibration(file.c_str(), polynomial); });
    AllDevicesAI ai(*calibrated.registry, nullptr);
    ai.SelectDeviceNumber(kCard);
    fake_comedi::setReading(0, 40000);
    EXPECT_NEAR(ai.ReadScan(true).at(0), 0.5 + 0.001 * x + 1e-8 * x * x, 1e-12);
    EXPECT_EQ(ai.ReadScan(false).at(0), 40000.0); // raw counts stay the board's

    // No calibration file yet (comedi_soft_calibrate never ran): the range's
    // straight line, and nothing to report.
    Boards uncalibrated(2, [&] { fake_comedi::setSoftCalibration((file + ".missing").c_str(), polynomial); });
    AllDevicesAI plain(*uncalibrated.registry, nullptr);
    plain.SelectDeviceNumber(kCard);
    fake_comedi::setReading(0, 40000);
    EXPECT_NEAR(plain.ReadScan(true).at(0), -10.0 + 20.0 * 40000 / 65535, 1e-12);
    fake_comedi::setReading(0, 65535);
    EXPECT_EQ(plain.ReadScan(true).at(0), 10.0); // the rail reads as the range's end, not NaN
    EXPECT_TRUE(uncalibrated.reports.empty());
}

} // namespace
} // namespace kro
