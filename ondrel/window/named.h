#pragma once
#include <QString>

namespace ondrel {

// A control with the object name the window's layout and tests find it by.
template <typename T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace ondrel
