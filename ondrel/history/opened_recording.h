#pragma once
#include "ondrel/history/recording_reader.h"
#include <memory>
#include <string>

namespace ondrel {

// The recording open in history mode, as a command beside replay (Convert)
// sees it, without reaching into replay's state.
class IOpenedRecording {
public:
    virtual ~IOpenedRecording() = default;

    // A reader of the recording as it was opened: its description as read
    // then, and the data files replay holds open, whatever happened to its
    // folder since. Throws as RecordingReader does.
    virtual std::unique_ptr<RecordingReader> ReaderFor(bool ai, bool di) const = 0;
    virtual bool HasAI() const = 0;
    virtual bool HasDI() const = 0;
    // The AI data were read through elsewhere: replay's AI position goes back
    // to the first scan.
    virtual void RewindAI() = 0;
};

} // namespace ondrel
