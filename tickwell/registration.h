#pragma once
// The registry data of the library's classes, type library and interfaces.
#include "kom/registry.h"

namespace tickwell {

// Writes every key for a library at `modulePath` (the class keys are replaced
// whole). SELFREG_E_CLASS, writing nothing, when the path is not absolute.
kom::HRESULT RegisterServer(kom::Registry& reg, const std::string& modulePath);
// Removes the same keys; container keys (CLSID, TypeLib, Interface) stay.
kom::HRESULT UnregisterServer(kom::Registry& reg);

} // namespace tickwell
