#pragma once
// TICKWELLLib: names, identifiers and help strings of the library's classes
// and interfaces.
#include "kom/dispatch.h"

namespace tickwell {

extern const kom::TypeLibInfo TypeLib;
extern const kom::InterfaceInfo ITickwellCtlInfo;
extern const kom::InterfaceInfo ITickwellCtlEventsInfo;
extern const kom::CoClassInfo TickwellCtlClass;
extern const kom::CoClassInfo KroTimerPropPageClass;

// Resource strings.
inline constexpr const char* ProjectName = "Tickwell";                  // 100
inline constexpr const char16_t* PageTitle = u"KroTimer Property Page"; // 103
inline constexpr const char16_t* PageHelpFile = u"Help File Name";      // 104
inline constexpr const char16_t* PageDocString = u"Your Help String";   // 105

} // namespace tickwell
