#include "ondrel/window/signal_panel.h"
#include "ondrel/window/component_factory.h"
#include "ondrel/window/named.h"
#include <QLabel>
#include <QPushButton>
#include <functional>

namespace ondrel {

// Forwards a switch's flips as the panel's signal.
class SignalPanel::Sink final : public IKroButtonEvents {
public:
    explicit Sink(std::function<void()> changed) : changed_(std::move(changed)) {}
    void SwitchChanged(bool) override { changed_(); }

private:
    std::function<void()> changed_;
};

SignalPanel::SignalPanel(IComponentFactory& factory, QWidget* parent)
    : QGroupBox("Signal", parent), aiSwitch_(factory.CreateButton(this)), diSwitch_(factory.CreateButton(this)),
      btnHistory_(nullptr), aiSink_(std::make_unique<Sink>([this] { emit aiSwitchChanged(); })),
      diSink_(std::make_unique<Sink>([this] { emit diSwitchChanged(); }))
{
    setObjectName("FrameCmd");
    aiSwitch_->widget()->setObjectName("KroButton1");
    diSwitch_->widget()->setObjectName("KroButton2");
    aiSwitch_->widget()->setAccessibleName("AI");
    diSwitch_->widget()->setAccessibleName("DI");
    Named(new QLabel("On", this), "Label7");
    Named(new QLabel("Off", this), "Label9");
    Named(new QLabel("AI", this), "Label18");
    Named(new QLabel("DI", this), "Label17");
    btnHistory_ = Named(new QPushButton("&History...", this), "BtnHistory");
    aiSwitch_->setEvents(aiSink_.get());
    diSwitch_->setEvents(diSink_.get());
}

SignalPanel::~SignalPanel()
{
    aiSwitch_->setEvents(nullptr);
    diSwitch_->setEvents(nullptr);
}

} // namespace ondrel
