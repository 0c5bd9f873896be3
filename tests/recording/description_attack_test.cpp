// Five valid project indexes, each cut at every length and with every byte
// flipped: each parses or is refused with a message, and reading never
// allocates more than a small multiple of the bytes it was given, whatever
// counts those bytes declare. Allocations are counted by replacing the global
// operator new, hence an executable of its own.
#include "support/counting_new.h"
#include "ondrel/recording/description_reader.h"
#include "ondrel/recording/di_header.h"

#include "recording/file_content.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <new>

namespace {

using ondrel::DescriptionFormatError;
using ondrel::ParseProjectDescription;

// Fixed costs (exception objects, the message text) plus a few times the input:
// each plot name is held once as read and once converted.
constexpr long long kFixedBytes = 4096;
constexpr long long kPerInputByte = 16;

std::vector<std::vector<std::byte>> ValidIndexes()
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(ONDREL_DESCRIPTION_SEEDS))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<std::vector<std::byte>> indexes;
    for (const auto& file : files)
        indexes.push_back(FileContent(file.string()));
    return indexes;
}

// Parses `bytes`; false when refused. Fails the test on any other outcome or
// an allocation out of proportion.
bool ParsesWithinBounds(std::span<const std::byte> bytes, const std::string& what)
{
    const long long before = counted::allocatedBytes.load();
    bool parsed = true;
    try {
        (void)ParseProjectDescription(bytes);
    } catch (const DescriptionFormatError& refusal) {
        parsed = false;
        EXPECT_NE(std::string(refusal.what()).find("Project description: "), std::string::npos) << what;
    }
    const long long used = counted::allocatedBytes.load() - before;
    EXPECT_LE(used, kFixedBytes + kPerInputByte * static_cast<long long>(bytes.size()))
        << what << ": " << used << " bytes allocated for " << bytes.size();
    return parsed;
}

TEST(DescriptionUnderAttack, TheFiveIndexesParseWhole)
{
    const auto indexes = ValidIndexes();
    ASSERT_EQ(indexes.size(), 5u);
    for (size_t i = 0; i < indexes.size(); ++i)
        EXPECT_TRUE(ParsesWithinBounds(indexes[i], "index " + std::to_string(i)));
}

TEST(DescriptionUnderAttack, EveryTruncationParsesOrIsRefused)
{
    for (const auto& index : ValidIndexes())
        for (size_t length = 0; length < index.size(); ++length)
            ParsesWithinBounds(std::span(index).first(length), "cut to " + std::to_string(length));
}

TEST(DescriptionUnderAttack, EveryFlippedByteParsesOrIsRefused)
{
    for (const auto& index : ValidIndexes()) {
        for (size_t at = 0; at < index.size(); ++at) {
            for (const std::byte flip : {std::byte{0x01}, std::byte{0x80}, std::byte{0xFF}}) {
                auto damaged = index;
                damaged[at] ^= flip;
                ParsesWithinBounds(damaged, "byte " + std::to_string(at) + " flipped");
            }
        }
    }
}

TEST(DescriptionUnderAttack, DIHeadersOutOfRangeAreRefusedWithTheirValue)
{
    const auto header = [](int32_t start, int32_t count) {
        std::vector<std::byte> bytes(8);
        for (int i = 0; i < 4; ++i) {
            bytes[i] = static_cast<std::byte>((static_cast<uint32_t>(start) >> (8 * i)) & 0xFF);
            bytes[4 + i] = static_cast<std::byte>((static_cast<uint32_t>(count) >> (8 * i)) & 0xFF);
        }
        return bytes;
    };
    EXPECT_EQ(ondrel::ParseDIHeader(header(1, 3)).portCount, 3);
    EXPECT_EQ(ondrel::ParseDIHeader(header(0, 256)).portCount, 256);
    for (const auto& [start, count] : {std::pair{0, 0}, {0, -1}, {-1, 1}, {0, 257}, {0, INT32_MIN}}) {
        try {
            ondrel::ParseDIHeader(header(start, count));
            ADD_FAILURE() << start << ", " << count << " accepted";
        } catch (const ondrel::DIHeaderError& refusal) {
            EXPECT_NE(std::string(refusal.what()).find("DI data: "), std::string::npos);
        }
    }
    const auto whole = header(0, 1);
    EXPECT_THROW(ondrel::ParseDIHeader(std::span(whole).first(7)), ondrel::DIHeaderError);
}

} // namespace
