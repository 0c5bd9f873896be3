#include "kro/devices/device_chooser.h"
#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

namespace kro {

DeviceChooser::DeviceChooser(const QString& title, const std::vector<ondrel::DeviceEntry>& devices, int32_t current,
                             QWidget* parent)
    : QDialog(parent), list_(new QListWidget(this)), devices_(devices)
{
    setWindowTitle(title);
    setModal(true);
    list_->setObjectName("lstDevices");
    list_->setAccessibleName(QStringLiteral("Devices"));
    for (size_t i = 0; i < devices_.size(); ++i) {
        const auto& d = devices_[i];
        const QString name = QString::fromStdString(d.name);
        list_->addItem(d.action ? name : QStringLiteral("%1: %2").arg(d.number).arg(name));
        if (d.number == current)
            list_->setCurrentRow(static_cast<int>(i));
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
}

std::optional<int32_t> DeviceChooser::chosenNumber() const
{
    const int row = list_->currentRow();
    if (row < 0 || static_cast<size_t>(row) >= devices_.size())
        return std::nullopt;
    return devices_[static_cast<size_t>(row)].number;
}

} // namespace kro
