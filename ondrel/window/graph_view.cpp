#include "ondrel/window/graph_view.h"
#include "kro/display/kro_graph.h"
#include "ondrel/graph/chart_error.h"
#include "ondrel/graph/cursor_readout.h"
#include "ondrel/graph/plot_setup.h"
#include "ondrel/window/dialogs/frm_graph_set.h"
#include "ondrel/window/graph_panel.h"
#include "ondrel/window/named.h"
#include <QActionGroup>
#include <QMenu>
#include <QPushButton>
#include <exception>

namespace ondrel {

namespace {

struct MouseModeItem {
    const char* name;
    const char* caption;
    MouseAction mode;
};

constexpr MouseModeItem kMouseModes[] = {
    {"None", "None", MouseAction::None},    {"xz", "XZoom", MouseAction::ZoomX}, {"yz", "YZoom", MouseAction::ZoomY},
    {"xyz", "XYZoom", MouseAction::ZoomXY}, {"xp", "XPan", MouseAction::PanX},   {"yp", "YPan", MouseAction::PanY},
    {"xyp", "XYPan", MouseAction::PanXY},
};

constexpr int16_t kRightButton = 2;

} // namespace

GraphView::GraphView(const GraphViewParts& parts, QWidget* owner)
    : QObject(owner), p_(parts), timeBase_(parts.timeBase), owner_(owner),
      chart_(dynamic_cast<kro::KroGraph*>(&parts.timeBase.graph))
{
    BuildMenu();
    AddOverviewItem();
    p_.timeBase.led.setEvents(&timeBase_);
    p_.timeBase.graph.setEvents(this);
    if (chart_ != nullptr)
        chart_->setCursorReadout([this] { return CursorText(); });
    connect(p_.panel.BtnGraphSet(), &QPushButton::clicked, this, [this] { BtnGraphSet_Click(); });
    connect(p_.panel.BtnClearGraph(), &QPushButton::clicked, this, [this] { BtnClearGraph_Click(); });
}

GraphView::~GraphView()
{
    p_.timeBase.led.setEvents(nullptr);
    p_.timeBase.graph.setEvents(nullptr);
    if (chart_ != nullptr)
        chart_->setCursorReadout({});
}

void GraphView::BuildMenu()
{
    menu_ = Named(new QMenu("Popup Menu", owner_), "Menufile");
    Named(menu_->addAction("MouseMode"), "commet")->setEnabled(false);
    Named(menu_->addSeparator(), "delimiter");
    auto* modes = new QActionGroup(menu_);
    for (const MouseModeItem& item : kMouseModes) {
        QAction* action = Named(menu_->addAction(item.caption), item.name);
        action->setCheckable(true);
        action->setActionGroup(modes);
        connect(action, &QAction::triggered, this, [this, mode = item.mode] { p_.timeBase.graph.setMouseMode(mode); });
    }
    connect(menu_, &QMenu::aboutToShow, this, [this, modes] {
        for (QAction* action : modes->actions())
            for (const MouseModeItem& item : kMouseModes)
                if (action->objectName() == item.name)
                    action->setChecked(item.mode == p_.timeBase.graph.MouseMode());
    });
    if (chart_ == nullptr)
        return;
    menu_->addSeparator();
    cursorsAction_ = Named(menu_->addAction("Cursors"), "mnuCursors");
    cursorsAction_->setCheckable(true);
    connect(cursorsAction_, &QAction::triggered, this, [this](bool on) { ShowCursors(on); });
    connect(Named(menu_->addAction("Save Picture..."), "mnuSavePicture"), &QAction::triggered, this,
            [this] { SavePicture(); });
}

// Only a recording has an overview: the item is enabled in history mode.
void GraphView::AddOverviewItem()
{
    menu_->addSeparator();
    overviewAction_ = Named(menu_->addAction("Overview..."), "mnuOverview");
    connect(menu_, &QMenu::aboutToShow, this, [this] { overviewAction_->setEnabled(p_.replay.bHistoryMode); });
    connect(overviewAction_, &QAction::triggered, this, [this] {
        if (p_.replay.bHistoryMode && p_.overview)
            p_.overview();
    });
}

void GraphView::GraphError(int32_t, const std::string& message) { KroGraph1_Error(p_.timeBase.prompts, message); }

void GraphView::RangeChanged(double, double, double, double) { timeBase_.KroGraph1_RangeChanged(); }

void GraphView::MouseButton(int16_t& button, int32_t, float& x, float& y)
{
    if (button != kRightButton)
        return;
    QWidget* chart = p_.timeBase.graph.widget();
    menu_->popup(chart->mapToGlobal(QPointF(x, y).toPoint()));
}

void GraphView::BtnClearGraph_Click()
{
    try {
        p_.timeBase.graph.ClearData();
    } catch (const std::exception& error) {
        p_.timeBase.prompts.MsgBox(error.what(), "BtnClearGraph");
    }
}

// The dialog edits the tables; the plots are configured again from them
// whether it was confirmed or not.
void GraphView::BtnGraphSet_Click()
{
    {
        const GraphSettingsParts parts{
            p_.timeBase.graph,   timeBase_,   p_.setup, p_.replay, p_.plots.CurrentScanLayout(),
            p_.timeBase.prompts, p_.running()};
        FrmGraphSet dialog(parts, owner_);
        dialog.exec();
    }
    try {
        p_.plots.SetupPlots(p_.replay.bHistoryMode, false);
    } catch (const std::exception& error) {
        p_.timeBase.prompts.MsgBox(error.what(), "BtnGraphSet");
    }
}

void GraphView::ShowCursors(bool shown)
{
    if (chart_ == nullptr)
        return;
    cursorsAction_->setChecked(shown);
    chart_->cursors().setShown(shown);
}

void GraphView::SavePicture()
{
    if (chart_ == nullptr)
        return;
    const auto path = p_.timeBase.prompts.ChoosePictureFile();
    if (path && !chart_->savePicture(QString::fromStdString(*path)))
        p_.timeBase.prompts.MsgBox("Cannot write the picture " + *path, "Save Picture");
}

QString GraphView::CursorText() const
{
    const kro::ChartCursors& cursors = chart_->cursors();
    std::vector<CursorTrace> traces;
    IKroPlots& plots = p_.timeBase.graph.Plots();
    for (int32_t i = 0; i < plots.Count(); ++i) {
        IKroPlot& plot = plots.Item(i);
        if (!plot.Visible())
            continue;
        // A digital line holds its level between samples: never a fraction.
        const bool digital = chart_->plotAxis(i) == kDIAxis;
        auto at = [&](double x) { return digital ? chart_->heldValueAt(i, x) : chart_->valueAt(i, x); };
        traces.push_back({plot.Name(), at(cursors.x(0)), at(cursors.x(1)), digital});
    }
    return QString::fromStdString(CursorReadout(cursors.x(0), cursors.x(1), traces));
}

} // namespace ondrel
