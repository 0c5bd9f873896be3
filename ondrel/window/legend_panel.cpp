#include "ondrel/window/legend_panel.h"
#include "kro/display/color_ref.h"
#include "ondrel/window/named.h"
#include <QHeaderView>
#include <QLabel>
#include <QPalette>
#include <QTreeWidget>

namespace ondrel {

LegendPanel::LegendPanel(QWidget* parent) : QGroupBox("", parent)
{
    setObjectName("FrameListView");
    auto* header = Named(new QWidget(this), "Picture1");
    Named(new QLabel(" Chan", header), "Label4");
    Named(new QLabel(" Line", header), "Label5");
    list_ = Named(new QTreeWidget(this), "ListView1");
    auto* footer = Named(new QWidget(this), "Picture4");
    Named(new QLabel("Plots Line Style", footer), "Label3");
}

void LegendPanel::SetUpColumns(int columnWidthPx)
{
    list_->setColumnCount(2);
    list_->setHeaderLabels({"Chan", "Line"});
    list_->header()->setVisible(false); // the strip above the list is the header
    list_->setRootIsDecorated(false);
    list_->setColumnWidth(0, columnWidthPx);
    list_->setColumnWidth(1, columnWidthPx);
    QFont font = list_->font();
    font.setPointSize(10);
    list_->setFont(font);
    QPalette colors = list_->palette();
    colors.setColor(QPalette::Base, Qt::black);
    colors.setColor(QPalette::Text, Qt::white);
    list_->setPalette(colors);
}

void LegendPanel::ShowRows(const std::vector<PlotListRow>& rows)
{
    list_->clear();
    for (const PlotListRow& row : rows) {
        auto* item = new QTreeWidgetItem(list_);
        item->setText(0, QString::fromStdString(row.name));
        if (row.linePicture) {
            item->setText(1, QString::fromStdString(*row.linePicture));
            item->setForeground(1, kro::colorFromRef(row.color, palette()));
        }
    }
}

} // namespace ondrel
