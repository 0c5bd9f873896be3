#include "ondrel/window/locale_text.h"
#include <QLocale>
#include <QMimeData>
#include <QUrl>

namespace ondrel {

char LocaleDecimalPoint()
{
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 && point.at(0).unicode() < 0x80 ? point.at(0).toLatin1() : '.';
}

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
