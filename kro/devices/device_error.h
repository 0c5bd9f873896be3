#pragma once
#include "ondrel/components/component_error.h"
#include <string>

namespace kro {

// Records `text` as the component's last failure and throws it.
[[noreturn]] inline void failWith(std::string& errorMessage, std::string text)
{
    errorMessage = text;
    throw ondrel::ComponentError(text);
}

} // namespace kro
