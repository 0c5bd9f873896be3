#include "ondrel/window/device_panel.h"
#include "ondrel/window/named.h"
#include <QCheckBox>
#include <QPushButton>

namespace ondrel {

DevicePanel::DevicePanel(QWidget* parent)
    : QGroupBox("Device", parent), btnSet_(Named(new QPushButton("&Setting...", this), "BtnSet")),
      ckAISave_(Named(new QCheckBox("AI Save2Disk", this), "CkAISave2Disk")),
      ckDISave_(Named(new QCheckBox("DI Save2Disk", this), "CkDISave2Disk"))
{
    setObjectName("FrameSet");
    connect(ckAISave_, &QCheckBox::clicked, this, &DevicePanel::aiSaveClicked);
    connect(ckDISave_, &QCheckBox::clicked, this, &DevicePanel::diSaveClicked);
}

} // namespace ondrel
