#include "tickwell/registration.h"

#include "tickwell/tickwell_ids.h"
#include "tickwell/typelib.h"

#include <filesystem>

namespace tickwell {

using namespace kom;

namespace {

const std::string ctlClsid = CLSID_TickwellCtl.toString();
const std::string pageClsid = CLSID_KroTimerPropPage.toString();
const std::string libid = LIBID_TICKWELLLib.toString();

void progId(Registry& reg, const std::string& name, const std::string& text, const std::string& clsid,
            const std::string& curVer)
{
    reg.setDefault(name, text);
    reg.setDefault(name + "\\CLSID", clsid);
    if (!curVer.empty())
        reg.setDefault(name + "\\CurVer", curVer);
}

void interfaceKey(Registry& reg, const IID& iid, const char* name)
{
    const std::string key = "Interface\\" + iid.toString();
    reg.deleteTree(key);
    reg.setDefault(key, name);
    reg.setDefault(key + "\\TypeLib", libid);
    reg.setValue(key + "\\TypeLib", "Version", "1.0");
}

} // namespace

HRESULT RegisterServer(Registry& reg, const std::string& modulePath)
{
    // Hosts refuse module paths that are not absolute; writing one would
    // only leave an entry that cannot serve.
    if (modulePath.empty() || modulePath.front() != '/')
        return SELFREG_E_CLASS;

    progId(reg, "Tickwell.TickwellCtl.1", "TickwellCtl Class", ctlClsid, "");
    progId(reg, "Tickwell.TickwellCtl", "TickwellCtl Class", ctlClsid, "Tickwell.TickwellCtl.1");
    const std::string ctl = "CLSID\\" + ctlClsid;
    reg.deleteTree(ctl);
    reg.setDefault(ctl, "TickwellCtl Class");
    reg.setDefault(ctl + "\\ProgID", "Tickwell.TickwellCtl.1");
    reg.setDefault(ctl + "\\VersionIndependentProgID", "Tickwell.TickwellCtl");
    reg.createKey(ctl + "\\Programmable");
    reg.createKey(ctl + "\\Control");
    reg.createKey(ctl + "\\Insertable");
    reg.setDefault(ctl + "\\InprocServer32", modulePath);
    reg.setValue(ctl + "\\InprocServer32", "ThreadingModel", "Apartment");
    reg.setDefault(ctl + "\\ToolboxBitmap32", modulePath + ", 101");
    reg.setDefault(ctl + "\\MiscStatus", "0");
    reg.setDefault(ctl + "\\MiscStatus\\1", "131473");
    reg.setDefault(ctl + "\\TypeLib", libid);
    reg.setDefault(ctl + "\\Version", "1.0");

    progId(reg, "Tickwell.KroTimerPropPage.1", "KroTimerPropPage Class", pageClsid, "");
    progId(reg, "Tickwell.KroTimerPropPage", "KroTimerPropPage Class", pageClsid, "Tickwell.KroTimerPropPage.1");
    const std::string page = "CLSID\\" + pageClsid;
    reg.deleteTree(page);
    reg.setDefault(page, "KroTimerPropPage Class");
    reg.createKey(page + "\\Programmable");
    reg.setDefault(page + "\\InprocServer32", modulePath);
    reg.setValue(page + "\\InprocServer32", "ThreadingModel", "Apartment");

    // The type library and the interfaces it describes.
    const std::string lib = "TypeLib\\" + libid + "\\1.0";
    reg.deleteTree(lib);
    reg.setDefault(lib, TypeLib.help);
    reg.setDefault(lib + "\\FLAGS", "0");
    reg.setDefault(lib + "\\0\\linux", modulePath);
    reg.setDefault(lib + "\\HELPDIR", std::filesystem::path(modulePath).parent_path().string());
    interfaceKey(reg, IID_ITickwellCtl, "ITickwellCtl");
    interfaceKey(reg, DIID_ITickwellCtlEvents, "_ITickwellCtlEvents");
    return S_OK;
}

HRESULT UnregisterServer(Registry& reg)
{
    for (const char* key :
         {"Tickwell.TickwellCtl.1", "Tickwell.TickwellCtl", "Tickwell.KroTimerPropPage.1", "Tickwell.KroTimerPropPage"})
        reg.deleteTree(key);
    reg.deleteTree("CLSID\\" + ctlClsid);
    reg.deleteTree("CLSID\\" + pageClsid);
    reg.deleteTree("TypeLib\\" + libid + "\\1.0");
    if (reg.subkeys("TypeLib\\" + libid).empty())
        reg.deleteTree("TypeLib\\" + libid);
    reg.deleteTree("Interface\\" + IID_ITickwellCtl.toString());
    reg.deleteTree("Interface\\" + DIID_ITickwellCtlEvents.toString());
    return S_OK;
}

} // namespace tickwell
