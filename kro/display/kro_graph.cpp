#include "kro/display/kro_graph.h"
#include "kro/display/accessibility.h"
#include "kro/display/chart_canvas.h"
#include "kro/display/column_graph.h"
#include "kro/display/focus_frame.h"
#include "kro/display/mouse_mode.h"
#include "kro/display/oscilloscope_style.h"
#include "kro/display/prepared_data.h"
#include "ondrel/components/component_error.h"
#include <QAccessible>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <new>
#include <qcustomplot.h>

namespace kro {
namespace {

// Error number and text the chart reports when it cannot hold more points.
constexpr int32_t kOutOfMemoryNumber = 7;
const char* const kOutOfMemoryText = "Out of memory!";

// A range to show all of `found`; a single value gets a unit-wide window.
QCPRange showing(QCPRange found, double marginFraction)
{
    if (found.size() <= 0)
        return QCPRange(found.lower - 0.5, found.upper + 0.5);
    const double margin = found.size() * marginFraction;
    return QCPRange(found.lower - margin, found.upper + margin);
}

void unite(QCPRange& total, bool& any, const QCPRange& part)
{
    if (!any)
        total = part;
    else
        total.expand(part);
    any = true;
}

int16_t buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

int32_t shiftCode(Qt::KeyboardModifiers modifiers)
{
    return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) | (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0)
           | (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

} // namespace

template <typename Call>
void KroGraph::guardMemory(Call&& call)
{
    try {
        call();
    } catch (const std::bad_alloc&) {
        reportError(kOutOfMemoryNumber, kOutOfMemoryText);
    }
}

KroGraph::KroGraph(QWidget* parent)
    : QWidget(withAccessibility(parent)), plot_(new ChartCanvas(this)), redraw_(kFramePeriod, [this] { drawFrame(); })
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(plot_);
    styleChart(*plot_);
    // The chart is one stop for the keyboard; a click on the plot focuses it.
    setFocusPolicy(Qt::StrongFocus);
    plot_->setFocusPolicy(Qt::NoFocus);
    new FocusFrame(*this);

    ChartHost& host = *this;
    axes_ = std::make_unique<KroAxes>(host, *plot_);
    plots_ = std::make_unique<KroPlots>(host, *plot_, *axes_);
    for (int32_t i = 0; i < axes_->Count(); ++i)
        watchUserRange(axes_->Item(i));
    setMouseMode(ondrel::MouseAction::None);
    cursors_ = new ChartCursors(*plot_, *axes_->timeAxis().qcpAxis(), [this] { requestRedraw(); });

