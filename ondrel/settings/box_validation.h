#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace ondrel {

// Why a settings box's text was refused when it lost the focus, and the text
// the box is reset to.
struct BoxRejection {
    std::string message;
    std::string resetText;
};

// The check of the box with that control name; nothing when the text passes
// or the box has no check. The boxes set no upper bounds and channel start and
// count get no range check: the device judges those values when they are written.
std::optional<BoxRejection> CheckBox(std::string_view box, std::string_view text);

} // namespace ondrel
