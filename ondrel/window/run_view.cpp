#include "ondrel/window/run_view.h"
#include "ondrel/graph/plot_control.h"
#include "ondrel/window/command_buttons.h"
#include "ondrel/window/device_panel.h"
#include "ondrel/window/enable_frame.h"
#include "ondrel/window/signal_panel.h"
#include <QCheckBox>
#include <QPushButton>

namespace ondrel {

void RunView::EnableSetControls(bool enable)
{
    EnableFrame(device_, enable);
    EnableFrame(signal_, enable);
}

void RunView::EnableAISaveBox(bool enable) { device_.CkAISave2Disk()->setEnabled(enable); }

void RunView::EnableDISaveBox(bool enable) { device_.CkDISave2Disk()->setEnabled(enable); }

void RunView::SetStartCaption(const std::string& caption)
{
    commands_.BtnStart()->setText(QString::fromStdString(caption));
}

void RunView::EnableSaveAs(bool enable) { commands_.BtnSaveAs()->setEnabled(enable); }

void RunView::UpdatePlotListView() { plots_.UpdatePlotListView(); }

} // namespace ondrel
