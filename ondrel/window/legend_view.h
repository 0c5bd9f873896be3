#pragma once
#include "ondrel/components/graph.h"
#include "ondrel/graph/plot_list.h"
#include <vector>

class QPalette;
class QTreeWidget;

namespace ondrel {

// White text on black, columns "Chan" and "Line" of `columnWidthPx` each.
void SetUpLegendColumns(QTreeWidget& list, int columnWidthPx);

// Appends one row per entry, the line picture painted in the plot's colour.
void ShowLegendRows(QTreeWidget& list, const std::vector<PlotListRow>& rows, const QPalette& palette);

} // namespace ondrel
