#pragma once
#include <string>
#include <string_view>

namespace ondrel {

// The recording files hold text as single bytes (Latin-1); the program works in
// UTF-8. Characters beyond U+00FF, and bytes that are not valid UTF-8, become
// '?'.
std::string Utf8ToLatin1(std::string_view utf8);
std::string Latin1ToUtf8(std::string_view latin1);

} // namespace ondrel
