#pragma once
// Modules: libraries that serve classes through four exported entry points,
//
//     extern "C" HRESULT DllGetClassObject(const CLSID* clsid, const IID* iid, void** out);
//     extern "C" HRESULT DllCanUnloadNow();
//     extern "C" HRESULT DllRegisterServer();
//     extern "C" HRESULT DllUnregisterServer();
//
// and the host side that finds, loads and asks them. DllGetClassObject also
// answers a type library identifier asked with IID_ITypeLib by handing out the
// module's `const TypeLibInfo*`.
#include "kom/dispatch.h"

#include <atomic>
#include <string>
#include <vector>

namespace kom {

inline constexpr IID IID_IClassFactory = Guid::literal("{00000001-0000-0000-C000-000000000046}");

using DllGetClassObjectFn = HRESULT (*)(const CLSID*, const IID*, void**);
using DllCanUnloadNowFn = HRESULT (*)();
using DllRegisterServerFn = HRESULT (*)();

class IClassFactory : public IUnknown {
public:
    virtual HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** out) = 0;
    virtual HRESULT LockServer(bool lock) = 0;

protected:
    ~IClassFactory() = default;
};

// ---- Server side ---------------------------------------------------------

// Live objects and server locks of one module (for DllCanUnloadNow); any
// thread may ask.
class ServerModule {
public:
    void objectCreated() { objects_.fetch_add(1, std::memory_order_relaxed); }
    void objectDestroyed() { objects_.fetch_sub(1, std::memory_order_acq_rel); }
    void lock() { locks_.fetch_add(1, std::memory_order_relaxed); }
    void unlock() { locks_.fetch_sub(1, std::memory_order_acq_rel); }
    HRESULT canUnloadNow() const
    {
        return objects_.load(std::memory_order_acquire) == 0 && locks_.load(std::memory_order_acquire) == 0 ? S_OK
                                                                                                            : S_FALSE;
    }
    long objectCount() const { return objects_.load(std::memory_order_acquire); }

private:
    std::atomic<long> objects_{0};
    std::atomic<long> locks_{0};
};

// A class factory for a class with `static HRESULT create(const IID&, void**)`.
// Aggregation is not offered.
template <class T>
class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(ServerModule& module) : module_(module) {}
    HRESULT QueryInterface(const IID& iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory)
            return hand(static_cast<IClassFactory*>(this), out);
        *out = nullptr;
        return E_NOINTERFACE;
    }
    KOM_REFCOUNTED
    HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return T::create(iid, out);
    }
    HRESULT LockServer(bool lock) override
    {
        lock ? module_.lock() : module_.unlock();
        return S_OK;
    }

private:
    ~ClassFactory() = default;
    ServerModule& module_;
};

// Full path of the module (executable or library) that contains `address`.
std::string modulePathOf(const void* address);

// ---- Host side -----------------------------------------------------------

// Loads a module (once per path; modules stay loaded for the life of the
// process). S_OK, CO_E_DLLNOTFOUND, or CO_E_ERRORINDLL when an entry point
// is missing; E_INVALIDARG for a path that is not absolute, which dlopen
// would resolve against the working directory or the library search path.
HRESULT loadModule(const std::string& path, DllGetClassObjectFn* getClassObject);

// Calls a module's registration or unregistration entry point (the path
// must be absolute, as for loadModule).
HRESULT registerModule(const std::string& path, bool unregister = false);

// The folder of the running executable; "" when it cannot be told.
std::string executableDir();

// The module serving a class: the registry's CLSID\{clsid}\InprocServer32,
// else the first library beside the executable whose class-object entry
// point knows the class. Empty when none. A registry entry that cannot serve
// (a path that is not absolute, a module that is gone or does not load) is
// passed over, with a warning on standard error that names its path.
std::string modulePathForClass(const CLSID& clsid);

// Class identifier from "{...}" or from a ProgID (following CurVer when the
// ProgID has no CLSID of its own). CO_E_CLASSSTRING when unknown.
HRESULT clsidFromString(std::string_view clsidOrProgId, CLSID* clsid);

HRESULT getClassObject(const CLSID& clsid, const IID& iid, void** out);
HRESULT createInstance(const CLSID& clsid, IUnknown* outer, const IID& iid, void** out);

// A type library by identifier and version: from TypeLib\{libid}\MAJOR.MINOR\0\linux,
// else from the libraries beside the executable (the registry entry passed
// over as for classes).
HRESULT loadTypeLib(const Guid& libid, uint16_t major, uint16_t minor, const TypeLibInfo** lib);

} // namespace kom
