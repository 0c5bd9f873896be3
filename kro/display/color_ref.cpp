#include "kro/display/color_ref.h"
#include <array>

namespace kro {
namespace {

constexpr ondrel::ColorRef kSystemFlag = 0x80000000u;

struct SystemColor {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The classic desktop colour numbers (scroll bar, desktop, captions, menus,
// windows, 3-D edges, tool tips, ...) expressed in the roles of a Qt palette.
constexpr std::array<SystemColor, 31> kSystemColors{{
    {QPalette::Active, QPalette::Button},          // 0 scroll bar
    {QPalette::Active, QPalette::Dark},            // 1 desktop
    {QPalette::Active, QPalette::Highlight},       // 2 active caption
    {QPalette::Inactive, QPalette::Highlight},     // 3 inactive caption
    {QPalette::Active, QPalette::Window},          // 4 menu
    {QPalette::Active, QPalette::Base},            // 5 window
    {QPalette::Active, QPalette::Shadow},          // 6 window frame
    {QPalette::Active, QPalette::WindowText},      // 7 menu text
    {QPalette::Active, QPalette::Text},            // 8 window text
    {QPalette::Active, QPalette::HighlightedText}, // 9 caption text
    {QPalette::Active, QPalette::Window},          // 10 active border
    {QPalette::Inactive, QPalette::Window},        // 11 inactive border
    {QPalette::Active, QPalette::Dark},            // 12 application workspace
    {QPalette::Active, QPalette::Highlight},       // 13 highlight
    {QPalette::Active, QPalette::HighlightedText}, // 14 highlighted text
    {QPalette::Active, QPalette::Button},          // 15 button face
    {QPalette::Active, QPalette::Dark},            // 16 button shadow
    {QPalette::Disabled, QPalette::Text},          // 17 grey text
    {QPalette::Active, QPalette::ButtonText},      // 18 button text
    {QPalette::Inactive, QPalette::WindowText},    // 19 inactive caption text
    {QPalette::Active, QPalette::Light},           // 20 button highlight
    {QPalette::Active, QPalette::Shadow},          // 21 3-D dark shadow
    {QPalette::Active, QPalette::Light},           // 22 3-D light edge
    {QPalette::Active, QPalette::ToolTipText},     // 23 tool-tip text
    {QPalette::Active, QPalette::ToolTipBase},     // 24 tool-tip background
    {QPalette::Active, QPalette::Window},          // 25 (unassigned)
    {QPalette::Active, QPalette::Link},            // 26 hot-tracked item
    {QPalette::Active, QPalette::Highlight},       // 27 active caption gradient
    {QPalette::Inactive, QPalette::Highlight},     // 28 inactive caption gradient
    {QPalette::Active, QPalette::Highlight},       // 29 menu highlight
    {QPalette::Active, QPalette::Window},          // 30 menu bar
}};

} // namespace

QColor colorFromRef(ondrel::ColorRef ref, const QPalette& palette)
{
    if ((ref & kSystemFlag) != 0) {
        const uint32_t index = ref & ~kSystemFlag;
        // An unknown system colour falls back to the text colour so that a
        // plot given one stays visible.
        if (index >= kSystemColors.size())
            return palette.color(QPalette::Active, QPalette::Text);
        const SystemColor& entry = kSystemColors[index];
        return palette.color(entry.group, entry.role);
    }
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

} // namespace kro