    connect(plot_, &QCustomPlot::mousePress, this, [this](QMouseEvent* event) { reportMouseButton(*event); });
}

KroGraph::~KroGraph()
{
    // The plot goes first, while the axis and plot objects that point into it
    // still exist; none of them touches it when destroyed.
    delete plot_;
}

bool KroGraph::Enabled() const { return !testAttribute(Qt::WA_ForceDisabled); }

void KroGraph::setEnabled(bool enabled) { QWidget::setEnabled(enabled); }

void KroGraph::setMouseMode(ondrel::MouseAction mode)
{
    mouseMode_ = mode;
    applyMouseMode(*plot_, mode, axes_->timeAxis().qcpAxis(), axes_->valueAxes());
}

void KroGraph::setChartLength(int32_t points)
{
    if (points < 0)
        throw ondrel::ComponentError("ChartLength: the number of points cannot be negative");
    chartLength_ = points;
    for (const auto& plot : plots_->all())
        plot->trimTo(points);
    requestRedraw();
}

void KroGraph::ClearData()
{
    for (const auto& plot : plots_->all())
        plot->ClearPlotData();
}

void KroGraph::PlotXY(float x, std::span<const float> y)
{
    guardMemory([&] {
        const size_t count = std::min(y.size(), static_cast<size_t>(plots_->Count()));
        for (size_t i = 0; i < count; ++i)
            plots_->all()[i]->AddXY(static_cast<double>(x), static_cast<double>(y[i]));
    });
}

void KroGraph::PlotData(std::span<const float> samples, ondrel::PreparedData& prepared, int32_t chanCount, double scans)
{
    guardMemory([&] { prepareScans(samples, chanCount, scans, chartLength_, prepared); });
}

void KroGraph::PlotData(std::span<const int32_t> samples, ondrel::PreparedData& prepared, int32_t chanCount,
                        double scans)
{
    guardMemory([&] { prepareScans(samples, chanCount, scans, chartLength_, prepared); });
}

void KroGraph::SetXStep(const ondrel::PreparedData& prepared, double xStep)
{
    checkPrepared(prepared);
    if (!std::isfinite(xStep))
        throw ondrel::ComponentError("SetXStep: invalid x step");
    if (prepared.scans == 0)
        return;
    const int32_t plots = std::min(prepared.chanCount, plots_->Count());
    const auto kept = static_cast<int>(prepared.keptScans);
    guardMemory([&] {
        for (int32_t c = 0; c < plots; ++c) {
            KroPlot& plot = *plots_->all()[static_cast<size_t>(c)];
            // Scans dropped from the head of the buffer still take their x.
            const double x0 = plot.nextX(xStep);
            const float* values = prepared.values.data() + static_cast<size_t>(c) * kept;
            QVector<QCPGraphData> points;
            points.reserve(kept);
            for (int s = 0; s < kept; ++s)
                points.append(QCPGraphData(x0 + static_cast<double>(prepared.firstScan + s) * xStep, values[s]));
            if (xStep < 0)
                std::reverse(points.begin(), points.end());
            plot.appendSorted(std::move(points), x0 + static_cast<double>(prepared.scans - 1) * xStep);
        }
    });
}

void KroGraph::requestRedraw()
{
    if (!drawingFrame_)
        redraw_.request();
}

void KroGraph::setAxisRange(QCPAxis* axis, double lower, double upper)
{
    if (axis->range() == QCPRange(lower, upper))
        return;
    ++programmaticRange_;
    axis->setRange(lower, upper);
    --programmaticRange_;
    requestRedraw();
}

void KroGraph::settleAutoScale()
{
    KroAxis& time = axes_->timeAxis();
    if (time.AutoScale()) {
        QCPRange keys;
        bool any = false;
        for (const auto& plot : plots_->all()) {
            bool found = false;
            const QCPRange part = plot->graph()->getKeyRange(found);
            if (found && plot->Visible())
                unite(keys, any, part);
        }
        if (any) {
            const QCPRange range = showing(keys, 0.0);
            setAxisRange(time.qcpAxis(), range.lower, range.upper);
        }
    }
    // Y axes fit what is shown across the current time window.
    const QCPRange window = time.qcpAxis()->range();
    for (int32_t i = 1; i < axes_->Count(); ++i) {
        KroAxis& axis = axes_->Item(i);
        if (!axis.AutoScale())
            continue;
        QCPRange values;
        bool any = false;
        for (const auto& plot : plots_->all()) {
            if (&plot->yAxis() != &axis || !plot->Visible())
                continue;
            bool found = false;
            const auto* columns = qobject_cast<const ColumnGraph*>(plot->graph());
            const QCPRange part = columns != nullptr ? columns->shownValueRange(found, window)
                                                     : plot->graph()->getValueRange(found, QCP::sdBoth, window);
            if (found)
                unite(values, any, part);
        }
        if (any) {
            const QCPRange range = showing(values, 0.05);
            setAxisRange(axis.qcpAxis(), range.lower, range.upper);
        }
    }
}

void KroGraph::pointsAppended(double newestX)
{
    KroAxis& time = axes_->timeAxis();
    if (chartLength_ > 0 && !time.AutoScale()) {
        // Strip chart: the newest point stays in view, same span. A point
        // before the window (a replay that jumped back) brings the window
        // back too, or the trace would vanish until it caught up.
        const QCPRange range = time.qcpAxis()->range();
        if (newestX > range.upper || newestX < range.lower)
            setAxisRange(time.qcpAxis(), newestX - range.size(), newestX);
    }
    requestRedraw();
}

void KroGraph::axisAdded(KroAxis& axis)
{
    watchUserRange(axis);
    setMouseMode(mouseMode_);
}

void KroGraph::drawFrame()
{
    // Fitting the axes belongs to this frame and must not order another one.
    drawingFrame_ = true;
    settleAutoScale();
    drawingFrame_ = false;
    if (cursors_->shown() && cursorReadout_)
        cursors_->setText(cursorReadout_());
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void KroGraph::watchUserRange(KroAxis& axis)
{
    QCPAxis* target = axis.qcpAxis();
    connect(target, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, [this, target] {
        if (programmaticRange_ == 0)
            userMovedRange(target);
    });
}

void KroGraph::userMovedRange(const QCPAxis* axis)
{
    // An axis the user zooms or pans keeps the range the user gave it.
    if (KroAxis* moved = axes_->find(axis))
        moved->setAutoScale(false);
    if (rangeReportQueued_)
        return;
    rangeReportQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        rangeReportQueued_ = false;
        reportRangeChanged();
    });
}

