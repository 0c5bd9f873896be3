#include "kro/display/prepared_data.h"
#include "ondrel/components/component_error.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<float> interleaved(int scans, int chans)
{
    std::vector<float> samples;
    for (int s = 0; s < scans; ++s)
        for (int c = 0; c < chans; ++c)
            samples.push_back(static_cast<float>(100 * c + s));
    return samples;
}

TEST(PreparedData, SplitsScanMajorSamplesIntoPlots)
{
    ondrel::PreparedData out;
    kro::prepareScans(std::span<const float>(interleaved(3, 2)), 2, 3.0, 0, out);
    EXPECT_EQ(out.scans, 3);
    EXPECT_EQ(out.firstScan, 0);
    EXPECT_EQ(out.values, (std::vector<float>{0, 1, 2, 100, 101, 102}));
}

TEST(PreparedData, KeepsOnlyTheTailThatTheChartCanShow)
{
    ondrel::PreparedData out;
    kro::prepareScans(std::span<const float>(interleaved(1000, 2)), 2, 1000.0, 4, out);
    EXPECT_EQ(out.scans, 1000);
    EXPECT_EQ(out.firstScan, 996);
    EXPECT_EQ(out.keptScans, 4);
    EXPECT_EQ(out.values, (std::vector<float>{996, 997, 998, 999, 1096, 1097, 1098, 1099}));
}

TEST(PreparedData, CountsOnlyWholeScansThatArePresent)
{
    ondrel::PreparedData out;
    const std::vector<int32_t> raw{1, 2, 3, 4, 5};
    kro::prepareScans(std::span<const int32_t>(raw), 2, 2.5, 0, out);
    EXPECT_EQ(out.scans, 2);
    EXPECT_EQ(out.values, (std::vector<float>{1, 3, 2, 4}));

    // A scan count beyond the buffer must not read past it.
    kro::prepareScans(std::span<const int32_t>(raw), 2, 50.0, 0, out);
    EXPECT_EQ(out.scans, 2);
}

TEST(PreparedData, RejectsBadArguments)
{
    ondrel::PreparedData out;
    const std::vector<float> samples(8, 1.0f);
    EXPECT_THROW(kro::prepareScans(std::span<const float>(samples), 0, 4.0, 0, out), ondrel::ComponentError);
    EXPECT_THROW(kro::prepareScans(std::span<const float>(samples), 2, -1.0, 0, out), ondrel::ComponentError);

    ondrel::PreparedData forged;
    forged.chanCount = 2;
    forged.scans = 3;
    forged.keptScans = 3;
    forged.values.resize(2);
    EXPECT_THROW(kro::checkPrepared(forged), ondrel::ComponentError);
}

} // namespace
