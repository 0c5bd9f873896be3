#include "ondrel/window/overview_window.h"
#include "kro/display/color_ref.h"
#include "ondrel/history/replay_control.h"
#include "ondrel/window/overview_canvas.h"
#include <QAccessible>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

namespace ondrel {

namespace {

constexpr int kFollowMs = 100; // the position line and the build's progress
constexpr int kWidth = 900;
constexpr int kHeight = 420;
constexpr int kNarrowest = 480; // narrower, it had better go below or over the window

ScreenRect RectOf(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

} // namespace

OverviewWindow::OverviewWindow(const OverviewParts& parts, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window), p_(parts), mainWindow_(mainWindow)
{
    setObjectName("frmOverview");
    setWindowTitle("Overview");
    setAccessibleName("Overview");
    setAttribute(Qt::WA_QuitOnClose, false); // the program ends with its main window
    auto* layout = new QVBoxLayout(this);
    status_ = new QLabel(this);
    status_->setObjectName("lblOverviewStatus");
    status_->setAccessibleName("Overview status");
    status_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    status_->setWordWrap(true); // a long status must not widen the window past the screen
    canvas_ = new OverviewCanvas(this);
    keys_ = new QLabel("Click or Enter: move replay there. Wheel or +/-: zoom. Drag or PageUp/PageDown: pan. "
                       "Shift+drag or Shift+arrows then +: zoom to a range. Home: everything. Escape: close.",
                       this);
    keys_->setObjectName("lblOverviewKeys");
    keys_->setWordWrap(true);
    layout->addWidget(status_);
    layout->addWidget(canvas_, 1);
    layout->addWidget(keys_);
    setFocusProxy(canvas_);
    follow_ = new QTimer(this);
    follow_->setInterval(kFollowMs);
    connect(follow_, &QTimer::timeout, this, [this] { Follow(); });
    connect(canvas_, &OverviewCanvas::jumpRequested, this, [this](int64_t scan) {
        p_.replay.JumpToScan(scan);
        canvas_->setPosition(p_.replay.PositionScan());
        Announce();
    });
    connect(canvas_, &OverviewCanvas::viewChanged, this, [this] { Announce(); });
}

OverviewWindow::~OverviewWindow() = default; // the build stops before the summary it fills goes

void OverviewWindow::Open()
{
    if (!p_.chart.bHistoryMode)
        return;
    if (openings_ != p_.replay.Openings() || !summary_) {
        Load();
    } else {
        try {
            TakeStyle();
        } catch (const std::exception& error) {
            failure_ = QString::fromLocal8Bit(error.what()); // the data files went away
            Announce();
        }
    }
    if (!isVisible()) {
        resize(kWidth, kHeight);
        const QScreen* screen = mainWindow_->screen() ? mainWindow_->screen() : QGuiApplication::primaryScreen();
        const ScreenRect placed = PlaceBeside(RectOf(mainWindow_->frameGeometry()), kWidth, kHeight,
                                              RectOf(screen->availableGeometry()), kNarrowest);
        setGeometry(placed.x, placed.y, placed.width, placed.height);
    }
    show();
    raise();
    activateWindow();
    canvas_->setFocus();
    follow_->start();
}

// The recording now open: its summary from the cache, else built afresh.
void OverviewWindow::Load()
{
    build_.reset();
    columns_.reset();
    summary_.reset();
    canvas_->setSource(nullptr, nullptr, 0, 1.0);
    openings_ = p_.replay.Openings();
    fromCache_ = false;
    shownDone_ = -1;
    failure_.clear();
    try {
        const bool ai = p_.chart.bHisAI, di = p_.chart.bHisDI;
        std::unique_ptr<RecordingReader> reader = p_.replay.ReaderFor(ai, di);
        const SummaryKey key = KeyOf(*reader);
        summary_ = LoadCachedSummary(p_.cacheFolder, key);
        fromCache_ = summary_ != nullptr;
        if (!summary_) {
            summary_ = std::make_shared<OverviewSummary>(ShapeOf(*reader));
            build_ = std::make_unique<SummaryBuild>(
                std::move(reader), summary_,
                [folder = p_.cacheFolder, key](const OverviewSummary& built) { StoreSummary(folder, key, built); });
        }
        columns_ = std::make_unique<OverviewColumns>(summary_, p_.replay.ReaderFor(ai, di));
        const SummaryShape& shape = summary_->Shape();
        const int64_t scans =
            ai && di ? std::min(shape.aiScans, shape.diScans) : std::max(shape.aiScans, shape.diScans);
        canvas_->setPosition(p_.replay.PositionScan());
        canvas_->setSource(columns_.get(), summary_.get(), scans, p_.chart.dHisScanInterval);
        TakeStyle();
    } catch (const std::exception& error) {
        failure_ = QString::fromLocal8Bit(error.what());
        build_.reset();
        columns_.reset();
        summary_.reset();
        canvas_->setSource(nullptr, nullptr, 0, 1.0);
    }
    Announce();
}

// The chart's colours, which the graph settings may have changed since.
void OverviewWindow::TakeStyle()
{
    IKroPlots& plots = p_.graph.Plots();
    auto colorOf = [&](int32_t plot) {
        return plot < plots.Count() ? kro::colorFromRef(plots.Item(plot).Color(), palette()) : QColor(Qt::green);
    };
    auto nameOf = [&](int32_t plot, size_t port, int line) {
        return plot < plots.Count() ? QString::fromStdString(plots.Item(plot).Name())
                                    : QString("%1:%2").arg(port).arg(line);
    };
    std::vector<QColor> ai;
    if (p_.chart.bHisAI)
        for (int32_t i = 0; i < p_.chart.nHisAIChanCount; ++i)
            ai.push_back(colorOf(i));
    std::vector<OverviewLine> lines;
    if (p_.chart.bHisDI && summary_) {
        // The chart's DI plots: ports in order, lines in bit order, the masked ones.
        const std::unique_ptr<RecordingReader> reader = p_.replay.ReaderFor(false, true);
        const RecordingInfo& info = reader->Info();
        int32_t plot = p_.chart.bHisAI ? p_.chart.nHisAIChanCount : 0;
        for (int32_t b = 0; b < info.diPortCount; ++b) {
            const auto port = static_cast<size_t>(info.diPortStart) + static_cast<size_t>(b);
            const uint8_t mask = port < info.diPortMasks.size() ? info.diPortMasks[port] : 0;
            for (int k = 0; k < 8; ++k)
                if ((mask & (1u << k)) != 0) {
                    lines.push_back({b, k, colorOf(plot), nameOf(plot, port, k)});
                    ++plot;
                }
        }
    }
    canvas_->setStyle(std::move(ai), std::move(lines));
}

// Escape closes the window, once the canvas has no selection to drop.
void OverviewWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

// Closed: nothing to follow until shown again (the summary's build goes on,
// for the cache).
void OverviewWindow::hideEvent(QHideEvent* event)
{
    follow_->stop();
    QWidget::hideEvent(event);
}

void OverviewWindow::Follow()
{
    if (!p_.chart.bHistoryMode) {
        follow_->stop();
        build_.reset();
        close();
        return;
    }
    if (openings_ != p_.replay.Openings()) {
        Load();
        return;
    }
    canvas_->setPosition(p_.replay.PositionScan());
    if (summary_) {
        const int64_t done = summary_->AIDone() + summary_->DIDone() + (summary_->Finished() ? 1 : 0);
        if (done != shownDone_) {
            shownDone_ = done;
            canvas_->refresh();
            Announce();
        }
    }
}

void OverviewWindow::Announce()
{
    QString text;
    if (!failure_.isEmpty())
        text = "The overview cannot be shown: " + failure_;
    else if (summary_) {
        text = QString::fromStdString(DescribeOverview(canvas_->span(), static_cast<double>(p_.replay.PositionScan()),
                                                       p_.chart.dHisScanInterval));
        text += QString(", zoom %1x").arg(canvas_->span().Zoom(), 0, 'g', 4);
        const ValueSpan values = canvas_->shownValues();
        if (!values.Empty())
            text += QString(", values %1 to %2").arg(values.min, 0, 'g', 4).arg(values.max, 0, 'g', 4);
        // Where Enter would move replay to.
        const double step = std::max(canvas_->span().Length() * p_.chart.dHisScanInterval / 1000.0, 1e-9);
        text += ", cursor " + QString::fromStdString(SecondsText(canvas_->cursor() * p_.chart.dHisScanInterval, step));
        if (build_ && build_->Running())
            text += QString(". Summing up the recording: %1 %").arg(static_cast<int>(build_->Fraction() * 100.0));
        else if (build_ && build_->Failure())
            text += ". The summary stopped short: " + QString::fromLocal8Bit(build_->Failure()->c_str());
        if (!canvas_->failure().isEmpty())
            text += ". " + canvas_->failure();
    }
    if (text == status_->text())
        return;
    status_->setText(text);
    canvas_->setAccessibleDescription(text);
    QAccessibleEvent event(canvas_, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

} // namespace ondrel
