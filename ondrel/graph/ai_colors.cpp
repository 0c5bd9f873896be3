#include "ondrel/graph/ai_colors.h"

namespace ondrel {

AIColorTable SetAIColors()
{
    return {0x0000FF, 0xFFC0FF, 0xFF8080, 0xFF00FF, 0xC0C0FF, 0x00FFFF, 0x0080FF, 0xFFFFFF, kSystemColorFlag + 22,
            0x000080, 0xC0FFC0, 0x00FF00, 0x008000, 0xFFFF00, 0x008080, 0xFF0000};
}

std::optional<std::string> LineStylePicture(int32_t style)
{
    static const char* const pictures[] = {"-------", "- - - -", ". . . .", "- . - .", "- . . -"};
    if (style < 0 || style > 4)
        return std::nullopt;
    return pictures[style];
}

} // namespace ondrel
