#include "ondrel/graph/ai_colors.h"
#include <gtest/gtest.h>

namespace ondrel {
namespace {

TEST(AIColors, SixteenColoursRedFirstAndOneSystemColour)
{
    const AIColorTable expected{0x0000FF,   0xFFC0FF, 0xFF8080, 0xFF00FF, 0xC0C0FF, 0x00FFFF, 0x0080FF, 0xFFFFFF,
                                0x80000016, 0x000080, 0xC0FFC0, 0x00FF00, 0x008000, 0xFFFF00, 0x008080, 0xFF0000};
    EXPECT_EQ(SetAIColors(), expected);
}

TEST(AIColors, FiveLineStylesHaveSevenCharacterPictures)
{
    EXPECT_EQ(LineStylePicture(0), "-------");
    EXPECT_EQ(LineStylePicture(1), "- - - -");
    EXPECT_EQ(LineStylePicture(2), ". . . .");
    EXPECT_EQ(LineStylePicture(3), "- . - .");
    EXPECT_EQ(LineStylePicture(4), "- . . -");
    for (int32_t code : {-1, 5, 7})
        EXPECT_FALSE(LineStylePicture(code).has_value()) << code;
}

} // namespace
} // namespace ondrel
