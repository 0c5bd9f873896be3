#pragma once

class QWidget;

namespace kro {

// Installs, once per process, the accessibility factory that gives the display
// stand-ins their interfaces (roles, values, actions). Every stand-in calls it
// before its base class is built, so a host only names the widgets
// (setAccessibleName) and nothing else.
void installAccessibility();

// installAccessibility(), then `parent`: for a stand-in's base-class initialiser.
QWidget* withAccessibility(QWidget* parent);

} // namespace kro
