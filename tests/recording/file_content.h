#pragma once
#include <cstddef>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// The whole content of a file as another program (Save As, a copy) sees it.
inline std::vector<std::byte> FileContent(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> chars((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::byte> bytes(chars.size());
    for (size_t i = 0; i < chars.size(); ++i)
        bytes[i] = static_cast<std::byte>(chars[i]);
    return bytes;
}
