#include "ondrel/window/message_box_prompts.h"
#include "kro/devices/device_chooser.h"
#include "ondrel/window/dialogs/convert_file_dialog.h"
#include "ondrel/window/dialogs/save_folder_dialog.h"
#include "ondrel/window/message_box.h"
#include "ondrel/window/progress_runner.h"
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace ondrel {

void MessageBoxPrompts::MsgBox(const std::string& text, const std::string& title) { ShowMessage(owner_, text, title); }

bool MessageBoxPrompts::AskYesNo(const std::string& text)
{
    QMessageBox box(QMessageBox::Question, "Ondrel", QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                    owner_);
    box.setObjectName("AskYesNo");
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

UnsavedAnswer MessageBoxPrompts::AskUnsavedRecording(const std::string& text)
{
    QMessageBox box(QMessageBox::Warning, "Ondrel", QString::fromStdString(text), QMessageBox::NoButton, owner_);
    box.setObjectName("AskUnsavedRecording");
    QPushButton* save = box.addButton("Save As...", QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton("Discard", QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return UnsavedAnswer::SaveAs;
    return box.clickedButton() == discard ? UnsavedAnswer::Discard : UnsavedAnswer::Cancel;
}

std::optional<FolderChoice> MessageBoxPrompts::ChooseSaveFolder(const std::string& drive, const std::string& dir)
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

std::optional<SerialDeviceChoice> MessageBoxPrompts::AskSerialDevice(const std::vector<std::string>& drivers)
{
    QWidget* over = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : owner_;
    QStringList names;
    for (const std::string& d : drivers)
        names << QString::fromStdString(d);
    bool ok = false;
    const QString driver =
        QInputDialog::getItem(over, "Add Serial Device", "Driver of the instrument:", names, 0, false, &ok);
    if (!ok)
        return std::nullopt;
    const QString port =
        QInputDialog::getText(over, "Add Serial Device", "Serial port:", QLineEdit::Normal, "/dev/ttyUSB0", &ok);
    if (!ok || port.trimmed().isEmpty())
        return std::nullopt;
    return SerialDeviceChoice{driver.toStdString(), port.trimmed().toStdString()};
}

std::optional<uint32_t> MessageBoxPrompts::ChooseColor(uint32_t initial)
{
    const QColor start(static_cast<int>(initial & 0xFF), static_cast<int>((initial >> 8) & 0xFF),
                       static_cast<int>((initial >> 16) & 0xFF));
    const QColor chosen = QColorDialog::getColor(start, owner_);
    if (!chosen.isValid())
        return std::nullopt;
    return static_cast<uint32_t>(chosen.red()) | static_cast<uint32_t>(chosen.green()) << 8
           | static_cast<uint32_t>(chosen.blue()) << 16;
}

std::optional<std::string> MessageBoxPrompts::ChoosePictureFile()
{
    QFileDialog dialog(owner_, "Save Picture", QString(), "PNG picture (*.png);;PDF document (*.pdf)");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("png");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

std::optional<ExportChoice> MessageBoxPrompts::ChooseExportFolder(const std::string& drive, const std::string& dir,
                                                                  bool hasAI, bool hasDI)
{
    ConvertFileDialog dialog(drive, dir, hasAI, hasDI, owner_);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Chosen();
}

void MessageBoxPrompts::RunWithProgress(const std::string& title, const std::function<void(const Progress&)>& work)
{
    RunWithProgressDialog(owner_, title, work);
}

} // namespace ondrel
