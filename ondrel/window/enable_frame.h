#pragma once
#include <QWidget>

namespace ondrel {

// Enables or disables a frame and every control in it, each for itself, so that
// a control keeps the state it was given when the frame comes back.
inline void EnableFrame(QWidget& frame, bool enable)
{
    frame.setEnabled(enable);
    for (QWidget* control : frame.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        control->setEnabled(enable);
}

} // namespace ondrel
