#include "ondrel/window/graph_panel.h"
#include "ondrel/window/component_factory.h"
#include "ondrel/window/named.h"
#include <QLabel>
#include <QPushButton>

namespace ondrel {

GraphPanel::GraphPanel(IComponentFactory& factory, QWidget* parent)
    : QGroupBox("Graph", parent), led_(factory.CreateLED(this))
{
    setObjectName("FrameGraph");
    led_->widget()->setObjectName("KroLED1");
    led_->widget()->setAccessibleName("Seconds per division");
    Named(new QLabel("sec/div", this), "Label8");
    btnGraphSet_ = Named(new QPushButton("Setting...", this), "BtnGraphSet");
    btnClearGraph_ = Named(new QPushButton("Clear Graph", this), "BtnClearGraph");
}

} // namespace ondrel
