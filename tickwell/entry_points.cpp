// The library's four exported entry points; everything else stays hidden.
#include "kom/module.h"
#include "kom/registry.h"
#include "tickwell/registration.h"
#include "tickwell/server_module.h"

#define TICKWELL_EXPORT extern "C" __attribute__((visibility("default")))

using kom::HRESULT;

TICKWELL_EXPORT HRESULT DllCanUnloadNow() { return tickwell::serverModule().canUnloadNow(); }

TICKWELL_EXPORT HRESULT DllGetClassObject(const kom::CLSID* clsid, const kom::IID* iid, void** out)
{
    if (!clsid || !iid || !out)
        return kom::E_POINTER;
    return tickwell::getClassObject(*clsid, *iid, out);
}

TICKWELL_EXPORT HRESULT DllRegisterServer()
{
    const std::string path = kom::modulePathOf(reinterpret_cast<const void*>(&DllRegisterServer));
    return kom::Registry::update(kom::Registry::defaultPath(),
                                 [&](kom::Registry& reg) { return tickwell::RegisterServer(reg, path); });
}

TICKWELL_EXPORT HRESULT DllUnregisterServer()
{
    return kom::Registry::update(kom::Registry::defaultPath(),
                                 [](kom::Registry& reg) { return tickwell::UnregisterServer(reg); });
}
