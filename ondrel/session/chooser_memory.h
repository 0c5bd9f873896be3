#pragma once
#include <string>

namespace ondrel {

// Where the folder choosers were last left, so the next opening starts there.
struct ChooserMemory {
    std::string szDrive;
    std::string szDir;
    std::string szNewFolder;   // the folder the last Save As went to
};

} // namespace ondrel
