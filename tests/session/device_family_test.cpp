#include "ondrel/session/device_family.h"
#include <gtest/gtest.h>

namespace ondrel {
namespace {

TEST(DeviceFamily, AnInstrumentWhoseModelHoldsACardNumberFollowsNoCardRule)
{
    const char* instrument = "sigrok: Acme DS5348QX-9948 5342";
    EXPECT_TRUE(IsInstrument(instrument));
    EXPECT_FALSE(ReportsOwnChannels(instrument));
    EXPECT_FALSE(DoublesDifferentialThermoChannel(instrument));
    EXPECT_FALSE(HasTwelveBitRawCounts(instrument));
    EXPECT_FALSE(NamesPlotsByScan(instrument));
    EXPECT_FALSE(RecheckKindAfterPairing("sigrok: Acme 5340"));
    // Whether it has temperature channels is the thermocouple device's answer.
    EXPECT_TRUE(CarriesThermocouples("sigrok: Demo device"));
}

TEST(DeviceFamily, CardsKeepTheirRules)
{
    EXPECT_FALSE(IsInstrument("KroSim-5348QX thermocouple 16ch"));
    EXPECT_TRUE(ReportsOwnChannels("KroSim-5348QX thermocouple 16ch"));
    EXPECT_TRUE(DoublesDifferentialThermoChannel("KroSim-5348QX thermocouple 16ch"));
    EXPECT_TRUE(CarriesThermocouples("KroSim-9948 thermocouple 16ch"));
    EXPECT_TRUE(HasTwelveBitRawCounts("KroSim-5342 12-bit 16ch"));
    EXPECT_FALSE(CarriesThermocouples("KroSim-1710L basic 8ch"));
    EXPECT_FALSE(IsInstrument("sigrok:")); // the prefix names the back end, then a space and the model
}

} // namespace
} // namespace ondrel
