#include "fake_comedilib.h"
#include "kro/devices/all_devices_ai.h"
#include "kro/devices/all_devices_dio.h"
#include "kro/devices/all_devices_thermo.h"
#include "kro/devices/comedi/comedi_backend.h"
#include "kro/devices/sim_backend.h"
#include "kro/devices/sim_catalogue.h"
#include <QTemporaryDir>
#include <QFile>
#include <cerrno>
#include <cmath>
#include <comedilib.h>
#include <cstring>
#include <gtest/gtest.h>

namespace kro {
namespace {

constexpr int32_t kCard = 7; // the first number after the seven simulated analog cards
constexpr int32_t kDio = 8;

// The registry the program would have on a machine with the fake's two boards,
// whose device nodes are plain files here.
struct Boards {
    QTemporaryDir nodes;
    std::unique_ptr<DeviceRegistry> registry;
    std::vector<std::string> reports;

    explicit Boards(int count = 2)
    {
        fake_comedi::reset();
        for (int n = 0; n < count; ++n) {
            QFile node(nodes.filePath(QStringLiteral("comedi%1").arg(n)));
            node.open(QIODevice::WriteOnly);
        }
        std::vector<std::unique_ptr<IDeviceBackend>> backends;
        backends.push_back(std::make_unique<SimBackend>());
        backends.push_back(std::make_unique<ComediBackend>(nodes.filePath("comedi").toStdString()));
        registry = std::make_unique<DeviceRegistry>(std::move(backends),
                                                    [this](const std::string& m) { reports.push_back(m); });
    }
};

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

    // Single-ended by default; differential where the board's flags allow.
    EXPECT_EQ(fake_comedi::lastAref(), static_cast<unsigned>(AREF_GROUND));
    ai.setChannel(3);
    ai.setSignalConnection(ondrel::Connection::Differential);
    EXPECT_EQ(ai.SignalConnection(), ondrel::Connection::Differential);
    ai.setChanCount(1);
    ai.ReadScan(true);
    EXPECT_EQ(fake_comedi::lastAref(), static_cast<unsigned>(AREF_DIFF));

    low = 0;
    high = 7;
    EXPECT_THROW(ai.SetChannelRange(3, low, high), ondrel::ComponentError);
    int32_t samples = 1000;
    bool cyclic = false;
    EXPECT_THROW(ai.StartFAI(samples, cyclic), ondrel::ComponentError);
    EXPECT_NE(ai.ErrorMessage().find("buffered acquisition is not offered"), std::string::npos) << ai.ErrorMessage();

    fake_comedi::unplug(0);
    EXPECT_THROW(ai.ReadScan(true), ondrel::ComponentError);
    EXPECT_NE(ai.ErrorMessage().find(std::strerror(ENODEV)), std::string::npos) << ai.ErrorMessage();
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

} // namespace
} // namespace kro
