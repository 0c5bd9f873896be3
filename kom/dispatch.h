#pragma once
// Late binding: IDispatch, invoked by dispatch identifier, and the static
// member tables ("type information") that map names to identifiers and carry
// the help strings.
#include "kom/variant.h"

#include <span>
#include <string_view>

namespace kom {

inline constexpr IID IID_IDispatch = Guid::literal("{00020400-0000-0000-C000-000000000046}");
// Asked of a module's class-object entry point together with a type library
// identifier: hands out the module's `const TypeLibInfo*` (not reference counted).
inline constexpr IID IID_ITypeLib = Guid::literal("{00020402-0000-0000-C000-000000000046}");

// Invoke kinds; a member table entry states which one it describes.
enum InvokeKind : uint16_t {
    DISPATCH_METHOD = 1,
    DISPATCH_PROPERTYGET = 2,
    DISPATCH_PROPERTYPUT = 4,
};

// Arguments in declaration order (not reversed). For a property put the new
// value is the last argument.
struct DispParams {
    std::span<const Variant> args;
};

enum ParamFlags : uint16_t {
    PARAMFLAG_NONE = 0,
    PARAMFLAG_FIN = 1,
    PARAMFLAG_FOUT = 2,
    PARAMFLAG_FRETVAL = 8,
};

struct ParamInfo {
    const char* name;
    VarType type;   // BStr parameters also accept a ByRefBStr
    bool byRef;     // declared as a pointer (BSTR*, long*)
    uint16_t flags; // ParamFlags
};

// One member function (a property get and put of one name are two entries).
struct MemberInfo {
    DISPID id;
    const char* name;
    InvokeKind kind;
    std::span<const ParamInfo> params; // the retval parameter, if any, included
    const char* help;
};

enum InterfaceFlags : uint16_t {
    IFACE_DUAL = 1, // vtable and IDispatch
    IFACE_DISPATCH_ONLY = 2,
    IFACE_NONEXTENSIBLE = 4,
};

struct InterfaceInfo {
    IID iid;
    const char* name;
    const char* help;
    uint16_t flags; // InterfaceFlags
    std::span<const MemberInfo> members;
};

struct CoClassInfo {
    CLSID clsid;
    const char* name;
    const char* help;
    bool creatable;
    const InterfaceInfo* defaultInterface; // nullptr: IUnknown only
    const InterfaceInfo* defaultSource;    // nullptr: no events
};

struct TypeLibInfo {
    Guid libid;
    const char* name;
    const char* help;
    uint16_t major;
    uint16_t minor;
    LCID lcid;
    std::span<const InterfaceInfo* const> interfaces;
    std::span<const CoClassInfo* const> coclasses;
};

class IDispatch : public IUnknown {
public:
    // The interface's member table (static; not reference counted).
    virtual HRESULT GetTypeInfo(const InterfaceInfo** info) = 0;
    // Name to identifier; names compare without regard to ASCII letter case.
    virtual HRESULT GetIDsOfNames(std::u16string_view name, DISPID* id) = 0;
    // `result` may be null; a member with a retval writes it there.
    virtual HRESULT Invoke(DISPID id, uint16_t kind, const DispParams& params, Variant* result) = 0;

protected:
    ~IDispatch() = default;
};

// Table look-ups shared by implementations and hosts.
const MemberInfo* findMember(const InterfaceInfo& info, DISPID id, uint16_t kind);
const MemberInfo* findMember(const InterfaceInfo& info, std::u16string_view name);
HRESULT idOfName(const InterfaceInfo& info, std::u16string_view name, DISPID* id);
const InterfaceInfo* findInterface(const TypeLibInfo& lib, const IID& iid);
const CoClassInfo* findCoClass(const TypeLibInfo& lib, const CLSID& clsid);

// Argument helpers for Invoke implementations: S_OK, DISP_E_BADPARAMCOUNT or
// the conversion's failure.
HRESULT expectArgs(const DispParams& p, size_t count);
HRESULT argString(const DispParams& p, size_t index, std::u16string& out);
HRESULT argInt32(const DispParams& p, size_t index, int32_t& out);

} // namespace kom
