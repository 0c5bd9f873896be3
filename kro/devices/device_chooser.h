#pragma once
#include <QDialog>
#include <QStringList>

class QListWidget;

namespace kro {

// The small device list a simulated component shows from SelectDevice.
class DeviceChooser : public QDialog {
public:
    DeviceChooser(const QString& title, const QStringList& names, int current, QWidget* parent = nullptr);
    QListWidget* list() const { return list_; }
    int chosenRow() const;   // -1 when nothing is selected

private:
    QListWidget* list_ = nullptr;
};

// Shows the chooser modally over the active window; -1 when cancelled.
int chooseDevice(const QString& title, const QStringList& names, int current);

} // namespace kro
