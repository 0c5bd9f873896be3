#pragma once
#include <optional>
#include <string>

class QMimeData;

namespace ondrel {

// The recorded project ("*.onp") a drag carries, if it carries exactly one
// local file and that file is one.
std::optional<std::string> DraggedProject(const QMimeData* data);

} // namespace ondrel
