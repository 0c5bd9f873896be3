#include "ondrel/window/keyboard_order.h"
#include <QPushButton>
#include <QWidget>

namespace ondrel {

void SetTabOrder(QWidget& root, std::initializer_list<const char*> readingOrder)
{
    QWidget* previous = nullptr;
    for (const char* name : readingOrder) {
        QWidget* control = root.findChild<QWidget*>(name);
        if (control == nullptr)
            continue;
        if (previous != nullptr)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

void SetKeyboardOrder(QWidget& form)
{
    SetTabOrder(form,
                {"KroGraph1",     "ListView1",     "KroSliderV", "KroSliderR",    "ChkPlay",       "BtnAccelerate",
                 "BtnStop",       "BtnHisConvert", "BtnStart",   "BtnModeSwitch", "BtnSaveAs",     "BtnSet",
                 "CkAISave2Disk", "CkDISave2Disk", "KroLED1",    "BtnGraphSet",   "BtnClearGraph", "KroButton1",
                 "KroButton2",    "BtnHistory",    "BtnExit"});
    for (QPushButton* button : form.findChildren<QPushButton*>())
        button->setAutoDefault(true);
}

} // namespace ondrel
