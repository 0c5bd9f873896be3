#include "kom/variant.h"

#include <gtest/gtest.h>

using namespace kom;

TEST(Variant, HoldsAndReportsItsType)
{
    EXPECT_EQ(Variant().type(), VarType::Empty);
    EXPECT_EQ(Variant(int32_t(5)).type(), VarType::I4);
    EXPECT_EQ(Variant(true).type(), VarType::Bool);
    EXPECT_EQ(Variant(1.5).type(), VarType::R8);
    EXPECT_EQ(Variant(u"x").type(), VarType::BStr);
    EXPECT_EQ(Variant::null().type(), VarType::Null);
}

TEST(Variant, BooleansAreMinusOneAndZero)
{
    EXPECT_EQ(Variant(true).int32Or(7), -1);
    EXPECT_EQ(Variant(false).int32Or(7), 0);
}

TEST(Variant, DoublesRoundToNearestWithTiesToEven)
{
    EXPECT_EQ(Variant(2.5).int32Or(0), 2);
    EXPECT_EQ(Variant(3.5).int32Or(0), 4);
    EXPECT_EQ(Variant(-2.5).int32Or(0), -2);
    EXPECT_EQ(Variant(2.6).int32Or(0), 3);
    int32_t out = 0;
    EXPECT_EQ(Variant(3e9).toInt32(out), DISP_E_OVERFLOW);
}

TEST(Variant, StringsConvertToNumbersAndBack)
{
    int32_t out = 0;
    EXPECT_EQ(Variant(u" 42 ").toInt32(out), S_OK);
    EXPECT_EQ(out, 42);
    EXPECT_EQ(Variant(u"abc").toInt32(out), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Variant(u"99999999999").toInt32(out), DISP_E_OVERFLOW);
    EXPECT_EQ(Variant(int32_t(-7)).stringOr(u""), u"-7");
    EXPECT_EQ(Variant().stringOr(u"x"), u"");
    EXPECT_EQ(Variant::null().stringOr(u"fallback"), u"fallback");
}

TEST(Variant, ByReferenceValuesReadThroughTheirPointer)
{
    int32_t target = 9;
    Variant v = Variant::byRef(&target);
    EXPECT_EQ(v.byRefI4(), &target);
    EXPECT_EQ(v.int32Or(0), 9);
    std::u16string s = u"key";
    EXPECT_EQ(Variant::byRef(&s).stringOr(u""), u"key");
}

TEST(Text, NarrowCodePageReplacesWhatItLacks)
{
    EXPECT_EQ(wideToNarrow(u"caf\u00e9"), "caf\xe9");
    EXPECT_EQ(wideToNarrow(u"\u20ac1"), "?1");
    EXPECT_EQ(wideToNarrow(u"a\U0001F600b"), "a?b"); // one character, one '?'
    EXPECT_EQ(wideToNarrow(std::u16string(u"ab\0cd", 5)), "ab");
    EXPECT_EQ(narrowToWide("caf\xe9"), u"caf\u00e9");
}

TEST(Text, Utf8RoundTrips)
{
    const std::u16string w = u"k\u00e9y \u20ac \U0001F600";
    EXPECT_EQ(utf8ToWide(wideToUtf8(w)), w);
    EXPECT_EQ(utf8ToWide("\xff"), u"\uFFFD");
    EXPECT_EQ(narrowToUtf8("caf\xe9"), "caf\xc3\xa9");
}

TEST(Guid, ParsesAndFormats)
{
    constexpr Guid g = Guid::literal("{7F7C9955-AEDA-499F-B4B3-F89A735BB414}");
    EXPECT_EQ(g.toString(), "{7F7C9955-AEDA-499F-B4B3-F89A735BB414}");
    EXPECT_EQ(Guid::parse("7f7c9955-aeda-499f-b4b3-f89a735bb414"), g);
    EXPECT_FALSE(Guid::parse("{7F7C9955-AEDA-499F-B4B3-F89A735BB41}"));
    EXPECT_FALSE(Guid::parse("{7F7C9955-AEDA-499F-B4B3-F89A735BB41Z}"));
    EXPECT_FALSE(Guid::parse("Tickwell.TickwellCtl"));
}
