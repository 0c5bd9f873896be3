// Module loading, the class registry and the host API, with the timer
// library (built beside the tests) as the module under test.
#include "isolated_registry.h"
#include "kom/client.h"
#include "kom/module.h"
#include "kom/registry.h"
#include "tickwell/tickwell_ids.h"

#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace kom;

namespace {

std::string libraryPath() { return (std::filesystem::path(executableDir()) / "libtickwell.so").string(); }

// Registers the timer class at `path` in the test registry.
void registerClassAt(const std::string& path)
{
    Registry::update(Registry::defaultPath(), [&](Registry& r) {
        r.setDefault("CLSID\\" + tickwell::CLSID_TickwellCtl.toString() + "\\InprocServer32", path);
        return S_OK;
    });
}

// Runs a shell command; its standard output and error.
std::string run(const std::string& command, int* status)
{
    std::string out;
    FILE* p = ::popen((command + " 2>&1").c_str(), "r");
    char buf[512];
    while (p && std::fgets(buf, sizeof buf, p))
        out += buf;
    *status = p ? ::pclose(p) : -1;
    return out;
}

class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override { komtest::clearRegistry(); }
    void TearDown() override { komtest::clearRegistry(); }
};

} // namespace

TEST_F(ModuleTest, WithoutRegistrationTheLibraryBesideTheProgramServes)
{
    EXPECT_EQ(modulePathForClass(tickwell::CLSID_TickwellCtl), libraryPath());
    Control c;
    ASSERT_EQ(Control::create(tickwell::CLSID_TickwellCtl, c), S_OK);
    Variant count;
    EXPECT_EQ(c.get(tickwell::DISPID_Count, {}, count), S_OK);
    EXPECT_EQ(count.int32Or(-1), 10);
}

TEST_F(ModuleTest, UnknownClassesAreNotRegistered)
{
    const CLSID nobody = Guid::literal("{DEADBEEF-0000-0000-0000-000000000000}");
    EXPECT_EQ(modulePathForClass(nobody), "");
    ComPtr<IUnknown> p;
    EXPECT_EQ(createInstance(nobody, nullptr, IID_IUnknown, p.putVoid()), REGDB_E_CLASSNOTREG);
    CLSID out;
    EXPECT_EQ(clsidFromString("No.Such.ProgID", &out), CO_E_CLASSSTRING);
}

