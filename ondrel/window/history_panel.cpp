#include "ondrel/window/history_panel.h"
#include "ondrel/window/component_factory.h"
#include "ondrel/window/named.h"
#include <QLabel>
#include <QPushButton>

namespace ondrel {

HistoryPanel::HistoryPanel(IComponentFactory& factory, QWidget* parent)
    : QGroupBox("History Playback", parent), speed_(factory.CreateSlider(this)), position_(factory.CreateSlider(this))
{
    setObjectName("FrameHis");
    speed_->widget()->setObjectName("KroSliderV");
    position_->widget()->setObjectName("KroSliderR");
    speed_->widget()->setAccessibleName("Play speed");
    position_->widget()->setAccessibleName("Replay position");
    Named(new QLabel("Slow", this), "Label15");
    Named(new QLabel("Play Speed", this), "Label16");
    Named(new QLabel("High", this), "Label14");
    Named(new QLabel("0%", this), "Label1");
    Named(new QLabel("50%", this), "Label2");
    Named(new QLabel("100%", this), "Label6");
    play_ = Named(new QPushButton(this), "ChkPlay");
    play_->setCheckable(true);
    ShowPlaying(false);
    accelerate_ = Named(new QPushButton(QString::fromUtf8("\u25B6\u25B6"), this), "BtnAccelerate");
    accelerate_->setToolTip("Fast forward");
    accelerate_->setAccessibleName("Fast forward");
    stop_ = Named(new QPushButton(QString::fromUtf8("\u25A0"), this), "BtnStop");
    stop_->setToolTip("Stop");
    stop_->setAccessibleName("Stop");
    convert_ = Named(new QPushButton("Convert", this), "BtnHisConvert");
}

void HistoryPanel::LoadDefaults()
{
    position_->setMin(0);
    position_->setMax(100);
    position_->setCaption("Ratio");
    speed_->setMin(1);
    speed_->setMax(2000000);
}

void HistoryPanel::ShowPlaying(bool playing)
{
    play_->setChecked(playing); // raises no click: the controller already knows
    play_->setText(QString::fromUtf8(playing ? "\u275A\u275A" : "\u25B6"));
    play_->setToolTip(playing ? "Pause" : "Play");
    play_->setAccessibleName(playing ? "Pause" : "Play");
}

void HistoryPanel::EnableHisControls(bool value)
{
    setEnabled(value);
    // The sliders keep their own state: a disabled frame greys them anyway.
    for (const char* name : {"Label15", "Label16", "Label14", "ChkPlay", "BtnAccelerate", "BtnStop", "Label1", "Label2",
                             "Label6", "BtnHisConvert"})
        findChild<QWidget*>(name)->setEnabled(value);
}

} // namespace ondrel
