#include "ondrel/window/locale_text.h"
#include <QMimeData>
#include <QUrl>

namespace ondrel {

std::optional<std::string> DraggedProject(const QMimeData* data)
{
    if (data == nullptr || data->urls().size() != 1 || !data->urls().front().isLocalFile())
        return std::nullopt;
    const QString path = data->urls().front().toLocalFile();
    if (!path.endsWith(".onp", Qt::CaseInsensitive))
        return std::nullopt;
    return path.toStdString();
}

} // namespace ondrel
