#include "kom/dispatch.h"

namespace kom {

namespace {

bool sameName(const char* a, std::u16string_view b)
{
    size_t i = 0;
    for (; a[i] != '\0'; ++i) {
        if (i >= b.size())
            return false;
        char16_t x = static_cast<unsigned char>(a[i]);
        char16_t y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char16_t>(x + 32);
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char16_t>(y + 32);
        if (x != y)
            return false;
    }
    return i == b.size();
}

} // namespace

const MemberInfo* findMember(const InterfaceInfo& info, DISPID id, uint16_t kind)
{
    for (const MemberInfo& m : info.members)
        if (m.id == id && (m.kind & kind) != 0)
            return &m;
    return nullptr;
}

const MemberInfo* findMember(const InterfaceInfo& info, std::u16string_view name)
{
    for (const MemberInfo& m : info.members)
        if (sameName(m.name, name))
            return &m;
    return nullptr;
}

HRESULT idOfName(const InterfaceInfo& info, std::u16string_view name, DISPID* id)
{
    if (!id)
        return E_POINTER;
    const MemberInfo* m = findMember(info, name);
    if (!m)
        return DISP_E_UNKNOWNNAME;
    *id = m->id;
    return S_OK;
}

const InterfaceInfo* findInterface(const TypeLibInfo& lib, const IID& iid)
{
    for (const InterfaceInfo* i : lib.interfaces)
        if (i->iid == iid)
            return i;
    return nullptr;
}

const CoClassInfo* findCoClass(const TypeLibInfo& lib, const CLSID& clsid)
{
    for (const CoClassInfo* c : lib.coclasses)
        if (c->clsid == clsid)
            return c;
    return nullptr;
}

HRESULT expectArgs(const DispParams& p, size_t count) { return p.args.size() == count ? S_OK : DISP_E_BADPARAMCOUNT; }

HRESULT argString(const DispParams& p, size_t index, std::u16string& out)
{
    if (index >= p.args.size())
        return DISP_E_BADPARAMCOUNT;
    return p.args[index].toString(out);
}

HRESULT argInt32(const DispParams& p, size_t index, int32_t& out)
{
    if (index >= p.args.size())
        return DISP_E_BADPARAMCOUNT;
    return p.args[index].toInt32(out);
}

} // namespace kom
