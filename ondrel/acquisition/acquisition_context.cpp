#include "ondrel/acquisition/acquisition_context.h"
#include "ondrel/components/component_error.h"
#include "ondrel/session/file_error.h"

namespace ondrel {

RecordingFiles& AcquisitionContext::Files() const
{
    if (files == nullptr)
        throw FileError("There is no working folder to record into", "");
    return *files;
}

ITimerControl& AcquisitionContext::Timer() const
{
    if (timer == nullptr)
        throw ComponentError("The timer control is not available");
    return *timer;
}

} // namespace ondrel
