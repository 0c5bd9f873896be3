#include "ondrel/common/channel_map.h"

#include <gtest/gtest.h>
#include <vector>

using namespace ondrel;

namespace {

constexpr const char* kPlain = "PCI-1711";

std::vector<int32_t> Connections(std::initializer_list<int> differential, size_t maxChan)
{
    std::vector<int32_t> table(maxChan + 1, 0); // the session table has MaxChanCount + 1 entries
    for (const int channel : differential)
        table[static_cast<size_t>(channel)] = 1;
    return table;
}

// The walk exactly as the recording format's channel numbering defines it,
// unbounded: the reference for the bounded implementation.
int32_t NaivePhysical(int32_t maxChan, const std::vector<int32_t>& table, int32_t& logical)
{
    int64_t k = -1;
    int32_t channel = 0;
    while (k < logical) {
        if (channel % 2 == 1 && table[static_cast<size_t>(channel)] == 1)
            ++logical;
        ++k;
        channel = (channel + 1) % maxChan;
    }
    return static_cast<int32_t>(k % maxChan);
}

} // namespace

TEST(ChannelMap, WithoutDifferentialChannelsBothMappingsAreTheIdentity)
{
    const auto table = Connections({}, 16);
    EXPECT_EQ(EffectiveChannelCount(kPlain, 16, table), 16);
    for (int32_t channel = 0; channel < 16; ++channel) {
        EXPECT_EQ(LogicalChannel(kPlain, 16, table, channel), channel);
        int32_t logical = channel;
        EXPECT_EQ(PhysicalChannel(kPlain, 16, table, logical), channel);
        EXPECT_EQ(logical, channel);
    }
    int32_t past = 17;
    EXPECT_EQ(PhysicalChannel(kPlain, 16, table, past), 1);
    EXPECT_EQ(LogicalChannel(kPlain, 16, table, 17), 1);
}

TEST(ChannelMap, AllSixteenDifferentialGiveEightPairs)
{
    const auto table = Connections({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, 16);
    EXPECT_EQ(EffectiveChannelCount(kPlain, 16, table), 8);
    EXPECT_EQ(LogicalChannel(kPlain, 16, table, 2), 1);
    EXPECT_EQ(LogicalChannel(kPlain, 16, table, 3), 1); // the odd half belongs to the same pair
    int32_t logical = 1;
    EXPECT_EQ(PhysicalChannel(kPlain, 16, table, logical), 2);
    EXPECT_EQ(logical, 2); // raised once for odd differential channel 1
    int32_t wrapped = 8;
    EXPECT_EQ(PhysicalChannel(kPlain, 16, table, wrapped), 0);
}

TEST(ChannelMap, PairFollowedBySingleEndedChannel)
{
    const auto table = Connections({0, 1}, 3);
    EXPECT_EQ(EffectiveChannelCount(kPlain, 3, table), 2);
    int32_t first = 0;
    int32_t second = 1;
    EXPECT_EQ(PhysicalChannel(kPlain, 3, table, first), 0);
    EXPECT_EQ(PhysicalChannel(kPlain, 3, table, second), 2);
    EXPECT_EQ(LogicalChannel(kPlain, 3, table, 2), 1);
}

TEST(ChannelMap, PhysicalAndLogicalAreInverseOverTheLogicalChannels)
{
    const auto table = Connections({2, 3, 6, 7, 8, 9}, 12);
    const int32_t effective = EffectiveChannelCount(kPlain, 12, table);
    ASSERT_EQ(effective, 9);
    for (int32_t position = 0; position < effective; ++position) {
        int32_t logical = position;
        const int32_t physical = PhysicalChannel(kPlain, 12, table, logical);
        EXPECT_EQ(LogicalChannel(kPlain, 12, table, physical), position) << "position " << position;
    }
}

TEST(ChannelMap, FamilyFortyEightIgnoresDifferentialPairs)
{
    const auto table = Connections({0, 1, 2, 3}, 8);
    for (const char* name : {"PCI-1748", "5348", "9948"}) {
        EXPECT_EQ(EffectiveChannelCount(name, 8, table), 8) << name;
        EXPECT_EQ(LogicalChannel(name, 8, table, 3), 3) << name;
        EXPECT_EQ(LogicalChannel(name, 8, table, 11), 3) << name;
        int32_t logical = 10;
        EXPECT_EQ(PhysicalChannel(name, 8, table, logical), 2) << name;
        EXPECT_EQ(logical, 10) << name;
    }
}

TEST(ChannelMap, HalfChannelCountsRoundToEven)
{
    EXPECT_EQ(EffectiveChannelCount(kPlain, 3, Connections({0}, 3)), 2); // 2.5
    EXPECT_EQ(EffectiveChannelCount(kPlain, 4, Connections({0}, 4)), 4); // 3.5
    EXPECT_EQ(EffectiveChannelCount(kPlain, 1, Connections({0}, 1)), 0); // 0.5
}

TEST(ChannelMap, DegenerateTablesGiveZeroInsteadOfFailing)
{
    const std::vector<int32_t> empty;
    for (const int32_t maxChan : {0, -4}) {
        EXPECT_EQ(EffectiveChannelCount(kPlain, maxChan, empty), 0);
        EXPECT_EQ(LogicalChannel(kPlain, maxChan, empty, 3), 0);
        int32_t logical = 3;
        EXPECT_EQ(PhysicalChannel(kPlain, maxChan, empty, logical), 0);
        EXPECT_EQ(PhysicalChannel("x48", maxChan, empty, logical), 0);
    }
    // A lone differential channel: no logical channel at all, and no division by zero.
    const auto lone = Connections({0}, 1);
    EXPECT_EQ(LogicalChannel(kPlain, 1, lone, 0), 0);
    int32_t logical = 5;
    EXPECT_EQ(PhysicalChannel(kPlain, 1, lone, logical), 0);
    // A table shorter than the device counts the missing channels as single-ended.
    EXPECT_EQ(EffectiveChannelCount(kPlain, 8, empty), 8);
    EXPECT_EQ(LogicalChannel(kPlain, 8, empty, 5), 5);
}

TEST(ChannelMap, BoundedWalkMatchesTheFullWalk)
{
    // Every differential pattern of an 8-channel device, including unpaired halves.
    for (int pattern = 0; pattern < 256; ++pattern) {
        std::vector<int32_t> table(9, 0);
        for (int channel = 0; channel < 8; ++channel)
            table[static_cast<size_t>(channel)] = (pattern >> channel) & 1;
        for (int32_t position = 0; position < 40; ++position) {
            int32_t expectedLogical = position;
            const int32_t expected = NaivePhysical(8, table, expectedLogical);
            int32_t logical = position;
            ASSERT_EQ(PhysicalChannel(kPlain, 8, table, logical), expected)
                << "pattern " << pattern << " position " << position;
            ASSERT_EQ(logical, expectedLogical) << "pattern " << pattern << " position " << position;
        }
    }
}

TEST(ChannelMap, HugeLogicalPositionEndsInRange)
{
    const auto table = Connections({1, 3, 5}, 8);
    int32_t logical = INT32_MAX;
    const int32_t physical = PhysicalChannel(kPlain, 8, table, logical);
    EXPECT_GE(physical, 0);
    EXPECT_LT(physical, 8);
    EXPECT_EQ(logical, INT32_MAX); // saturated, not wrapped negative
    EXPECT_EQ(LogicalChannel(kPlain, 8, table, INT32_MAX), LogicalChannel(kPlain, 8, table, 7));
}