void KroGraph::reportRangeChanged()
{
    if (sink_ == nullptr)
        return;
    const QCPRange x = axes_->timeAxis().qcpAxis()->range();
    const QCPRange y = axes_->Item(1).qcpAxis()->range();
    sink_->RangeChanged(x.lower, x.upper, y.lower, y.upper);
}

void KroGraph::reportMouseButton(const QMouseEvent& event)
{
    int16_t button = buttonCode(event.button());
    if (sink_ == nullptr || button == 0)
        return;
    float x = static_cast<float>(event.position().x());
    float y = static_cast<float>(event.position().y());
    sink_->MouseButton(button, shiftCode(event.modifiers()), x, y);
}

void KroGraph::requestMenu(int32_t shift)
{
    if (sink_ == nullptr || !isEnabled())
        return;
    QRectF area = plot_->axisRect()->rect();
    if (area.isEmpty())
        area = plot_->rect();
    int16_t button = buttonCode(Qt::RightButton);
    float x = static_cast<float>(area.center().x());
    float y = static_cast<float>(area.center().y());
    sink_->MouseButton(button, shift, x, y);
}

QString KroGraph::plotSummary() const
{
    QStringList names;
    for (const auto& plot : plots_->all()) {
        QString name = QString::fromStdString(plot->Name());
        if (!plot->Visible())
            name += QStringLiteral(" (hidden)");
        names << name;
    }
    if (names.isEmpty())
        return QStringLiteral("No plots");
    return QStringLiteral("Plots: ") + names.join(QStringLiteral(", "));
}

// The menu key, and Shift+F10 as on other desktops, open the pop-up menu. The
// Shift that makes Shift+F10 is part of the key, not a shift state.
void KroGraph::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers held = event->modifiers();
    const bool arrow = event->key() == Qt::Key_Left || event->key() == Qt::Key_Right;
    if (arrow && cursors_->shown()) {
        cursors_->nudge(held.testFlag(Qt::ControlModifier) ? 1 : 0, event->key() == Qt::Key_Left ? -1 : 1);
    } else if (event->key() == Qt::Key_Menu) {
        requestMenu(shiftCode(held));
    } else if (event->key() == Qt::Key_F10 && held.testFlag(Qt::ShiftModifier)) {
        requestMenu(shiftCode(held & ~Qt::KeyboardModifiers(Qt::ShiftModifier)));
    } else {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

std::optional<double> KroGraph::valueAt(int32_t plot, double x) const
{
    if (plot < 0 || plot >= plots_->Count())
        return std::nullopt;
    const auto data = plots_->all()[static_cast<size_t>(plot)]->graph()->data();
    auto after = data->findBegin(x, false);
    if (after == data->constEnd() || (after == data->constBegin() && after->key > x))
        return std::nullopt;
    if (after->key == x || after == data->constBegin())
        return after->value;
    const auto before = after - 1;
    const double fraction = (x - before->key) / (after->key - before->key);
    return before->value + fraction * (after->value - before->value);
}

std::optional<double> KroGraph::heldValueAt(int32_t plot, double x) const
{
    if (plot < 0 || plot >= plots_->Count())
        return std::nullopt;
    const auto data = plots_->all()[static_cast<size_t>(plot)]->graph()->data();
    if (data->isEmpty() || x < data->constBegin()->key || x > (data->constEnd() - 1)->key)
        return std::nullopt;
    return (data->findEnd(x, false) - 1)->value;
}

int32_t KroGraph::plotAxis(int32_t plot) const
{
    if (plot < 0 || plot >= plots_->Count())
        return -1;
    const KroAxis& axis = plots_->all()[static_cast<size_t>(plot)]->yAxis();
    for (int32_t i = 0; i < axes_->Count(); ++i)
        if (&axes_->Item(i) == &axis)
            return i;
    return -1;
}

bool KroGraph::savePicture(const QString& path)
{
    if (path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        return plot_->savePdf(path);
    return plot_->savePng(path);
}

// Platforms that turn the menu key into a context-menu event deliver the key
// press too, and the key press raises the event; a keyboard context-menu event
// is only taken in, so one key opens one menu. The mouse's go on as before.
void KroGraph::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->reason() == QContextMenuEvent::Keyboard) {
        event->accept();
        return;
    }
    QWidget::contextMenuEvent(event);
}

// Coalesced, so that a plot set-up of many plots tells a screen reader once.
void KroGraph::plotsChanged()
{
    if (plotsReportQueued_)
        return;
    plotsReportQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        plotsReportQueued_ = false;
        QAccessibleEvent event(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
    });
}

void KroGraph::reportError(int32_t number, const std::string& message)
{
    if (sink_ != nullptr)
        sink_->GraphError(number, message);
}

} // namespace kro
