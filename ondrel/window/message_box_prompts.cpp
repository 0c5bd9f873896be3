#include "ondrel/window/message_box_prompts.h"
#include "ondrel/window/dialogs/save_folder_dialog.h"
#include <QFileDialog>
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

std::optional<std::string> MessageBoxPrompts::ChooseProjectFile(const std::string& dir)
{
    QFileDialog dialog(owner_, "Open", QString::fromStdString(dir), "Ondrel AI data file manager(*.onp)");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix("onp");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

} // namespace ondrel
