#pragma once
#include "kro/display/chart_host.h"
#include "ondrel/components/graph.h"
#include <functional>

class QCPAxis;

namespace kro {

class KroAxisElement final : public ondrel::IKroAxisElement {
public:
    explicit KroAxisElement(std::function<void()> changed) : changed_(std::move(changed)) {}
    void setVisible(bool visible) override;
    bool Visible() const override { return visible_; }
    void setSecondary(double value) override { secondary_ = value; }
    double Secondary() const override { return secondary_; }

private:
    std::function<void()> changed_;
    bool visible_ = true;
    double secondary_ = 0.0;
};

// One chart axis. Element 0 is the axis line with its ticks, element 1 its
// tick labels and title; the axis takes no room while both are hidden.
class KroAxis final : public ondrel::IKroAxis {
public:
    KroAxis(ChartHost& host, QCPAxis* axis, bool autoScale);

    QCPAxis* qcpAxis() const { return axis_; }

    double Maximum() const override;
    void setMaximum(double value) override;
    double Minimum() const override;
    void setMinimum(double value) override;
    std::string Title() const override { return title_; }
    void setTitle(const std::string& title) override;
    ondrel::IKroAxisElement& Element(int index) override;
    bool AutoScale() const override { return autoScale_; }
    void setAutoScale(bool on) override;
    void SetRange(double minimum, double maximum) override;

private:
    void applyElements();

    ChartHost& host_;
    QCPAxis* axis_;
    bool autoScale_;
    std::string title_;
    KroAxisElement line_;
    KroAxisElement labels_;
};

} // namespace kro
