#include "ondrel/window/command_buttons.h"
#include "ondrel/window/named.h"
#include <QPushButton>

namespace ondrel {

CommandButtons::CommandButtons(QWidget* window)
    : QObject(window), start_(Named(new QPushButton("Start", window), "BtnStart")),
      modeSwitch_(Named(new QPushButton("History Mode", window), "BtnModeSwitch")),
      saveAs_(Named(new QPushButton("Save As", window), "BtnSaveAs")),
      exit_(Named(new QPushButton("&Exit", window), "BtnExit"))
{
    modeSwitch_->setEnabled(false);
}

} // namespace ondrel
