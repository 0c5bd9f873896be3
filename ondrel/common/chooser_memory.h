#pragma once
#include <string>

namespace ondrel {

// Where the folder choosers were last left, so the next opening starts there.
struct ChooserMemory {
    std::string szDrive;
    std::string szDir;
    std::string szNewFolder; // the folder the last Save As went to
    // The export chooser's, and what it was last asked to export.
    std::string szTextSaveDrive;
    std::string szTextSaveDir;
    std::string szTextSaveFolder; // empty: cancelled
    bool bTextSaveAI = false;
    bool bTextSaveDI = false;
};

} // namespace ondrel
