#include "kro/devices/device_chooser.h"
#include <QApplication>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

namespace kro {

DeviceChooser::DeviceChooser(const QString& title, const QStringList& names, int current, QWidget* parent)
    : QDialog(parent), list_(new QListWidget(this))
{
    setWindowTitle(title);
    setModal(true);
    for (int i = 0; i < names.size(); ++i)
        list_->addItem(QStringLiteral("%1: %2").arg(i).arg(names[i]));
    if (current >= 0 && current < names.size())
        list_->setCurrentRow(current);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
}

int DeviceChooser::chosenRow() const
{
    return list_->currentRow();
}

int chooseDevice(const QString& title, const QStringList& names, int current)
{
    DeviceChooser chooser(title, names, current, QApplication::activeWindow());
    return chooser.exec() == QDialog::Accepted ? chooser.chosenRow() : -1;
}

} // namespace kro
