#pragma once
#include "ondrel/components/switch_button.h"
#include <QGroupBox>
#include <memory>

class QPushButton;

namespace ondrel {

class IComponentFactory;

// "Signal": the AI and DI switches with their labels, and the History button.
class SignalPanel final : public QGroupBox {
    Q_OBJECT
public:
    SignalPanel(IComponentFactory& factory, QWidget* parent);
    ~SignalPanel() override;

    IKroButton& KroButton1() const { return *aiSwitch_; }
    IKroButton& KroButton2() const { return *diSwitch_; }
    QPushButton* BtnHistory() const { return btnHistory_; }

signals:
    void aiSwitchChanged();
    void diSwitchChanged();

private:
    class Sink;

    IKroButton* aiSwitch_;
    IKroButton* diSwitch_;
    QPushButton* btnHistory_;
    std::unique_ptr<Sink> aiSink_;
    std::unique_ptr<Sink> diSink_;
};

} // namespace ondrel
