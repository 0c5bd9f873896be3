#pragma once
#include "ondrel/components/device_prompts.h"
#include <QDialog>
#include <optional>
#include <vector>

class QListWidget;

namespace kro {

// The small device list a component's SelectDevice shows: one row "number:
// name" per device (an action row by its name alone), the current one selected. Enter or a double click
// takes the selected row, Escape cancels.
class DeviceChooser : public QDialog {
public:
    DeviceChooser(const QString& title, const std::vector<ondrel::DeviceEntry>& devices, int32_t current,
                  QWidget* parent = nullptr);
    QListWidget* list() const { return list_; }
    // The number of the selected row; nothing when no row is selected.
    std::optional<int32_t> chosenNumber() const;

private:
    QListWidget* list_ = nullptr;
    std::vector<ondrel::DeviceEntry> devices_;
};

} // namespace kro
