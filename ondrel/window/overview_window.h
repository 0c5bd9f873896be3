#pragma once
#include "ondrel/components/graph.h"
#include "ondrel/graph/replay_chart.h"
#include "ondrel/overview/overview_columns.h"
#include "ondrel/overview/summary_build.h"
#include "ondrel/overview/summary_cache.h"
#include <QWidget>
#include <memory>

class QLabel;
class QTimer;

namespace ondrel {

class OverviewCanvas;
class ReplayControl;

// What the overview is shown beside, all owned by the main window.
struct OverviewParts {
    ReplayControl& replay;    // the recording open, its position, the jump
    const ReplayChart& chart; // history mode, channel counts, scan interval
    IKroGraph& graph;         // the plots' colours
    std::string cacheFolder;  // where summaries are kept
};

// "Overview": the recording open in history mode over its whole length, in a
// window of its own beside the main window. Its summary is read from the
// cache or built on a worker while what is built so far is shown; it follows
// the replay position, and a click or Enter moves replay there. Escape closes
// it, as does the end of history mode; it starts over when another recording
// opens.
class OverviewWindow final : public QWidget {
    Q_OBJECT
public:
    OverviewWindow(const OverviewParts& parts, QWidget* mainWindow);
    ~OverviewWindow() override;

    // Shows the window beside the main window with the recording now open.
    void Open();

    OverviewCanvas& canvas() { return *canvas_; }
    // The summary shown, and whether it came from the cache.
    const OverviewSummary* summary() const { return summary_.get(); }
    bool fromCache() const { return fromCache_; }
    bool building() const { return build_ && build_->Running(); }

protected:
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Load();
    void Follow();
    void Announce();
    void TakeStyle();

    OverviewParts p_;
    QWidget* mainWindow_;
    QLabel* status_;
    QLabel* keys_;
    OverviewCanvas* canvas_;
    QTimer* follow_;

    std::shared_ptr<OverviewSummary> summary_;
    std::unique_ptr<OverviewColumns> columns_;
    std::unique_ptr<SummaryBuild> build_;
    uint64_t openings_ = 0;
    bool fromCache_ = false;
    int64_t shownDone_ = -1;
    QString failure_;
};

} // namespace ondrel
