#include "kom/control.h"

namespace kom {

namespace {

const ParamInfo noParams[1] = {{"pVal", VarType::Bool, true, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL}};
const MemberInfo ambientMembers[] = {
    {DISPID_AMBIENT_USERMODE, "UserMode", DISPATCH_PROPERTYGET, noParams, "true in run mode, false in a form designer"},
};
const InterfaceInfo ambientInfo{IID_IDispatch, "AmbientProperties", "ambient properties of a client site",
                                IFACE_DISPATCH_ONLY, ambientMembers};

} // namespace

HRESULT ClientSite::QueryInterface(const IID& iid, void** out)
{
    if (!out)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
        return hand(static_cast<IOleClientSite*>(this), out);
    if (iid == IID_IDispatch)
        return hand(static_cast<IDispatch*>(this), out);
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT ClientSite::GetTypeInfo(const InterfaceInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = &ambientInfo;
    return S_OK;
}

HRESULT ClientSite::GetIDsOfNames(std::u16string_view name, DISPID* id) { return idOfName(ambientInfo, name, id); }

HRESULT ClientSite::Invoke(DISPID id, uint16_t kind, const DispParams& params, Variant* result)
{
    if (id != DISPID_AMBIENT_USERMODE || !(kind & DISPATCH_PROPERTYGET))
        return DISP_E_MEMBERNOTFOUND;
    if (!params.args.empty())
        return DISP_E_BADPARAMCOUNT;
    if (result)
        *result = Variant(userMode_);
    return S_OK;
}

HRESULT ambientUserMode(IOleClientSite* site, bool& userMode)
{
    if (!site)
        return E_FAIL;
    auto disp = queryAs<IDispatch>(site, IID_IDispatch);
    if (!disp)
        return E_NOINTERFACE;
    Variant v;
    HRESULT h = disp->Invoke(DISPID_AMBIENT_USERMODE, DISPATCH_PROPERTYGET, DispParams{}, &v);
    if (FAILED(h))
        return h;
    return v.toBool(userMode);
}

int32_t pixelsToHimetric(int32_t pixels, int32_t dpi)
{
    if (dpi <= 0)
        return 0;
    int64_t num = int64_t(pixels) * 2540;
    int64_t half = dpi / 2;
    int64_t q = num >= 0 ? (num + half) / dpi : -((-num + half) / dpi);
    return static_cast<int32_t>(q);
}

} // namespace kom
