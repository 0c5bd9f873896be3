#pragma once
#include "ondrel/components/led_readout.h"
#include <QGroupBox>

class QPushButton;

namespace ondrel {

class IComponentFactory;

// "Graph": the seconds-per-division read-out, the graph settings and Clear Graph.
class GraphPanel final : public QGroupBox {
    Q_OBJECT
public:
    GraphPanel(IComponentFactory& factory, QWidget* parent);

    IKroLED& KroLED1() const { return *led_; }
    QPushButton* BtnGraphSet() const { return btnGraphSet_; }
    QPushButton* BtnClearGraph() const { return btnClearGraph_; }

private:
    IKroLED* led_;
    QPushButton* btnGraphSet_;
    QPushButton* btnClearGraph_;
};

} // namespace ondrel
