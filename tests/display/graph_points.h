#pragma once
#include "kro/display/kro_plot.h"
#include <qcustomplot.h>
#include <vector>

// The x values a plot holds, oldest first.
inline std::vector<double> keysOf(const kro::KroPlot& plot)
{
    std::vector<double> keys;
    for (auto it = plot.graph()->data()->constBegin(); it != plot.graph()->data()->constEnd(); ++it)
        keys.push_back(it->key);
    return keys;
}

inline std::vector<double> valuesOf(const kro::KroPlot& plot)
{
    std::vector<double> values;
    for (auto it = plot.graph()->data()->constBegin(); it != plot.graph()->data()->constEnd(); ++it)
        values.push_back(it->value);
    return values;
}
