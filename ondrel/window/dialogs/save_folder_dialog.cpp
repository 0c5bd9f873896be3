#include "ondrel/window/dialogs/save_folder_dialog.h"
#include "ondrel/window/message_box.h"
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

namespace ondrel {

SaveFolderDialog::SaveFolderDialog(const std::string& drive, const std::string& dir, QWidget* owner) : QDialog(owner)
{
    setObjectName("Dialog");
    setWindowTitle("Save As");
    drive1_ = new QComboBox(this);
    drive1_->setObjectName("Drive1");
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady() && drive1_->findText(volume.rootPath()) < 0)
            drive1_->addItem(volume.rootPath());
    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    model_->setRootPath(QDir::rootPath());
    dir1_ = new QTreeView(this);
    dir1_->setObjectName("Dir1");
    dir1_->setModel(model_);
    for (int column = 1; column < model_->columnCount(); ++column)
        dir1_->hideColumn(column);
    dir1_->setHeaderHidden(true);
    auto* label = new QLabel("Folder Name", this);
    label->setObjectName("Label1");
    txtFolderName_ = new QLineEdit(this);
    txtFolderName_->setObjectName("txtFolderName");
    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    ok->setObjectName("OKButton");
    auto* cancel = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    cancel->setObjectName("BtnCancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(drive1_);
    layout->addWidget(dir1_, 1);
    layout->addWidget(label);
    layout->addWidget(txtFolderName_);
    layout->addWidget(buttons);
    resize(420, 480);

    // Opens where the last choice was made.
    const QString startDrive = QString::fromStdString(drive);
    if (drive1_->findText(startDrive) < 0)
        drive1_->addItem(startDrive);
    drive1_->setCurrentText(startDrive);
    lastDrive_ = startDrive;
    ShowDirectory(QString::fromStdString(dir));
    connect(drive1_, &QComboBox::currentTextChanged, this, [this] { Drive1_Change(); });
    // Folders load and get sorted in the background, after the tree is shown.
    connect(model_, &QFileSystemModel::directoryLoaded, this, [this] { KeepShownFolderInView(); });
    connect(model_, &QAbstractItemModel::rowsInserted, this, [this] { KeepShownFolderInView(); });
    connect(model_, &QAbstractItemModel::layoutChanged, this, [this] { KeepShownFolderInView(); });
}

void SaveFolderDialog::Drive1_Change()
{
    const QString drive = drive1_->currentText();
    if (!QDir(drive).isReadable()) {
        ShowMessage(this, "Invalid Drive !");
        drive1_->setCurrentText(lastDrive_);
        return;
    }
    lastDrive_ = drive;
    ShowDirectory(drive);
}

void SaveFolderDialog::ShowDirectory(const QString& path)
{
    const QModelIndex index = model_->index(path);
    dir1_->setCurrentIndex(index);
    dir1_->scrollTo(index, QAbstractItemView::PositionAtCenter);
    dir1_->expand(index);
    shown_ = index;
}

// The tree fills in as its folders load, in the background: the siblings
// sorted before the folder shown push it down and out of view. It is brought
// back into view while it is still the one selected.
void SaveFolderDialog::KeepShownFolderInView()
{
    if (shown_.isValid() && dir1_->currentIndex() == shown_)
        dir1_->scrollTo(shown_, QAbstractItemView::PositionAtCenter);
}

FolderChoice SaveFolderDialog::Choice() const
{
    const QString dir = model_->filePath(dir1_->currentIndex());
    return {drive1_->currentText().toStdString(), (dir.isEmpty() ? lastDrive_ : dir).toStdString(),
            txtFolderName_->text().toStdString()};
}

} // namespace ondrel
