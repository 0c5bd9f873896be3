#pragma once
#include <string>

namespace ondrel {

// The recording open in history mode, as a command beside replay (Convert)
// sees it, without reaching into replay's state.
class IOpenedRecording {
public:
    virtual ~IOpenedRecording() = default;

    // The "Project.onp" open for replay.
    virtual const std::string& ProjectFile() const = 0;
    virtual bool HasAI() const = 0;
    virtual bool HasDI() const = 0;
    // The AI data were read through elsewhere: replay's AI position goes back
    // to the first scan.
    virtual void RewindAI() = 0;
};

} // namespace ondrel
