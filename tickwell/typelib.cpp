#include "tickwell/typelib.h"

#include "tickwell/tickwell_ids.h"

namespace tickwell {

using namespace kom;

namespace {

constexpr uint16_t retval = PARAMFLAG_FOUT | PARAMFLAG_FRETVAL;

const ParamInfo keyGet[] = {{"Key", VarType::BStr, true, PARAMFLAG_NONE}, {"pVal", VarType::I4, true, retval}};
const ParamInfo keyPut[] = {{"Key", VarType::BStr, true, PARAMFLAG_NONE},
                            {"newVal", VarType::I4, false, PARAMFLAG_FIN}};
const ParamInfo addParams[] = {{"Key", VarType::BStr, true, PARAMFLAG_NONE},
                               {"Interval", VarType::I4, false, PARAMFLAG_FIN},
                               {"Enabled", VarType::I4, false, PARAMFLAG_FIN}};
const ParamInfo keyOnly[] = {{"Key", VarType::BStr, true, PARAMFLAG_NONE}};
const ParamInfo countParams[] = {{"pVal", VarType::I4, true, retval}};
const ParamInfo objectParams[] = {{"val", VarType::I4, true, PARAMFLAG_NONE}};
const ParamInfo eventParams[] = {{"Key", VarType::BStr, false, PARAMFLAG_FIN}};

const MemberInfo ctlMembers[] = {
    {DISPID_Interval, "Interval", DISPATCH_PROPERTYGET, keyGet, "property Interval"},
    {DISPID_Interval, "Interval", DISPATCH_PROPERTYPUT, keyPut, "property Interval"},
    {DISPID_Enabled, "Enabled", DISPATCH_PROPERTYGET, keyGet, "property Enabled"},
    {DISPID_Enabled, "Enabled", DISPATCH_PROPERTYPUT, keyPut, "property Enabled"},
    {DISPID_Add, "Add", DISPATCH_METHOD, addParams, "method Add"},
    {DISPID_Remove, "Remove", DISPATCH_METHOD, keyOnly, "method Remove"},
    {DISPID_RemoveALL, "RemoveALL", DISPATCH_METHOD, {}, "method RemoveALL"},
    {DISPID_Count, "Count", DISPATCH_PROPERTYGET, countParams, "property Count"},
    {DISPID_exist, "exist", DISPATCH_PROPERTYGET, keyGet, "property exist"},
    {DISPID_GetObject, "GetObject", DISPATCH_METHOD, objectParams, "method GetObject"},
};

const MemberInfo eventMembers[] = {
    {DISPID_TimerEvent, "TimerEvent", DISPATCH_METHOD, eventParams, "method TimerEvent"},
};

const InterfaceInfo* const interfaces[] = {&ITickwellCtlEventsInfo, &ITickwellCtlInfo};
const CoClassInfo* const coclasses[] = {&TickwellCtlClass, &KroTimerPropPageClass};

} // namespace

const InterfaceInfo ITickwellCtlInfo{IID_ITickwellCtl, "ITickwellCtl", "ITickwellCtl Interface",
                                     IFACE_DUAL | IFACE_NONEXTENSIBLE, ctlMembers};
const InterfaceInfo ITickwellCtlEventsInfo{DIID_ITickwellCtlEvents, "_ITickwellCtlEvents",
                                           "_ITickwellCtlEvents Interface", IFACE_DISPATCH_ONLY, eventMembers};
const CoClassInfo TickwellCtlClass{CLSID_TickwellCtl, "TickwellCtl",          "TickwellCtl Class", true,
                                   &ITickwellCtlInfo, &ITickwellCtlEventsInfo};
const CoClassInfo KroTimerPropPageClass{
    CLSID_KroTimerPropPage, "KroTimerPropPage", "KroTimerPropPage Class", true, nullptr, nullptr};
const TypeLibInfo TypeLib{LIBID_TICKWELLLib, "TICKWELLLib", "Tickwell 1.0 Type Library", 1, 0, 0x409,
                          interfaces,        coclasses};

} // namespace tickwell
