#pragma once
#include "ondrel/graph/plot_control.h"
#include <QGroupBox>

class QTreeWidget;

namespace ondrel {

// The plot legend: a header strip (" Chan", " Line"), the list of plots with
// their line pictures in the plots' colours, and a footer strip.
class LegendPanel final : public QGroupBox, public IPlotLegend {
    Q_OBJECT
public:
    explicit LegendPanel(QWidget* parent);

    QTreeWidget* ListView1() const { return list_; }

    // White text on black, columns "Chan" and "Line" of `columnWidthPx` each.
    void SetUpColumns(int columnWidthPx);
    void ShowRows(const std::vector<PlotListRow>& rows) override;

private:
    QTreeWidget* list_;
};

} // namespace ondrel
