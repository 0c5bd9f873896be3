#include "kro/devices/sigrok/meter_range.h"
#include <gtest/gtest.h>

namespace kro {
namespace {

TEST(MeterRange, VoltageRangesAsMetersNameThemGiveTheirHalfSpanInVolts)
{
    EXPECT_EQ(meterRangeVolts("2 V"), 2.0);
    EXPECT_EQ(meterRangeVolts("20V"), 20.0);
    EXPECT_DOUBLE_EQ(*meterRangeVolts("200 mV"), 0.2);
    EXPECT_DOUBLE_EQ(*meterRangeVolts(" 600 uV "), 600e-6);
    EXPECT_EQ(meterRangeVolts("1 kV"), 1000.0);
}

TEST(MeterRange, AnythingElseIsNoVoltageRange)
{
    for (const char* text : {"Auto", "", "20 A", "200 mA", "2 kOhm", "V", "-2 V", "0 V", "nan V", "2 Volt", "2 V x"})
        EXPECT_FALSE(meterRangeVolts(text)) << text;
}

} // namespace
} // namespace kro
