#include "ondrel/window/keyboard_order.h"
#include <QPushButton>
#include <QWidget>

namespace ondrel {

void SetKeyboardOrder(QWidget& form)
{
    static constexpr const char* kReadingOrder[] = {
        "KroGraph1",     "ListView1",   "KroSliderV",    "KroSliderR", "ChkPlay",    "BtnAccelerate", "BtnStop",
        "BtnHisConvert", "BtnStart",    "BtnModeSwitch", "BtnSaveAs",  "BtnSet",     "CkAISave2Disk", "CkDISave2Disk",
        "KroLED1",       "BtnGraphSet", "BtnClearGraph", "KroButton1", "KroButton2", "BtnHistory",    "BtnExit"};
    QWidget* previous = nullptr;
    for (const char* name : kReadingOrder) {
        QWidget* control = form.findChild<QWidget*>(name);
        if (control == nullptr)
            continue;
        if (previous != nullptr)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
    for (QPushButton* button : form.findChildren<QPushButton*>())
        button->setAutoDefault(true);
}

} // namespace ondrel
