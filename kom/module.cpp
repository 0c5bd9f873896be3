#include "kom/module.h"

#include "kom/registry.h"
#include "kom/warn.h"

#include <algorithm>
#include <climits>
#include <dlfcn.h>
#include <filesystem>
#include <map>
#include <mutex>
#include <unistd.h>

namespace kom {

namespace {

struct LoadedModule {
    void* handle = nullptr;
    DllGetClassObjectFn getClassObject = nullptr;
    std::string error; // why it cannot serve, when it cannot
};

std::mutex& modulesMutex()
{
    static std::mutex m;
    return m;
}

std::map<std::string, LoadedModule>& modules()
{
    static std::map<std::string, LoadedModule> m;
    return m;
}

std::string canonical(const std::string& path)
{
    std::error_code ec;
    auto p = std::filesystem::canonical(path, ec);
    return ec ? path : p.string();
}

// Libraries beside the executable, in name order.
std::vector<std::string> neighbourLibraries()
{
    std::vector<std::string> out;
    const std::string dir = executableDir();
    if (dir.empty())
        return out;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
        const auto name = e.path().filename().string();
        if (e.is_regular_file(ec) && name.ends_with(".so"))
            out.push_back(e.path().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

// Asks the libraries beside the executable for `id`; the first that answers
// with `iid` wins.
std::string findBeside(const Guid& id, const IID& iid)
{
    for (const std::string& path : neighbourLibraries()) {
        DllGetClassObjectFn fn = nullptr;
        if (FAILED(loadModule(path, &fn)))
            continue;
        void* p = nullptr;
        if (SUCCEEDED(fn(&id, &iid, &p)) && p) {
            if (iid != IID_ITypeLib)
                static_cast<IUnknown*>(p)->Release();
            return path;
        }
    }
    return {};
}

HRESULT load(const std::string& path, DllGetClassObjectFn* getClassObject, std::string* error)
{
    // dlopen resolves a relative path against the working directory (or the
    // library search path): whatever sits there would run.
    if (path.empty() || path.front() != '/') {
        if (error)
            *error = "module paths must be absolute";
        return E_INVALIDARG;
    }
    std::string key = canonical(path);
    std::lock_guard lock(modulesMutex());
    auto it = modules().find(key);
    if (it == modules().end()) {
        LoadedModule m;
        m.handle = ::dlopen(key.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!m.handle) {
            const char* why = ::dlerror();
            m.error = why ? why : "cannot be loaded";
        } else {
            m.getClassObject = reinterpret_cast<DllGetClassObjectFn>(::dlsym(m.handle, "DllGetClassObject"));
            if (!m.getClassObject)
                m.error = "it has no DllGetClassObject entry point";
        }
        it = modules().emplace(key, m).first;
    }
    if (error)
        *error = it->second.error;
    if (!it->second.handle)
        return CO_E_DLLNOTFOUND;
    if (!it->second.getClassObject)
        return CO_E_ERRORINDLL;
    if (getClassObject)
        *getClassObject = it->second.getClassObject;
    return S_OK;
}

// The module for `id` (a class, or a type library with IID_ITypeLib): the one
// the registry's `key` names when it can serve, else the first beside the
// executable. A registry entry passed over (not absolute, gone, or not
// loadable) is reported on standard error, naming its path.
struct Found {
    std::string path;
    bool entryPassedOver = false;
};

Found registeredOrBeside(const std::string& key, const Guid& id, const IID& iid)
{
    const std::optional<std::string> entry = Registry::current().value(key);
    if (!entry || entry->empty())
        return {findBeside(id, iid), false};
    std::string problem;
    std::string error;
    std::error_code ec;
    if (entry->front() != '/')
        problem = "ignoring the registry entry " + key + " = " + *entry + ": module paths must be absolute";
    else if (!std::filesystem::exists(*entry, ec))
        problem = "the registry entry " + key + " names " + *entry + ", which does not exist";
    else if (FAILED(load(*entry, nullptr, &error)))
        problem = "the registry entry " + key + " names " + *entry + ", which cannot serve: " + error;
    else
        return {*entry, false};
    Found found{findBeside(id, iid), true};
    warnOnce(problem
             + (found.path.empty() ? "; no library beside the program serves it either"
                                   : "; using " + found.path + " beside the program instead"));
    return found;
}

} // namespace

std::string modulePathOf(const void* address)
{
    Dl_info info{};
    if (dladdr(address, &info) == 0 || !info.dli_fname)
        return {};
    std::string name = info.dli_fname;
    if (name.empty() || name.find('/') == std::string::npos) {
        // The main program reports its invocation name; use the real path.
        char buf[PATH_MAX];
        ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
        if (n > 0)
            return std::string(buf, static_cast<size_t>(n));
    }
    return canonical(name);
}

std::string executableDir()
{
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return {};
    return std::filesystem::path(std::string(buf, static_cast<size_t>(n))).parent_path().string();
}

HRESULT loadModule(const std::string& path, DllGetClassObjectFn* getClassObject)
{
    return load(path, getClassObject, nullptr);
}

HRESULT registerModule(const std::string& path, bool unregister)
{
    HRESULT h = loadModule(path, nullptr);
    if (FAILED(h))
        return h;
    void* handle = nullptr;
    {
        std::lock_guard lock(modulesMutex());
        handle = modules()[canonical(path)].handle;
    }
    auto fn = reinterpret_cast<DllRegisterServerFn>(
        ::dlsym(handle, unregister ? "DllUnregisterServer" : "DllRegisterServer"));
    if (!fn)
        return CO_E_ERRORINDLL;
    return fn();
}

std::string modulePathForClass(const CLSID& clsid)
{
    return registeredOrBeside("CLSID\\" + clsid.toString() + "\\InprocServer32", clsid, IID_IClassFactory).path;
}

HRESULT clsidFromString(std::string_view s, CLSID* clsid)
{
    if (!clsid)
        return E_POINTER;
    if (auto g = Guid::parse(s)) {
        *clsid = *g;
        return S_OK;
    }
    Registry reg = Registry::current();
    std::string progId(s);
    for (int hops = 0; hops < 4 && !progId.empty(); ++hops) {
        if (auto id = reg.value(progId + "\\CLSID")) {
            if (auto g = Guid::parse(*id)) {
                *clsid = *g;
                return S_OK;
            }
            return CO_E_CLASSSTRING;
        }
        progId += "\\CurVer";
        progId = reg.value(progId).value_or("");
    }
    return CO_E_CLASSSTRING;
}

HRESULT getClassObject(const CLSID& clsid, const IID& iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    const Found found = registeredOrBeside("CLSID\\" + clsid.toString() + "\\InprocServer32", clsid, IID_IClassFactory);
    if (found.path.empty())
        return found.entryPassedOver ? CO_E_DLLNOTFOUND : REGDB_E_CLASSNOTREG;
    DllGetClassObjectFn fn = nullptr;
    HRESULT h = loadModule(found.path, &fn);
    if (FAILED(h))
        return h;
    return fn(&clsid, &iid, out);
}

HRESULT createInstance(const CLSID& clsid, IUnknown* outer, const IID& iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    ComPtr<IClassFactory> factory;
    HRESULT h = getClassObject(clsid, IID_IClassFactory, factory.putVoid());
    if (FAILED(h))
        return h;
    return factory->CreateInstance(outer, iid, out);
}

HRESULT loadTypeLib(const Guid& libid, uint16_t major, uint16_t minor, const TypeLibInfo** lib)
{
    if (!lib)
        return E_POINTER;
    *lib = nullptr;
    const std::string version = std::to_string(major) + "." + std::to_string(minor);
    const std::string path =
        registeredOrBeside("TypeLib\\" + libid.toString() + "\\" + version + "\\0\\linux", libid, IID_ITypeLib).path;
    if (path.empty())
        return TYPE_E_LIBNOTREGISTERED;
    DllGetClassObjectFn fn = nullptr;
    HRESULT h = loadModule(path, &fn);
    if (FAILED(h))
        return h;
    void* raw = nullptr;
    h = fn(&libid, &IID_ITypeLib, &raw);
    const auto* info = static_cast<const TypeLibInfo*>(raw);
    if (FAILED(h) || !info)
        return TYPE_E_LIBNOTREGISTERED;
    if (info->major != major || info->minor < minor)
        return TYPE_E_LIBNOTREGISTERED;
    *lib = info;
    return S_OK;
}

} // namespace kom
