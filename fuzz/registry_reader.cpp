// The class registry's file reader. Whatever the bytes, parsing never
// crashes; a registry that parses writes back to text that parses again to
// the same registry, so a registration never loses or changes another's keys
// (update reads, edits and rewrites the whole file).
#include "kom/registry.h"
#include "require.h"

#include <cstdint>
#include <string>
#include <string_view>

using fuzz::require;

namespace {

// Looks the tree up as hosts and registration do.
void walk(const kom::Registry& reg, const std::string& key, int depth)
{
    for (const auto& [name, value] : reg.values(key))
        require(reg.value(key, name) == value, "a listed value reads back by name");
    if (depth == 4)
        return;
    for (const std::string& sub : reg.subkeys(key)) {
        const std::string child = key + "\\" + sub;
        require(reg.keyExists(child), "a listed subkey exists");
        walk(reg, child, depth + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    kom::Registry reg;
    if (kom::FAILED(reg.parse(text)))
        return 0;
    for (const char* root : {"CLSID", "TypeLib", "Interface", "Tickwell.TickwellCtl"})
        walk(reg, root, 0);

    const std::string written = reg.serialize();
    kom::Registry again;
    require(kom::SUCCEEDED(again.parse(written)), "the written registry parses");
    require(again.serialize() == written, "the written registry reads back the same");

    // Deleting a tree removes it and nothing beside it.
    for (const std::string& sub : reg.subkeys("CLSID")) {
        kom::Registry copy = reg;
        const std::string key = "CLSID\\" + sub;
        require(copy.deleteTree(key), "a listed key can be deleted");
        require(!copy.keyExists(key), "a deleted key is gone");
        require(copy.keyExists("CLSID"), "deleting a subkey keeps its parent");
        break;
    }
    return 0;
}