TEST_F(ModuleTest, RegistrationWritesAndRemovesTheClassKeys)
{
    ASSERT_EQ(registerModule(libraryPath()), S_OK);
    Registry reg = Registry::current();
    const std::string ctl = "CLSID\\" + tickwell::CLSID_TickwellCtl.toString();
    EXPECT_EQ(reg.value(ctl), "TickwellCtl Class");
    EXPECT_EQ(reg.value(ctl + "\\InprocServer32"), libraryPath());
    EXPECT_EQ(reg.value(ctl + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(reg.value(ctl + "\\ProgID"), "Tickwell.TickwellCtl.1");
    EXPECT_EQ(reg.value(ctl + "\\VersionIndependentProgID"), "Tickwell.TickwellCtl");
    EXPECT_TRUE(reg.keyExists(ctl + "\\Programmable"));
    EXPECT_TRUE(reg.keyExists(ctl + "\\Control"));
    EXPECT_TRUE(reg.keyExists(ctl + "\\Insertable"));
    EXPECT_EQ(reg.value(ctl + "\\ToolboxBitmap32"), libraryPath() + ", 101");
    EXPECT_EQ(reg.value(ctl + "\\MiscStatus"), "0");
    EXPECT_EQ(reg.value(ctl + "\\MiscStatus\\1"), "131473");
    EXPECT_EQ(reg.value(ctl + "\\TypeLib"), tickwell::LIBID_TICKWELLLib.toString());
    EXPECT_EQ(reg.value(ctl + "\\Version"), "1.0");
    EXPECT_EQ(reg.value("Tickwell.TickwellCtl\\CurVer"), "Tickwell.TickwellCtl.1");
    EXPECT_EQ(reg.value("Tickwell.TickwellCtl.1\\CLSID"), tickwell::CLSID_TickwellCtl.toString());
    const std::string page = "CLSID\\" + tickwell::CLSID_KroTimerPropPage.toString();
    EXPECT_EQ(reg.value(page), "KroTimerPropPage Class");
    EXPECT_EQ(reg.value(page + "\\InprocServer32"), libraryPath());
    EXPECT_EQ(reg.value("Tickwell.KroTimerPropPage\\CurVer"), "Tickwell.KroTimerPropPage.1");

    CLSID byProgId;
    ASSERT_EQ(clsidFromString("Tickwell.TickwellCtl", &byProgId), S_OK);
    EXPECT_EQ(byProgId, tickwell::CLSID_TickwellCtl);
    Control c;
    EXPECT_EQ(Control::create("Tickwell.TickwellCtl.1", c), S_OK);
    c.reset();

    ASSERT_EQ(registerModule(libraryPath(), true), S_OK);
    reg = Registry::current();
    EXPECT_FALSE(reg.keyExists(ctl));
    EXPECT_FALSE(reg.keyExists(page));
    EXPECT_FALSE(reg.keyExists("Tickwell.TickwellCtl"));
    EXPECT_FALSE(reg.keyExists("Tickwell.TickwellCtl.1"));
    EXPECT_FALSE(reg.keyExists("Tickwell.KroTimerPropPage.1"));
    EXPECT_FALSE(reg.keyExists("TypeLib\\" + tickwell::LIBID_TICKWELLLib.toString()));
    EXPECT_TRUE(reg.keyExists("CLSID")); // the container stays
}

TEST_F(ModuleTest, ALiveRegisteredPathWinsOverTheNeighbour)
{
    // A link elsewhere to the same library: the registered path is what a
    // host names, so the registry's entry is seen to win.
    const auto elsewhere = std::filesystem::path(komtest::registryPath()).parent_path() / "elsewhere";
    std::filesystem::create_directories(elsewhere);
    const std::string link = (elsewhere / "libtickwell.so").string();
    std::filesystem::remove(link);
    std::filesystem::create_symlink(libraryPath(), link);
    registerClassAt(link);
    EXPECT_EQ(modulePathForClass(tickwell::CLSID_TickwellCtl), link);
    Control c;
    EXPECT_EQ(Control::create(tickwell::CLSID_TickwellCtl, c), S_OK);
}

TEST_F(ModuleTest, ADeadRegisteredPathFallsBackToTheNeighbourAndSaysWhichPathWasDead)
{
    registerClassAt("/nonexistent/dead/libtickwell.so");
    testing::internal::CaptureStderr();
    EXPECT_EQ(modulePathForClass(tickwell::CLSID_TickwellCtl), libraryPath());
    ComPtr<IUnknown> p;
    EXPECT_EQ(createInstance(tickwell::CLSID_TickwellCtl, nullptr, IID_IUnknown, p.putVoid()), S_OK);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("/nonexistent/dead/libtickwell.so"), std::string::npos) << err;
    EXPECT_NE(err.find(libraryPath()), std::string::npos) << err;

    // The same for the type library's entry.
    Registry::update(Registry::defaultPath(), [](Registry& r) {
        r.setDefault("TypeLib\\" + tickwell::LIBID_TICKWELLLib.toString() + "\\1.0\\0\\linux",
                     "/nonexistent/deadlib.so");
        return S_OK;
    });
    testing::internal::CaptureStderr();
    const TypeLibInfo* lib = nullptr;
    EXPECT_EQ(loadTypeLib(tickwell::LIBID_TICKWELLLib, 1, 0, &lib), S_OK);
    const std::string libErr = testing::internal::GetCapturedStderr();
    EXPECT_NE(libErr.find("/nonexistent/deadlib.so"), std::string::npos) << libErr;
}

TEST_F(ModuleTest, RelativeModulePathsInTheRegistryAreIgnored)
{
    // dlopen would resolve these against the working directory (or the
    // library search path): whatever sits there would run.
    for (const char* relative : {"libtickwell.so", "./libtickwell.so", "bin/../libtickwell.so"}) {
        SCOPED_TRACE(relative);
        registerClassAt(relative);
        testing::internal::CaptureStderr();
        EXPECT_EQ(modulePathForClass(tickwell::CLSID_TickwellCtl), libraryPath());
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find(std::string("= ") + relative), std::string::npos) << err;
        EXPECT_NE(err.find("absolute"), std::string::npos) << err;
    }
    EXPECT_EQ(loadModule("libtickwell.so", nullptr), E_INVALIDARG);
}

TEST_F(ModuleTest, RegisteringARelativePathIsRefused)
{
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(executableDir());
    const HRESULT h = registerModule("./libtickwell.so");
    std::filesystem::current_path(before);
    EXPECT_EQ(h, E_INVALIDARG);
    EXPECT_TRUE(Registry::current().empty());
}

