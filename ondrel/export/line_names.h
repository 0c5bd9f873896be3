#pragma once
#include "ondrel/export/text_file_writer.h"
#include "ondrel/history/recording_reader.h"

namespace ondrel {

// The DI lines a text export shows, in port and bit order: those the
// description's masks show, each written after `separator` as "port:bit".
void AppendLineNames(TextFileWriter& out, const RecordingInfo& recording, char separator);

} // namespace ondrel
