// Module loading, the class registry and the host API, with the timer
// library (built beside the tests) as the module under test.
#include "isolated_registry.h"
#include "kom/client.h"
#include "kom/module.h"
#include "kom/registry.h"
#include "tickwell/tickwell_ids.h"

#include <dlfcn.h>
#include <filesystem>
#include <gtest/gtest.h>

using namespace kom;

namespace {

std::string libraryPath() { return (std::filesystem::path(executableDir()) / "libtickwell.so").string(); }

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

TEST_F(ModuleTest, ARegisteredPathWinsOverTheNeighbour)
{
    Registry::update(Registry::defaultPath(), [](Registry& r) {
        r.setDefault("CLSID\\" + tickwell::CLSID_TickwellCtl.toString() + "\\InprocServer32", "/nonexistent/lib.so");
        return S_OK;
    });
    ComPtr<IUnknown> p;
    EXPECT_EQ(createInstance(tickwell::CLSID_TickwellCtl, nullptr, IID_IUnknown, p.putVoid()), CO_E_DLLNOTFOUND);
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
        {u"Interval", "property Interval"}, {u"Enabled", "property Enabled"}, {u"Add", "method Add"},
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
