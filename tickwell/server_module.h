#pragma once
// The library's module state and its class-object entry point.
#include "kom/module.h"

namespace tickwell {

kom::ServerModule& serverModule();

// Class objects for TickwellCtl and KroTimerPropPage; the type library for
// LIBID_TICKWELLLib asked with kom::IID_ITypeLib.
kom::HRESULT getClassObject(const kom::CLSID& clsid, const kom::IID& iid, void** out);

} // namespace tickwell
