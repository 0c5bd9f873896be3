#include "ondrel/acquisition/acquisition_context.h"
#include "ondrel/common/file_error.h"

namespace ondrel {

RecordingFiles& AcquisitionContext::Files() const
{
    if (files == nullptr)
        throw FileError("There is no working folder to record into", "");
    return *files;
}

} // namespace ondrel