TEST_F(ModuleTest, WithoutAnyHomeThereIsNoRegistryAndTheNeighbourServes)
{
    // An account with no password entry, no HOME and no KOM_REGISTRY: komreg
    // names no registry (never a shared folder) and a host still finds the
    // library beside it.
    if (::geteuid() != 0 || ::access("/usr/bin/setpriv", X_OK) != 0)
        GTEST_SKIP() << "needs root and setpriv to run as an account without a home";
    const std::string as = "env -i /usr/bin/setpriv --reuid=54321 --regid=54321 --clear-groups ";
    const std::string komreg = executableDir() + "/komreg";
    int status = 0;
    run(as + "/bin/test -x " + komreg, &status);
    if (status != 0)
        GTEST_SKIP() << "the build folder is not open to other accounts";
    std::string out = run(as + komreg + " --path", &status);
    EXPECT_NE(status, 0) << out;
    EXPECT_NE(out.find("no class registry"), std::string::npos) << out;
    EXPECT_EQ(out.find("/tmp"), std::string::npos) << out;
    out = run(as + komreg + " --query " + tickwell::CLSID_TickwellCtl.toString(), &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out, tickwell::CLSID_TickwellCtl.toString() + "\t" + libraryPath() + "\n");
    out = run(as + komreg + " " + libraryPath(), &status);
    EXPECT_NE(status, 0) << out;
    EXPECT_NE(out.find("no class registry"), std::string::npos) << out;
}

TEST_F(ModuleTest, TypeLibraryNamesIdentifiersAndHelpStrings)
{
    const TypeLibInfo* lib = nullptr;
    ASSERT_EQ(loadTypeLib(tickwell::LIBID_TICKWELLLib, 1, 0, &lib), S_OK);
    EXPECT_STREQ(lib->name, "TICKWELLLib");
    EXPECT_STREQ(lib->help, "Tickwell 1.0 Type Library");
    EXPECT_EQ(lib->lcid, 0x409u);
    const InterfaceInfo* ctl = findInterface(*lib, tickwell::IID_ITickwellCtl);
    ASSERT_TRUE(ctl);
    EXPECT_STREQ(ctl->help, "ITickwellCtl Interface");
    const std::pair<const char16_t*, const char*> expected[] = {
        {u"Interval", "property Interval"}, {u"Enabled", "property Enabled"},   {u"Add", "method Add"},
        {u"Remove", "method Remove"},       {u"RemoveALL", "method RemoveALL"}, {u"Count", "property Count"},
        {u"exist", "property exist"},       {u"GetObject", "method GetObject"}};
    DISPID id = 0;
    for (auto [name, help] : expected) {
        ASSERT_EQ(idOfName(*ctl, name, &id), S_OK) << wideToUtf8(name);
        EXPECT_STREQ(findMember(*ctl, name)->help, help);
    }
    EXPECT_EQ(idOfName(*ctl, u"EXIST", &id), S_OK);
    EXPECT_EQ(id, 7);
    const InterfaceInfo* events = findInterface(*lib, tickwell::DIID_ITickwellCtlEvents);
    ASSERT_TRUE(events);
    EXPECT_STREQ(events->name, "_ITickwellCtlEvents");
    EXPECT_STREQ(events->help, "_ITickwellCtlEvents Interface");
    EXPECT_STREQ(findMember(*events, 1, DISPATCH_METHOD)->help, "method TimerEvent");
    const CoClassInfo* cls = findCoClass(*lib, tickwell::CLSID_TickwellCtl);
    ASSERT_TRUE(cls);
    EXPECT_STREQ(cls->help, "TickwellCtl Class");
    EXPECT_EQ(cls->defaultInterface, ctl);
    EXPECT_EQ(cls->defaultSource, events);
    EXPECT_STREQ(findCoClass(*lib, tickwell::CLSID_KroTimerPropPage)->help, "KroTimerPropPage Class");
    EXPECT_EQ(loadTypeLib(tickwell::LIBID_TICKWELLLib, 2, 0, &lib), TYPE_E_LIBNOTREGISTERED);
}

TEST_F(ModuleTest, CanUnloadOnlyWithoutLiveObjects)
{
    DllGetClassObjectFn fn = nullptr;
    ASSERT_EQ(loadModule(libraryPath(), &fn), S_OK);
    Control c;
    ASSERT_EQ(Control::create(tickwell::CLSID_TickwellCtl, c), S_OK);
    void* handle = ::dlopen(libraryPath().c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_TRUE(handle);
    auto unload = reinterpret_cast<DllCanUnloadNowFn>(::dlsym(handle, "DllCanUnloadNow"));
    ASSERT_TRUE(unload);
    EXPECT_EQ(unload(), S_FALSE);
    c.reset();
    EXPECT_EQ(unload(), S_OK);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(tickwell::CLSID_TickwellCtl, IID_IClassFactory, factory.putVoid()), S_OK);
    factory->LockServer(true);
    EXPECT_EQ(unload(), S_FALSE);
    factory->LockServer(false);
    factory.reset();
    EXPECT_EQ(unload(), S_OK);
    ::dlclose(handle);
}
