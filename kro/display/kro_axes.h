#pragma once
#include "kro/display/kro_axis.h"
#include <QList>
#include <memory>
#include <vector>

class QCustomPlot;

namespace kro {

// The chart's axes: 0 the time axis (bottom), 1 the analog axis (left), 2 the
// digital axis (right); Add() puts further Y axes on the right.
class KroAxes final : public ondrel::IKroAxes {
public:
    KroAxes(ChartHost& host, QCustomPlot& plot);

    KroAxis& Item(int32_t index) override;
    int32_t Count() const override { return static_cast<int32_t>(items_.size()); }
    KroAxis& Add() override;

    KroAxis& timeAxis() const { return *items_.front(); }
    QList<QCPAxis*> valueAxes() const;
    // The axis object for a QCustomPlot axis, or nullptr.
    KroAxis* find(const QCPAxis* axis) const;

private:
    KroAxis& adopt(QCPAxis* axis, bool autoScale, bool withGrid);

    ChartHost& host_;
    QCustomPlot& plot_;
    std::vector<std::unique_ptr<KroAxis>> items_;
};

} // namespace kro
