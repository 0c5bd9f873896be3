#include "ondrel/common/device_family.h"
#include "ondrel/components/device_capabilities.h"
#include <gtest/gtest.h>

namespace ondrel {
namespace {

TEST(DeviceFamily, ADeviceItsBackEndPutsOutsideTheFamilyFollowsNoCardRuleWhateverItsModelHolds)
{
    const char* instrument = "Acme DS5348QX-9948 5342";
    EXPECT_TRUE(ReportsOwnChannels(instrument)); // undescribed: a card by its name
    DeviceDirectory::instance().describe(instrument, {.cardFamilyRules = false, .thermocouples = true});
    EXPECT_FALSE(ReportsOwnChannels(instrument));
    EXPECT_FALSE(DoublesDifferentialThermoChannel(instrument));
    EXPECT_FALSE(HasTwelveBitRawCounts(instrument));
    EXPECT_FALSE(NamesPlotsByScan(instrument));
    // Whether it has temperature channels is the thermocouple device's answer.
    EXPECT_TRUE(CarriesThermocouples(instrument));

    DeviceDirectory::instance().describe("Acme 5340", {.cardFamilyRules = false, .thermocouples = false});
    EXPECT_FALSE(RecheckKindAfterPairing("Acme 5340"));
    EXPECT_FALSE(CarriesThermocouples("Acme 5340"));
}

TEST(DeviceFamily, CardsKeepTheirRules)
{
    DeviceDirectory::instance().describe("KroSim-5348QX thermocouple 16ch", {});
    EXPECT_TRUE(ReportsOwnChannels("KroSim-5348QX thermocouple 16ch"));
    EXPECT_TRUE(DoublesDifferentialThermoChannel("KroSim-5348QX thermocouple 16ch"));
    EXPECT_TRUE(CarriesThermocouples("KroSim-9948 thermocouple 16ch"));
    EXPECT_TRUE(HasTwelveBitRawCounts("KroSim-5342 12-bit 16ch"));
    EXPECT_TRUE(RecheckKindAfterPairing("KroSim-5340QX thermocouple 16ch"));
    EXPECT_FALSE(CarriesThermocouples("KroSim-1710L basic 8ch"));
    // A name beginning as an instrument's once did is a card unless its back end says otherwise.
    EXPECT_TRUE(HasTwelveBitRawCounts("sigrok: Acme 5342"));
}

} // namespace
} // namespace ondrel
