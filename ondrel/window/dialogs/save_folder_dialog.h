#pragma once
#include "ondrel/common/prompts.h"
#include <QDialog>
#include <QPersistentModelIndex>

class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QTreeView;

namespace ondrel {

// "Dialog": the Save As folder chooser. A drive list (the filesystem roots),
// the directory tree of the chosen drive and a box for the new folder's name.
class SaveFolderDialog : public QDialog {
    Q_OBJECT
public:
    SaveFolderDialog(const std::string& drive, const std::string& dir, QWidget* owner);

    // What was chosen when the dialog was accepted.
    FolderChoice Choice() const;

private:
    void Drive1_Change();
    void ShowDirectory(const QString& path);
    void KeepShownFolderInView();

    QComboBox* drive1_ = nullptr;
    QTreeView* dir1_ = nullptr;
    QFileSystemModel* model_ = nullptr;
    QLineEdit* txtFolderName_ = nullptr;
    QString lastDrive_;
    QPersistentModelIndex shown_; // the folder the chooser opened at
};

} // namespace ondrel
