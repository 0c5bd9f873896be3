#include "ondrel/window/message_box_prompts.h"
#include "kro/devices/device_chooser.h"
#include "ondrel/window/dialogs/save_folder_dialog.h"
#include <QFileDialog>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace ondrel {

void MessageBoxPrompts::MsgBox(const std::string& text, const std::string& title)
{
    QMessageBox::information(owner_, QString::fromStdString(title.empty() ? "Ondrel" : title),
                             QString::fromStdString(text));
}

std::optional<FolderChoice> MessageBoxPrompts::ChooseSaveFolder(const std::string& drive,
                                                                const std::string& dir)
{
    SaveFolderDialog dialog(drive, dir, owner_);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Choice();
}

std::optional<std::string> MessageBoxPrompts::ChooseProjectFile(const std::string& dir)
{
    QFileDialog dialog(owner_, "Open", QString::fromStdString(dir), "Ondrel AI data file manager(*.onp)");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix("onp");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

RecoveryAnswer MessageBoxPrompts::AskRecovery(const std::string& text)
{
    QMessageBox box(QMessageBox::Question, "Ondrel", QString::fromStdString(text), QMessageBox::NoButton, owner_);
    QPushButton* save = box.addButton("Save As...", QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton("Discard", QMessageBox::DestructiveRole);
    box.addButton("Later", QMessageBox::RejectRole);
    box.exec();
    if (box.clickedButton() == save)
        return RecoveryAnswer::SaveAs;
    return box.clickedButton() == discard ? RecoveryAnswer::Discard : RecoveryAnswer::Later;
}

std::optional<int32_t> MessageBoxPrompts::ChooseDevice(const std::string& title,
                                                       const std::vector<DeviceEntry>& devices, int32_t current)
{
    // Over the window that asked (the settings dialog), else the main window.
    QWidget* over = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : owner_;
    kro::DeviceChooser chooser(QString::fromStdString(title), devices, current, over);
    if (chooser.exec() != QDialog::Accepted)
        return std::nullopt;
    return chooser.chosenNumber();
}

} // namespace ondrel
