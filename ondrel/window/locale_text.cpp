#include "ondrel/window/locale_text.h"
#include <QMimeData>
#include <QUrl>

namespace ondrel {

std::optional<std::string> DraggedProject(const QMimeData* data)
{
    if (data == nullptr || data->urls().size() != 1 || !data->urls().front().isLocalFile())
        return std::nullopt;
    // The path's own bytes: a file name need not be UTF-8, and toLocalFile()
    // would turn such bytes into U+FFFD and name a file that is not there.
    const QByteArray path = QByteArray::fromPercentEncoding(data->urls().front().path(QUrl::FullyEncoded).toLatin1());
    if (!path.toLower().endsWith(".onp"))
        return std::nullopt;
    return path.toStdString();
}

} // namespace ondrel
