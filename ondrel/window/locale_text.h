#pragma once
#include <optional>
#include <string>

class QMimeData;

namespace ondrel {

// The decimal separator of the user's locale, as the export files write it;
// a point where the locale's is not a single plain character.
char LocaleDecimalPoint();

// The recorded project ("*.onp") a drag carries, if it carries exactly one
// local file and that file is one.
std::optional<std::string> DraggedProject(const QMimeData* data);

} // namespace ondrel
