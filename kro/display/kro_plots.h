#pragma once
#include "kro/display/kro_axes.h"
#include "kro/display/kro_plot.h"
#include <memory>
#include <vector>

class QCustomPlot;

namespace kro {

// The chart's plots in drawing order; Add() binds a new plot to axis 1.
class KroPlots final : public ondrel::IKroPlots {
public:
    KroPlots(ChartHost& host, QCustomPlot& plot, KroAxes& axes);

    KroPlot& Item(int32_t index) override;
    int32_t Count() const override { return static_cast<int32_t>(items_.size()); }
    KroPlot& Add() override;
    void RemoveAll() override;

    const std::vector<std::unique_ptr<KroPlot>>& all() const { return items_; }

private:
    ChartHost& host_;
    QCustomPlot& plot_;
    KroAxes& axes_;
    std::vector<std::unique_ptr<KroPlot>> items_;
};

} // namespace kro
