#include "kro/devices/sample_table.h"
#include "kro/devices/sim_catalogue.h"
#include "kro/devices/sim_signal.h"
#include <gtest/gtest.h>
#include <set>

using namespace kro;

TEST(SimCatalogue, OffersEveryKindOfCardTheProgramDistinguishes)
{
    const auto* c5342 = findAiCard(card::Model5342);
    ASSERT_NE(c5342, nullptr);
    EXPECT_NE(c5342->name.find("5342"), std::string::npos);
    EXPECT_EQ(c5342->resolutionBits, 12);
    EXPECT_EQ(c5342->channels, 16);

    EXPECT_NE(findAiCard(card::Thermo5340)->name.find("5340QX"), std::string::npos);
    EXPECT_NE(findAiCard(card::Thermo5348)->name.find("5348QX"), std::string::npos);
    EXPECT_NE(findAiCard(card::Thermo9948)->name.find("9948"), std::string::npos);
    EXPECT_GE(findAiCard(card::Fast)->maxSampleRate, 20e6);
    EXPECT_EQ(findAiCard(card::Fast)->channels, 16);

    // Model codes are matched as substrings: no card may carry one by accident.
    for (const auto& c : aiCatalogue()) {
        const bool thermo = c.thermoChannels > 0;
        EXPECT_EQ(c.name.find("48") != std::string::npos, c.number == card::Thermo5348 || c.number == card::Thermo9948)
            << c.name;
        EXPECT_EQ(c.name.find("5342") != std::string::npos, c.number == card::Model5342) << c.name;
        EXPECT_EQ(thermo, c.number == card::Thermo5340 || c.number == card::Thermo5348 || c.number == card::Thermo9948)
            << c.name;
        EXPECT_EQ(findAiCard(c.number), &c);
    }
    EXPECT_EQ(findAiCard(-1), nullptr);
    EXPECT_EQ(findAiCard(static_cast<int32_t>(aiCatalogue().size())), nullptr);
    EXPECT_EQ(findDioCard(card::Di3Ports)->ports, 3);
    EXPECT_EQ(findDioCard(card::Di0Ports)->ports, 0);
}

TEST(SimSignal, StaysInsideEveryRangeAndIsQuantisedToTheCard)
{
    for (const auto& c : aiCatalogue()) {
        const double levels = static_cast<double>((1 << c.resolutionBits) - 1);
        for (const auto& r : c.ranges) {
            for (int32_t ch = 0; ch < c.channels; ++ch) {
                for (int64_t i = 0; i < 4096; i += 7) {
                    const SimSample s = SimSignal::sample(c, ch, r, i, 4096);
                    ASSERT_LE(s.code, levels) << c.name;
                    ASSERT_GE(s.value, r.low);
                    ASSERT_LE(s.value, r.high);
                    ASSERT_DOUBLE_EQ(s.value, r.low + s.code * (r.high - r.low) / levels);
                    ASSERT_EQ(static_cast<uint16_t>(s.raw), s.code);
                }
            }
        }
    }
}

TEST(SimSignal, RawCountsOfThe5342Are12Bit)
{
    const auto& c = *findAiCard(card::Model5342);
    uint16_t highest = 0;
    for (int64_t i = 0; i < 4096; ++i)
        highest = std::max(highest, SimSignal::sample(c, 0, c.ranges[0], i, 4096).code);
    EXPECT_LE(highest, 4095);
    EXPECT_GT(highest, 3000); // the sine reaches 90 % of full scale
}

TEST(SimSignal, SixteenBitCountsAboveMidScaleTravelAsNegativeRaw)
{
    const auto& c = *findAiCard(card::Differential16);
    const SimSample top = SimSignal::sample(c, 1, c.ranges[0], 0); // square, high half
    EXPECT_GT(top.code, 32767);
    EXPECT_LT(top.raw, 0);
    EXPECT_EQ(top.raw + 65536, top.code);
}

TEST(SimSignal, ChannelsHaveDistinctShapesAndRepeat)
{
    const auto& c = *findAiCard(card::Differential16);
    const SimRange r = c.ranges[0];
    constexpr int64_t period = 600; // 200, 150 and 120 scans per cycle
    std::set<uint16_t> squareLevels;
    for (int64_t i = 0; i < period; ++i)
        squareLevels.insert(SimSignal::sample(c, 1, r, i, period).code);
    EXPECT_EQ(squareLevels.size(), 2u);

    // Ramps rise through each of their cycles and fall back between them: 3, 4
    // and 5 cycles a period on channels 3, 8 and 13.
    for (const auto& [channel, cycles] : {std::pair{3, 3}, std::pair{8, 4}, std::pair{13, 5}}) {
        int falls = 0;
        for (int64_t i = 1; i <= period; ++i)
            falls +=
                SimSignal::sample(c, channel, r, i, period).code < SimSignal::sample(c, channel, r, i - 1, period).code;
        EXPECT_EQ(falls, cycles) << channel;
    }

    for (int32_t ch = 0; ch < c.channels; ++ch)
        for (int64_t i = 0; i < 50; ++i) {
            ASSERT_EQ(SimSignal::sample(c, ch, r, i, period).code,
                      SimSignal::sample(c, ch, r, i + period, period).code);
            ASSERT_EQ(SimSignal::sample(c, ch, r, i).code,
                      SimSignal::sample(c, ch, r, i + SimSignal::kPolledPeriod).code);
        }

    // Seeded noise: reproducible, but another card draws other values.
    const auto& other = *findAiCard(card::Fast);
    int same = 0;
    for (int64_t i = 0; i < 100; ++i) {
        EXPECT_EQ(SimSignal::sample(c, 4, r, i).code, SimSignal::sample(c, 4, r, i).code);
        same += SimSignal::sample(c, 4, r, i).code == SimSignal::sample(other, 4, r, i).code;
    }
    EXPECT_LT(same, 5);
}

