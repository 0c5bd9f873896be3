#include "ondrel/window/legend_view.h"
#include "kro/display/color_ref.h"
#include <QHeaderView>
#include <QPalette>
#include <QTreeWidget>

namespace ondrel {

void SetUpLegendColumns(QTreeWidget& list, int columnWidthPx)
{
    list.setColumnCount(2);
    list.setHeaderLabels({"Chan", "Line"});
    list.header()->setVisible(false);      // the strip above the list is the header
    list.setRootIsDecorated(false);
    list.setColumnWidth(0, columnWidthPx);
    list.setColumnWidth(1, columnWidthPx);
    QFont font = list.font();
    font.setPointSize(10);
    list.setFont(font);
    QPalette colors = list.palette();
    colors.setColor(QPalette::Base, Qt::black);
    colors.setColor(QPalette::Text, Qt::white);
    list.setPalette(colors);
}

void ShowLegendRows(QTreeWidget& list, const std::vector<PlotListRow>& rows, const QPalette& palette)
{
    for (const PlotListRow& row : rows) {
        auto* item = new QTreeWidgetItem(&list);
        item->setText(0, QString::fromStdString(row.name));
        if (row.linePicture) {
            item->setText(1, QString::fromStdString(*row.linePicture));
            item->setForeground(1, kro::colorFromRef(row.color, palette));
        }
    }
}

} // namespace ondrel
