#include "ondrel/export/line_names.h"
#include "ondrel/common/table_at.h"
#include "ondrel/export/number_text.h"

namespace ondrel {

void AppendLineNames(TextFileWriter& out, const RecordingInfo& recording, char separator)
{
    for (int32_t b = 0; b < recording.diPortCount; ++b) {
        const int32_t port = recording.diPortStart + b;
        const uint8_t mask = TableAt(recording.diPortMasks, port);
        for (int32_t bit = 0; bit < 8; ++bit)
            if (mask & (1u << bit)) {
                char* at = out.Reserve(2 * kMaxNumberText + 2);
                *at++ = separator;
                at = AppendInt32(at, port);
                *at++ = ':';
                out.Commit(AppendInt32(at, bit));
            }
    }
}

} // namespace ondrel
