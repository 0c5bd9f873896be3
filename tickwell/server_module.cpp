#include "tickwell/server_module.h"

#include "tickwell/prop_page.h"
#include "tickwell/tickwell_ctl.h"
#include "tickwell/typelib.h"

namespace tickwell {

using namespace kom;

ServerModule& serverModule()
{
    static ServerModule module;
    return module;
}

HRESULT getClassObject(const CLSID& clsid, const IID& iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (clsid == LIBID_TICKWELLLib && iid == IID_ITypeLib) {
        *out = const_cast<TypeLibInfo*>(&TypeLib);
        return S_OK;
    }
    ComPtr<IClassFactory> factory;
    if (clsid == CLSID_TickwellCtl)
        factory = makeObject<ClassFactory<TickwellCtl>>(serverModule());
    else if (clsid == CLSID_KroTimerPropPage)
        factory = makeObject<ClassFactory<KroTimerPropPage>>(serverModule());
    else
        return CLASS_E_CLASSNOTAVAILABLE;
    return factory->QueryInterface(iid, out);
}

} // namespace tickwell
