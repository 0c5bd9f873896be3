#include "isolated_registry.h"
#include "kom/registry.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace {
// Key name "K<t>_<i>" (built by appending: GCC 12 misreports "lit" + string).
std::string keyName(int t, int i)
{
    std::string k = "K";
    k += std::to_string(t);
    k += '_';
    k += std::to_string(i);
    return k;
}
} // namespace

using namespace kom;

TEST(Registry, TestsUseTheirOwnFile)
{
    EXPECT_EQ(Registry::defaultPath(), komtest::registryPath());
    EXPECT_NE(Registry::defaultPath().find("kom-test-"), std::string::npos);
}

TEST(Registry, KeysAndValues)
{
    Registry reg;
    reg.setDefault("CLSID\\{A}\\InprocServer32", "/x/lib.so");
    reg.setValue("CLSID\\{A}\\InprocServer32", "ThreadingModel", "Apartment");
    reg.createKey("CLSID\\{A}\\Control");
    EXPECT_TRUE(reg.keyExists("CLSID"));
    EXPECT_TRUE(reg.keyExists("clsid\\{a}\\control")); // letter case does not matter
    EXPECT_EQ(reg.value("CLSID\\{A}\\InprocServer32"), "/x/lib.so");
    EXPECT_EQ(reg.value("CLSID/{A}/InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_FALSE(reg.value("CLSID\\{A}\\Control"));
    EXPECT_EQ(reg.subkeys("CLSID\\{A}"), (std::vector<std::string>{"Control", "InprocServer32"}));
}

TEST(Registry, DeleteTreeRemovesTheKeyAndEverythingBelow)
{
    Registry reg;
    reg.createKey("CLSID\\{A}\\X\\Y");
    reg.createKey("CLSID\\{AB}");
    EXPECT_TRUE(reg.deleteTree("CLSID\\{A}"));
    EXPECT_FALSE(reg.keyExists("CLSID\\{A}\\X\\Y"));
    EXPECT_FALSE(reg.keyExists("CLSID\\{A}"));
    EXPECT_TRUE(reg.keyExists("CLSID\\{AB}")); // a sibling with a common prefix stays
    EXPECT_TRUE(reg.keyExists("CLSID"));
    EXPECT_FALSE(reg.deleteTree("CLSID\\{A}"));
}

TEST(Registry, SerializesAndParsesWithEscapes)
{
    Registry reg;
    reg.setValue("K", "name=with\\odd", "line\nbreak\\back");
    reg.createKey("Empty\\Key");
    Registry back;
    ASSERT_EQ(back.parse(reg.serialize()), S_OK);
    EXPECT_EQ(back.value("K", "name=with\\odd"), "line\nbreak\\back");
    EXPECT_TRUE(back.keyExists("Empty\\Key"));
    EXPECT_NE(back.parse("value-without-key=1\n"), S_OK);
    EXPECT_NE(back.parse("[unterminated\n"), S_OK);
}

TEST(Registry, MissingFileIsEmptyAndSaveCreatesFolders)
{
    auto dir = std::filesystem::path(komtest::registryPath()).parent_path() / "nested" / "deeper";
    std::string path = (dir / "registry").string();
    Registry reg;
    EXPECT_EQ(reg.load(path), S_OK);
    EXPECT_TRUE(reg.empty());
    reg.setDefault("A", "1");
    ASSERT_EQ(reg.save(path), S_OK);
    Registry again;
    ASSERT_EQ(again.load(path), S_OK);
    EXPECT_EQ(again.value("A"), "1");
}

TEST(Registry, ConcurrentUpdatesKeepEveryKey)
{
    std::string path = (std::filesystem::path(komtest::registryPath()).parent_path() / "concurrent").string();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 10; ++i)
                Registry::update(path, [&](Registry& r) {
                    r.setDefault(keyName(t, i), "v");
                    return S_OK;
                });
        });
    for (auto& th : threads)
        th.join();
    Registry reg;
    ASSERT_EQ(reg.load(path), S_OK);
    EXPECT_EQ(reg.values("K3_9").size(), 1u);
    int keys = 0;
    for (int t = 0; t < 4; ++t)
        for (int i = 0; i < 10; ++i)
            keys += reg.keyExists(keyName(t, i));
    EXPECT_EQ(keys, 40);
}