TEST(SimSignal, RunSamplesInterleaveFromChanStartAndWrap)
{
    const auto& c = *findAiCard(card::Basic); // 8 channels
    std::vector<SimRange> ranges(8, c.ranges[0]);
    ranges[7] = c.ranges[1];
    // chanStart 6, three channels: 6, 7, 0, 6, 7, 0, ...
    EXPECT_EQ(SimSignal::runSample(c, 6, 3, ranges, 0).code, SimSignal::sample(c, 6, ranges[6], 0).code);
    EXPECT_EQ(SimSignal::runSample(c, 6, 3, ranges, 1).code, SimSignal::sample(c, 7, ranges[7], 0).code);
    EXPECT_EQ(SimSignal::runSample(c, 6, 3, ranges, 2).code, SimSignal::sample(c, 0, ranges[0], 0).code);
    EXPECT_EQ(SimSignal::runSample(c, 6, 3, ranges, 5).code, SimSignal::sample(c, 0, ranges[0], 1).code);
    // A run's period reaches every sample.
    EXPECT_EQ(SimSignal::runSample(c, 6, 3, ranges, 301, 250).code, SimSignal::sample(c, 7, ranges[7], 100, 250).code);
    EXPECT_NE(SimSignal::runSample(c, 6, 3, ranges, 301, 250).code, SimSignal::runSample(c, 6, 3, ranges, 301).code);
}

TEST(SampleTable, FillsExactlyTheRunSamplesAcrossCycleBoundaries)
{
    const auto& c = *findAiCard(card::Differential16);
    const std::vector<SimRange> ranges(16, c.ranges[1]);
    constexpr int64_t period = 1234;
    const SampleTable raw(c, 3, 5, ranges, SampleTable::Kind::Raw, period);
    const SampleTable scaled(c, 3, 5, ranges, SampleTable::Kind::Scaled, period);
    const int64_t cycle = 5 * period;
    for (const int64_t first : {int64_t{0}, cycle - 10, 3 * cycle + 17}) {
        std::vector<int16_t> r(static_cast<size_t>(cycle + 40));
        std::vector<float> f(r.size());
        raw.fill(first, r);
        scaled.fill(first, f);
        for (size_t i = 0; i < r.size(); ++i) {
            const SimSample s = SimSignal::runSample(c, 3, 5, ranges, first + static_cast<int64_t>(i), period);
            ASSERT_EQ(r[i], s.raw) << first << " " << i;
            ASSERT_EQ(f[i], static_cast<float>(s.value));
        }
    }
}

TEST(SimSignal, TemperatureScalesConvertFromCelsius)
{
    EXPECT_DOUBLE_EQ(SimSignal::toScale(25.0, ondrel::TemperatureScale::Celsius), 25.0);
    EXPECT_DOUBLE_EQ(SimSignal::toScale(100.0, ondrel::TemperatureScale::Fahrenheit), 212.0);
    EXPECT_DOUBLE_EQ(SimSignal::toScale(-40.0, ondrel::TemperatureScale::Fahrenheit), -40.0);
    EXPECT_NEAR(SimSignal::toScale(0.0, ondrel::TemperatureScale::Rankine), 491.67, 1e-9);
    EXPECT_NEAR(SimSignal::toScale(-273.15, ondrel::TemperatureScale::Rankine), 0.0, 1e-9);
    EXPECT_DOUBLE_EQ(SimSignal::toScale(0.0, ondrel::TemperatureScale::Kelvin), 273.15);
    EXPECT_NEAR(SimSignal::toScale(-273.15, ondrel::TemperatureScale::Kelvin), 0.0, 1e-9);

    const auto& c = *findAiCard(card::Thermo5340);
    for (int64_t i = 0; i < 2000; i += 13) { // slowly varying around room temperature
        const double t = SimSignal::celsius(c, 2, 0, i);
        EXPECT_GT(t, 15.0);
        EXPECT_LT(t, 45.0);
        EXPECT_LT(std::abs(SimSignal::celsius(c, 2, 0, i + 1) - t), 0.05);
    }
}

TEST(SimSignal, DigitalPortsShowAMovingPattern)
{
    EXPECT_EQ(SimSignal::diPort(0, 0), 0x07);
    EXPECT_EQ(SimSignal::diPort(0, 1), 0x0E);
    EXPECT_EQ(SimSignal::diPort(0, 6), 0xC1); // wraps around the byte
    EXPECT_EQ(SimSignal::diPort(1, 0), SimSignal::diPort(0, 1));
    EXPECT_EQ(SimSignal::diPort(2, 8), SimSignal::diPort(2, 0));
}
