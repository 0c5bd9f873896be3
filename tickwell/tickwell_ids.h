#pragma once
// What a host needs to create and call the Tickwell timer control late-bound,
// without linking the library: identifiers, dispatch identifiers, and the
// saved state of an empty table.
#include "kom/types.h"

#include <array>
#include <cstdint>

namespace tickwell {

inline constexpr kom::Guid LIBID_TICKWELLLib = kom::Guid::literal("{6F1BDE5E-8850-4583-A3B9-8269BBA48BA0}");
inline constexpr kom::CLSID CLSID_TickwellCtl = kom::Guid::literal("{7F7C9955-AEDA-499F-B4B3-F89A735BB414}");
inline constexpr kom::IID IID_ITickwellCtl = kom::Guid::literal("{05758A27-3C28-422A-8056-9369DDB1E9DD}");
inline constexpr kom::IID DIID_ITickwellCtlEvents = kom::Guid::literal("{79C29CBF-0D3D-416A-B2CB-46B8C7FE5CEE}");
inline constexpr kom::CLSID CLSID_KroTimerPropPage = kom::Guid::literal("{5AACA573-F54C-47E4-8722-F3DEFE2B8508}");

inline constexpr const char* ProgID_TickwellCtl = "Tickwell.TickwellCtl.1";
inline constexpr const char* ProgID_TickwellCtlIndependent = "Tickwell.TickwellCtl";

// ITickwellCtl dispatch identifiers.
enum TickwellDispId : kom::DISPID {
    DISPID_Interval = 1,  // get/put, (Key[, value])
    DISPID_Enabled = 2,   // get/put, (Key[, value])
    DISPID_Add = 3,       // method (Key, Interval, Enabled)
    DISPID_Remove = 4,    // method (Key)
    DISPID_RemoveALL = 5, // method ()
    DISPID_Count = 6,     // get ()
    DISPID_exist = 7,     // get (Key) -> 1 or 0
    DISPID_GetObject = 8, // method (by-reference int32)
};

// _ITickwellCtlEvents: TimerEvent(Key).
inline constexpr kom::DISPID DISPID_TimerEvent = 1;

// Saved state of a control with no entries: count 0, enabled count 0,
// version 0x300, extent 699 x 699 HIMETRIC.
inline constexpr std::array<uint8_t, 20> EmptyState = {0, 0, 0,    0,    0, 0, 0,    0,    0x00, 0x03,
                                                       0, 0, 0xBB, 0x02, 0, 0, 0xBB, 0x02, 0,    0};

} // namespace tickwell
