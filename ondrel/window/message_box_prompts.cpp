#include "ondrel/window/message_box_prompts.h"
#include "kro/devices/device_chooser.h"
#include "ondrel/window/dialogs/save_folder_dialog.h"
#include <QApplication>
#include <QMessageBox>

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
